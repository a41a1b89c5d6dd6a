// TrFileEdit: a file or folder name box with a browse button inside it.
#include "desktop/scripts/windows/trfileedit.h"

#include "desktop/scripts/scripttexts.h"
#include "desktop/shell/textutils.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QStyle>

namespace vt::desktop {

TrFileEdit::TrFileEdit(Mode mode, QWidget* parent)
    : QLineEdit(parent), m_mode(mode), m_runner(runFileDialog) {
    QAction* action =
        addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    action->setObjectName(QStringLiteral("browse"));
    action->setToolTip(tr8(mode == Mode::Folder ? texts::kChooseScriptFolder : texts::kChooseFile));
    connect(action, &QAction::triggered, this, &TrFileEdit::browse);
}

QString TrFileEdit::startFolder() const {
    if (IsBlank(text()))
        return m_initialDir;
    const QFileInfo info(text().trimmed());
    return m_mode == Mode::Folder ? info.filePath() : info.path();
}

void TrFileEdit::browse() {
    const QString chosen = m_runner(*this);
    if (!chosen.isEmpty())
        setText(chosen);
}

QString runFileDialog(TrFileEdit& box) {
    const bool folder = box.mode() == TrFileEdit::Mode::Folder;
    QFileDialog dialog(&box, tr8(folder ? texts::kChooseScriptFolder : texts::kChooseFile),
                       box.startFolder());
    if (folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setNameFilters(qtFileFilter(box.filter()).split(QStringLiteral(";;")));
        dialog.setDefaultSuffix(box.defaultExt());
        if (box.mode() == TrFileEdit::Mode::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            // The window asks before replacing a file, when it writes it.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dialog.setFileMode(QFileDialog::ExistingFile);
        }
        if (!IsBlank(box.text()))
            dialog.selectFile(box.text().trimmed());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace vt::desktop
