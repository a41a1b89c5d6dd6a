// TFormSQLEdit: the editor of one script kind, saving it into SqlToolsIni.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/scripts/scriptkinds.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace vt::desktop {

class TrFileEdit;

class TFormSQLEdit final : public QDialog {
    Q_OBJECT
public:
    // An empty editor; Save stays disabled until name, terminator and comment marker are given.
    explicit TFormSQLEdit(QWidget* parent = nullptr);

    // Loads a kind into the fields.
    void setKind(const ScriptKind& kind);
    // The kind the fields describe, texts as typed.
    ScriptKind kind() const;

    // Re-evaluates the Save button.
    void ENameChange();
    // Writes the kind into SqlToolsIni and closes with OK; a failed write keeps the editor open
    // and reaches the error handler.
    void rBBOKClick();

    QLineEdit* EName;
    QCheckBox* CBDefault;
    QGroupBox* GBDelimiter;
    QLineEdit* EDelimeter;
    QLineEdit* ECommand;
    QLineEdit* EIgnore;
    QLineEdit* EUserName;
    TrFileEdit* DEPath;
    QGroupBox* GBComment;
    QLineEdit* ECommentBegin;
    QLineEdit* ECommentEnd;
    QLineEdit* EDBCode;
    QComboBox* CBDialect;
    TrBitBtn* rBBOK;
    TrBitBtn* rBBCancel;
    TrBitBtn* rBBHelp;
};

// Opens the kind editor modally: on the kind of that name when the name is not empty and the
// file holds it, else empty. Gives the name saved under when the editor closed with OK.
using KindEditRunner = std::function<std::optional<QString>(const QString& name)>;

// The kind editor the windows use unless a test gives another.
std::optional<QString> runKindEditor(QWidget* parent, const QString& name);

} // namespace vt::desktop
