// TrPasswordDlg: the login dialog of the login components: resource, user and password boxes,
// the connect picture and the animation that runs while a connection is attempted.
#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMovie;
class QPushButton;

namespace vt::desktop {

class TrBitBtn;
class TrCustomConnect;
class TrSpeedButton;

class TrPasswordDlg : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modally: exec() in the program, a replacement in tests.
    using ModalRunner = std::function<int(TrPasswordDlg& dialog)>;

    // A dialog for the component, which must outlive it; the boxes are filled from it at once.
    explicit TrPasswordDlg(TrCustomConnect& component, QWidget* parent = nullptr);
    ~TrPasswordDlg() override;

    // The login dialog of TrCustomConnect::Execute: true when it closed with OK.
    static bool Execute(TrCustomConnect& connect);
    // Makes Execute the login components' dialog.
    static void install();
    // Replaces the modal showing (an empty runner restores exec()); returns the previous one.
    static ModalRunner setModalRunner(ModalRunner runner);

    // Focus and enabling when the dialog becomes active.
    void FormActivate();
    void CBResourceChange();
    void EditUserChange();
    void EditPasswordChange();
    // Forgets the shown user name.
    void rSpeedButton1Click();
    // Attempts the connection; a failure is reported and keeps the dialog open until the
    // component's attempts run out.
    void OKBtnClick();

    // The animation's file beside the program, when there is one.
    static QString animationFile();

    QLabel* LabelResource;
    QComboBox* CBResource;
    QLabel* Image1;
    QLabel* Animate1;
    QLabel* LabelUser;
    QComboBox* EditUser;
    TrSpeedButton* rSpeedButton1;
    QLabel* LabelPass;
    QLineEdit* EditPassword;
    TrBitBtn* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* HelpBtn;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepare();
    void updateOK();
    void startAnimation();
    void stopAnimation();

    TrCustomConnect& m_connect;
    QMovie* m_movie = nullptr;
    bool m_activated = false;
};

} // namespace vt::desktop
