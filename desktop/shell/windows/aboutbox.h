// TAboutBox: the about window with the program's description, version, legal lines and links.
#pragma once

#include "desktop/controls/trbitbtn.h"
#include "desktop/controls/trlabel.h"
#include "desktop/shell/abouttexts.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace vt::desktop {

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    // Builds the window from the program's version information; throws EResNotFound when the
    // "COMPANY" picture is in no resource module.
    explicit TAboutBox(QWidget* parent = nullptr);

    // The texts the window shows.
    const AboutTexts& aboutTexts() const { return m_texts; }

    // Opens the home page; throws EAnyError when the desktop cannot.
    void HomePageClick();
    // Starts a mail to the address; throws EAnyError when the desktop cannot.
    void EMailClick();

    QLabel* CompanyImage;
    TrLabel* FileDesc;
    QLabel* Version;
    QFrame* Bevel1;
    TrLabel* RxLabel1;
    QLabel* HomePage;
    QWidget* Label2;
    QLabel* EMail;
    TrBitBtn* BitBtn1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AboutTexts m_texts;
};

} // namespace vt::desktop
