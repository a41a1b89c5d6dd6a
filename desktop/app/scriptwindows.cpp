// The script windows the desktop program's main window opens.
#include "desktop/app/scriptwindows.h"

#include "desktop/scripts/windows/formbatch.h"
#include "desktop/scripts/windows/formconvert1.h"
#include "desktop/scripts/windows/formconvert2.h"
#include "desktop/scripts/windows/formexecsql.h"
#include "desktop/scripts/windows/formsqltools.h"

namespace vt::desktop {

TScriptWindows scriptWindows() {
    TScriptWindows windows;
    windows.execSQL = [](TMainForm* owner) -> QWidget* { return new TFormExecSQL(owner); };
    windows.convert1 = [](TMainForm* owner) -> QWidget* { return new TFormConvert1(owner); };
    windows.convert2 = [](TMainForm* owner) -> QWidget* { return new TFormConvert2(owner); };
    windows.batch = [](TMainForm* owner) -> QWidget* { return new TFormBatch(owner); };
    windows.sqlTools = [](TMainForm* owner) -> QDialog* { return new TFormSQLTools(owner); };
    return windows;
}

} // namespace vt::desktop
