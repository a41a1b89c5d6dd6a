// Message boxes with the application's title, modal windows freed after use, and repainting.
#include "desktop/shell/appmessage.h"

#include "desktop/shell/shelltexts.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace vt::desktop {
namespace {

AppMessageHandler& handlerSlot() {
    static AppMessageHandler handler;
    return handler;
}

struct ButtonInfo {
    int result;
    QMessageBox::StandardButton standard;
    const char* caption;
};

ButtonInfo buttonInfo(int result) {
    switch (result) {
    case mb::idCancel:
        return {result, QMessageBox::Cancel, texts::kButtonCancel};
    case mb::idAbort:
        return {result, QMessageBox::Abort, texts::kButtonAbort};
    case mb::idRetry:
        return {result, QMessageBox::Retry, texts::kButtonRetry};
    case mb::idIgnore:
        return {result, QMessageBox::Ignore, texts::kButtonIgnore};
    case mb::idYes:
        return {result, QMessageBox::Yes, texts::kButtonYes};
    case mb::idNo:
        return {result, QMessageBox::No, texts::kButtonNo};
    default:
        return {mb::idOk, QMessageBox::Ok, texts::kButtonOk};
    }
}

QMessageBox::Icon iconOf(unsigned icon) {
    switch (icon) {
    case mb::kIconError:
        return QMessageBox::Critical;
    case mb::kIconQuestion:
        return QMessageBox::Question;
    case mb::kIconWarning:
        return QMessageBox::Warning;
    case mb::kIconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int showMessageBox(const QString& caption, const QString& text, unsigned flags) {
    const AppMessageLayout layout = appMessageLayout(flags);
    QMessageBox box(iconOf(layout.icon), caption, text);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (int result : layout.buttons) {
        const ButtonInfo info = buttonInfo(result);
        QPushButton* button = box.addButton(info.standard);
        button->setText(QString::fromUtf8(info.caption));
        buttons.emplace_back(button, result);
        if (result == layout.defaultButton)
            box.setDefaultButton(button);
        if (result == layout.escapeResult)
            box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, result] : buttons)
        if (box.clickedButton() == button)
            return result;
    return layout.escapeResult;
}

} // namespace

AppMessageLayout appMessageLayout(unsigned flags) {
    AppMessageLayout layout;
    switch (flags & 0x0F) {
    case mb::kOkCancel:
        layout.buttons = {mb::idOk, mb::idCancel};
        layout.escapeResult = mb::idCancel;
        break;
    case mb::kAbortRetryIgnore:
        // The platform offers no way to close this box without a button; closing it here counts
        // as Abort.
        layout.buttons = {mb::idAbort, mb::idRetry, mb::idIgnore};
        layout.escapeResult = mb::idAbort;
        break;
    case mb::kYesNoCancel:
        layout.buttons = {mb::idYes, mb::idNo, mb::idCancel};
        layout.escapeResult = mb::idCancel;
        break;
    case mb::kYesNo:
        // As above: closing a Yes/No question counts as No.
        layout.buttons = {mb::idYes, mb::idNo};
        layout.escapeResult = mb::idNo;
        break;
    case mb::kRetryCancel:
        layout.buttons = {mb::idRetry, mb::idCancel};
        layout.escapeResult = mb::idCancel;
        break;
    default:
        layout.buttons = {mb::idOk};
        layout.escapeResult = mb::idOk;
        break;
    }
    const unsigned icon = flags & 0xF0;
    if (icon == mb::kIconError || icon == mb::kIconQuestion || icon == mb::kIconWarning ||
        icon == mb::kIconInformation)
        layout.icon = icon;
    const std::size_t defaultIndex = (flags & 0xF00) >> 8;
    layout.defaultButton =
        layout.buttons.at(defaultIndex < layout.buttons.size() ? defaultIndex : 0);
    return layout;
}

AppMessageHandler setAppMessageHandler(AppMessageHandler handler) {
    AppMessageHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

int ShowAppMessage(const QString& text, unsigned flags) {
    const QString caption = QGuiApplication::applicationDisplayName();
    if (handlerSlot())
        return handlerSlot()(caption, text, flags);
    return showMessageBox(caption, text, flags);
}

int ShowModalAndFree(QDialog* window) {
    std::unique_ptr<QDialog> owned(window);
    return owned ? owned->exec() : 0;
}

void RedrawControl(QWidget* control, const QRect* rect) {
    if (!control)
        return;
    if (rect)
        control->repaint(*rect);
    else
        control->repaint();
}

} // namespace vt::desktop
