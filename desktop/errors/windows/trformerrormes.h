// TrFormErrorMes: the error dialog. A title line, the message in a sunken box and a details pane
// that the user opens and closes; compact while the pane is closed.
#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vt::desktop {

class TErrorHandler;
class TrLabel;

class TrFormErrorMes : public QDialog {
    Q_OBJECT

public:
    explicit TrFormErrorMes(QWidget* parent = nullptr);

    // Plays the style's sound, then shows the dialog for the handler's current error modally
    // and frees it.
    static void Execute(TErrorHandler& handler);
    // Takes icon, caption, keys, texts and the extra button from the handler.
    void setup(TErrorHandler& handler);

    QLabel* Image1;
    QLabel* LError;
    TrLabel* LMessage;
    QPushButton* BitBtnOk;
    QPushButton* BitBtnAll;
    QPushButton* ExtButton;
    QPushButton* BBAntiDefault;
    QPlainTextEdit* MError;
    QAction* NCopyToClipboard;

    // The window height with the details pane open.
    int fullHeight() const { return m_fullHeight; }

    void BitBtnAllClick();
    void NCopyToClipboardClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void shrink();
    QRect scaled(int left, int top, int width, int height) const;

    int m_fullHeight = 0;
    bool m_cancel = true;
    bool m_default = true;
    double m_scale = 1.0;
};

} // namespace vt::desktop
