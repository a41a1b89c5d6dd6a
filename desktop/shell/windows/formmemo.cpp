// TFormMemo: the script viewer, and ViewScriptFile, the service the script windows open it with.
#include "desktop/shell/windows/formmemo.h"

#include "desktop/controls/trbackground.h"
#include "desktop/controls/trbitbtn.h"
#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/help.h"
#include "desktop/shell/shelltexts.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"
#include "platform/exception.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

std::optional<QString> chooseSaveFile(QWidget* parent, const QString& current,
                                      const QString& filter) {
    const QString name = QFileDialog::getSaveFileName(parent, tr8(texts::kChooseFile), current,
                                                      qtFileFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace

TFormMemo::TFormMemo(const QString& fileName, int commandNumber, bool isRsql, QWidget* parent)
    : QDialog(parent), m_model(fileName, isRsql) {
    setObjectName(QStringLiteral("TFormMemo"));
    setWindowTitle(fileName);
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Panel1 = new QWidget;
    Panel1->setFixedHeight(34);
    BBOK = bitBtn("BBOK", tr8(texts::kSave), "BBOK");
    BBOK->setEnabled(false);
    BBCancel = bitBtn("BBCancel", tr8(texts::kCancel), "BBCANCEL");
    rBitBtn1 = bitBtn("rBitBtn1", tr8(texts::kHelp), "BBHELP");
    QHBoxLayout* buttons = buttonRow({BBOK, BBCancel, rBitBtn1});
    buttons->setContentsMargins(4, 2, 4, 2);
    Panel1->setLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1);
    layout->addWidget(Panel1);
    resize(536, 348);
    rBackground1 = new TrBackground(this);
    rBackground1->setAutoSave(true);
    rBackground1->setRegKey(RegRoot() + AppSubKey() + QStringLiteral("\\Background"));

    Memo1->setPlainText(readScriptText(fileName));
    Memo1->document()->setModified(false);
    m_selection = findCommandMarker(Memo1->toPlainText(), commandNumber);
    m_chooser = [this](const QString& current, const QString& filter) {
        return chooseSaveFile(this, current, filter);
    };

    Memo1->installEventFilter(this);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TFormMemo::Memo1Change);
    connect(BBOK, &QPushButton::clicked, this, &TFormMemo::BBOKClick);
    connect(BBCancel, &QPushButton::clicked, this, &TFormMemo::reject);
    installFormHelp(this, helpctx::kScriptViewer, rBitBtn1);
    Memo1->setFocus();
}

void TFormMemo::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormMemo::FormActivate() {
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(m_selection.start);
    cursor.setPosition(m_selection.start + m_selection.length, QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    Memo1->setFocus();
}

void TFormMemo::Memo1Change() {
    BBOK->setEnabled(Memo1->document()->isModified());
}

bool TFormMemo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && key->modifiers().testFlag(Qt::ControlModifier)) {
            BBOKClick();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormMemo::BBOKClick() {
    if (m_model.save(Memo1->toPlainText(), Memo1->document()->isModified(), m_chooser)) {
        setWindowTitle(m_model.fileName());
        accept();
    }
}

void TFormMemo::reject() {
    switch (ScriptViewerModel::closeQuery(Memo1->document()->isModified())) {
    case ScriptViewerModel::CloseAnswer::Stay:
        return;
    case ScriptViewerModel::CloseAnswer::Save:
        BBOKClick();
        return;
    case ScriptViewerModel::CloseAnswer::Discard:
        QDialog::reject();
        return;
    }
}

QString ViewScriptFile(const QString& fileName, int commandNumber, bool isRsql, QWidget* parent) {
    if (!QFileInfo::exists(fileName))
        throw Exception(QString::fromUtf8(texts::kFileNotFound).arg(fileName).toStdString());
    auto* viewer = new TFormMemo(fileName, commandNumber, isRsql, parent);
    QString result = fileName;
    QObject::connect(viewer, &QDialog::accepted, viewer, [&] { result = viewer->fileName(); });
    ShowModalAndFree(viewer);
    return result;
}

} // namespace vt::desktop
