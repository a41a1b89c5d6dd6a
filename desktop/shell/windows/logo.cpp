// TLogo: the splash window shown while the program starts, and the splash operations.
#include "desktop/shell/windows/logo.h"

#include "desktop/shell/appmessage.h"
#include "desktop/shell/appsettings.h"
#include "desktop/shell/resources.h"
#include "desktop/shell/shelltexts.h"
#include "desktop/shell/versionutils.h"
#include "platform/paths.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <memory>

namespace vt::desktop {
namespace {

constexpr int kWidth = 399;
constexpr int kHeight = 255;

std::unique_ptr<TLogo>& splashSlot() {
    static std::unique_ptr<TLogo> splash;
    return splash;
}

QFont arial(int pixelSize, bool bold, bool italic) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QLabel* label(QWidget* parent, const QFont& font, const QString& style) {
    auto* l = new QLabel(parent);
    l->setFont(font);
    l->setStyleSheet(style);
    l->setAttribute(Qt::WA_TranslucentBackground);
    return l;
}

QPixmap picture(const QString& name) {
    QImage image;
    LoadResourceGraphic(image, nullptr, name, rkGIF);
    return QPixmap::fromImage(image);
}

// A transparent, right-aligned 3D label of the splash without a frame.
TrLabel* label3D(QWidget* parent, const QFont& font, const QColor& color, const QColor& top,
                 const QColor& bottom) {
    auto* l = new TrLabel(parent);
    l->setAutoSize(false);
    l->setFont(font);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    l->setRaisedTopColor(top);
    l->setRaisedBottomColor(bottom);
    l->setAlignment(taRightJustify);
    l->setTransparent(true);
    return l;
}

void moveBy(QWidget* w, int dy) {
    w->move(w->x(), w->y() + dy);
}

} // namespace

TLogo::TLogo()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TLogo"));
    setWindowTitle(QApplication::applicationDisplayName());
    setFixedSize(kWidth, kHeight);
    if (RunningUnderWine())
        setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);

    QScreen* screen = QApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    const int depth = screen ? screen->depth() : 24;
    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setPixmap(
        picture(depth > 8 ? QStringLiteral("MAINLOGO") : QStringLiteral("MAINLOGO256")));
    Image2 = new QLabel(this);
    Image2->move(5, 5);
    Image2->setAttribute(Qt::WA_TranslucentBackground);

    RxLabel2 = label3D(this, arial(13, true, false), Qt::black, Qt::white, QColor());
    RxLabel2->setGeometry(120, 150, 270, 20);
    ImageComp = new QLabel(this);
    ImageComp->setGeometry(194, 203, 205, 52);
    ImageComp->setAttribute(Qt::WA_TranslucentBackground);
    RxLabel1 = label3D(this, arial(32, true, false), QColor(0x1e, 0x8c, 0x3a),
                       QColor(0x14, 0x7c, 0x7a), Qt::white);
    RxLabel1->setWordWrap(true);
    RxLabel1->setGeometry(100, 60, 290, 90);
    const QFont small = arial(11, false, true);
    Label1 = label(this, small, QStringLiteral("color: black;"));
    Label1->setGeometry(4, 240, 190, 14);
    Label1->setText(QString::fromUtf8(texts::kAllRightsReserved));
    Label2 = label(this, small, QStringLiteral("color: black;"));
    Label2->setGeometry(4, 228, 190, 14);
    ProgressLabel = label(this, arial(11, false, true), QStringLiteral("color: black;"));
    ProgressLabel->hide();
    ProgressBar = new QProgressBar(this);
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedSize(394, 6);
    ProgressBar->hide();
    Shape1 = new QFrame(this);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setGeometry(0, 0, kWidth, kHeight);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    // FormCreate: the texts of the version information.
    QStringList info;
    ReadVersionInfo(&info, QString());
    const AboutTexts about = AboutTexts::fromVersionInfo(info);
    RxLabel1->setCaption(about.FileDescription);
    RxLabel2->setCaption(about.splashVersion());
    Label2->setText(about.LegalCopyright);
    Label2->adjustSize();
    Shape1->raise();

    HModule module = nullptr;
    if (FindResourceModule(module, QStringLiteral("COMPANYLOGO"), ResourceTypeOf(rkGIF)))
        ImageComp->setPixmap(picture(QStringLiteral("COMPANYLOGO")));

    const int heightBefore = Image2->height();
    const QString logo = findProductLogo(QFile::decodeName(platform::programFolder().c_str()));
    if (!logo.isEmpty()) {
        Image2->setPixmap(QPixmap(logo));
        Image2->adjustSize();
    }
    if (!logo.isEmpty() && Image2->height() > heightBefore) {
        const int bottom = Image2->y() + Image2->height();
        RxLabel1->move(RxLabel1->x(), std::min(bottom, RxLabel1->y()));
    }
    RxLabel2->move(RxLabel2->x(), RxLabel1->y() + RxLabel1->height());
}

void TLogo::setupProgress(int steps) {
    if (steps < 0)
        return;
    ProgressBar->setMaximum(steps);
    ProgressBar->setValue(0);
    m_stepSize = 0;
    ProgressLabel->clear();
    ProgressBar->move(2, height() - ProgressBar->height() - 1);
    ProgressLabel->setGeometry(4, ProgressBar->y() - 15, 390, 14);
    const bool show = steps > 0;
    if (show != ProgressBar->isVisibleTo(this)) {
        const int area = height() - ProgressLabel->y();
        const int bar = ProgressBar->height() + 1;
        const int sign = show ? -1 : 1;
        for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label2})
            moveBy(w, sign * area);
        for (QWidget* w : std::initializer_list<QWidget*>{RxLabel1, RxLabel2, ImageComp})
            moveBy(w, sign * bar);
    }
    ProgressLabel->setVisible(show);
    ProgressBar->setVisible(show);
}

void TLogo::step(const QString& text, int nextStep) {
    if (ProgressBar->maximum() <= 0)
        return;
    ProgressLabel->setText(text + QStringLiteral("..."));
    ProgressBar->setValue(std::min(ProgressBar->value() + m_stepSize, ProgressBar->maximum()));
    m_stepSize = nextStep;
    RedrawControl(this);
}

void ShowSplash(int steps) {
    auto& splash = splashSlot();
    if (!splash) {
        auto logo = std::make_unique<TLogo>();
        logo->setupProgress(steps);
        logo->show();
        splash = std::move(logo);
    } else {
        splash->setupProgress(steps);
    }
    RedrawControl(splash.get());
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SplashStep(const QString& text, int nextStep) {
    if (splashSlot())
        splashSlot()->step(text, nextStep);
}

void CloseSplash(bool finalStep) {
    if (splashSlot() && finalStep)
        SplashStep(QString::fromUtf8(texts::kSplashFinalStep), 1);
    splashSlot().reset();
}

TLogo* currentSplash() {
    return splashSlot().get();
}

} // namespace vt::desktop
