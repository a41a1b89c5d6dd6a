// TAboutBox: the about window with the program's description, version, legal lines and links.
#include "desktop/shell/windows/aboutbox.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/errors/eanyerror.h"
#include "desktop/shell/help.h"
#include "desktop/shell/resources.h"
#include "desktop/shell/shelltexts.h"
#include "desktop/shell/urlopener.h"
#include "desktop/shell/versionutils.h"
#include "desktop/shell/windows/formsupport.h"
#include "desktop/shell/windows/windowtexts.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt::desktop {
namespace {

constexpr int kPictureColumn = 110;
constexpr int kTextColumn = 248;
// The number reported when the desktop takes no program for an address: the original shell's
// "no associated program".
constexpr int kNoAssociation = 31;

QLabel* linkLabel(const QString& text) {
    auto* l = new QLabel(text);
    l->setCursor(Qt::PointingHandCursor);
    l->setStyleSheet(QStringLiteral("color: #1e8c3a; text-decoration: underline;"));
    return l;
}

// Opens the address, or throws the link's error with its title, message and details.
void openLink(const QUrl& url, const QString& shown, const char* title, const char* message,
              const char* details) {
    if (openUrl(url))
        return;
    throw EAnyError(title, message,
                    QString::fromUtf8(details).arg(kNoAssociation).arg(shown).toStdString());
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(tr8(texts::kAboutCaption));

    QImage company;
    LoadResourceGraphic(company, nullptr, QStringLiteral("COMPANY"), rkGIF);
    QStringList info;
    ReadVersionInfo(&info, QString());
    m_texts = AboutTexts::fromVersionInfo(info);

    CompanyImage = new QLabel;
    CompanyImage->setObjectName(QStringLiteral("CompanyImage"));
    CompanyImage->setFixedWidth(kPictureColumn);
    CompanyImage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const int room = kPictureColumn - 4;
    QPixmap pixmap = QPixmap::fromImage(company);
    // A picture wider than its column is stretched to it instead of centred.
    if (pixmap.width() > room)
        pixmap =
            pixmap.scaled(room, pixmap.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    CompanyImage->setPixmap(pixmap);
    CompanyImage->setStyleSheet(QStringLiteral("QLabel { border: 2px solid transparent; }"));

    FileDesc = new TrLabel;
    FileDesc->setAutoSize(false);
    FileDesc->setCaption(m_texts.FileDescription + u' ');
    FileDesc->setWordWrap(true);
    FileDesc->setFixedHeight(52);
    QFont descFont(QStringLiteral("Arial"));
    descFont.setPixelSize(19);
    descFont.setBold(true);
    descFont.setItalic(true);
    FileDesc->setFont(descFont);
    QPalette green = FileDesc->palette();
    green.setColor(QPalette::WindowText, QColor(0x1e, 0x8c, 0x3a));
    FileDesc->setPalette(green);
    Version = new QLabel(m_texts.aboutVersion());
    Version->setFixedHeight(23);
    Version->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Bevel1 = new QFrame;
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    RxLabel1 = new TrLabel;
    RxLabel1->setText3D(false);
    RxLabel1->setAutoSize(false);
    RxLabel1->setWordWrap(true);
    RxLabel1->setCaption(QString(m_texts.legalText()).replace(u'\r', u'\n'));
    RxLabel1->setFixedHeight(RxLabel1->fontMetrics().lineSpacing() * 4);
    HomePage = linkLabel(m_texts.HomePage);
    HomePage->setObjectName(QStringLiteral("HomePage"));
    Label2 = new QWidget;
    auto* mailRow = new QHBoxLayout(Label2);
    mailRow->setContentsMargins(0, 0, 0, 0);
    mailRow->addWidget(new QLabel(tr8(texts::kEMailLabel)));
    EMail = linkLabel(m_texts.EMail);
    EMail->setObjectName(QStringLiteral("EMail"));
    mailRow->addWidget(EMail);
    mailRow->addStretch();

    auto* column = new QVBoxLayout;
    column->addWidget(FileDesc);
    column->addWidget(Version);
    column->addWidget(Bevel1);
    column->addWidget(RxLabel1);
    column->addWidget(HomePage);
    column->addWidget(Label2);
    column->addStretch();
    auto* columnBox = new QWidget;
    columnBox->setFixedWidth(kTextColumn);
    columnBox->setLayout(column);
    column->setContentsMargins(0, 0, 0, 0);

    auto* upper = new QHBoxLayout;
    upper->addWidget(CompanyImage);
    upper->addWidget(columnBox);

    BitBtn1 = bitBtn("BitBtn1", tr8(texts::kOk), "BBOK");
    BitBtn1->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BitBtn1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    installFormHelp(this, helpctx::kMainWindow);
    HomePage->installEventFilter(this);
    EMail->installEventFilter(this);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == HomePage) {
            HomePageClick();
            return true;
        }
        if (watched == EMail) {
            EMailClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::HomePageClick() {
    openLink(QUrl(HomePage->text()), HomePage->text(), texts::kHomePageErrorTitle,
             texts::kHomePageErrorMessage, texts::kHomePageErrorDetails);
}

void TAboutBox::EMailClick() {
    openLink(QUrl(QStringLiteral("mailto:") + EMail->text()), EMail->text(),
             texts::kEMailErrorTitle, texts::kEMailErrorMessage, texts::kEMailErrorDetails);
}

} // namespace vt::desktop
