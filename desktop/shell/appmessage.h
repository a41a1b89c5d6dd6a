// Message boxes with the application's title, modal windows freed after use, and repainting.
#pragma once

#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

namespace vt::desktop {

// Message-box flags of the platform that the program uses, and the results it returns.
namespace mb {
inline constexpr unsigned kOk = 0x00, kOkCancel = 0x01, kAbortRetryIgnore = 0x02,
                          kYesNoCancel = 0x03, kYesNo = 0x04, kRetryCancel = 0x05;
inline constexpr unsigned kIconError = 0x10, kIconQuestion = 0x20, kIconWarning = 0x30,
                          kIconInformation = 0x40;
inline constexpr unsigned kDefButton2 = 0x100, kDefButton3 = 0x200;
inline constexpr int idOk = 1, idCancel = 2, idAbort = 3, idRetry = 4, idIgnore = 5, idYes = 6,
                     idNo = 7;
} // namespace mb

// What a message box built from flags shows: its buttons (as result numbers, in order), icon,
// default button and the result of closing the box without a button.
struct AppMessageLayout {
    std::vector<int> buttons;
    unsigned icon = 0;     // one of mb::kIcon..., or 0
    int defaultButton = 0; // a result number
    int escapeResult = 0;  // a result number
};

// The layout of a message box for the flags.
AppMessageLayout appMessageLayout(unsigned flags);

// Replacement of the message box for tests: gets caption, text and flags, returns the result.
using AppMessageHandler =
    std::function<int(const QString& caption, const QString& text, unsigned flags)>;
// Installs a handler (an empty one restores the real box) and returns the previous one.
AppMessageHandler setAppMessageHandler(AppMessageHandler handler);

// Shows a message box captioned with the application's display name, with the platform's flags
// (16 error/OK, 18 error/Abort-Retry-Ignore, 35 and 36 question/Yes-No(-Cancel), 64 information,
// 292 question/Yes-No with No as default); returns the pressed button's result number.
int ShowAppMessage(const QString& text, unsigned flags);

// Shows the dialog modally and deletes it afterwards, also when showing ends with an exception;
// returns the modal result.
int ShowModalAndFree(QDialog* window);

// Repaints the control (the rectangle, or all of it) and its children at once; nothing for null.
void RedrawControl(QWidget* control, const QRect* rect = nullptr);

} // namespace vt::desktop
