// TrBackground: window settings through the registry, the older formats, and background painting.
#include "desktop/controls/trbackground.h"

#include "desktop/shell/registry.h"
#include "desktop/shell/testenv.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

const QString kKey = QStringLiteral("Software\\Vantrel\\Vantrel Utilities\\Background");

class TrBackgroundTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureQtApp(); }

    // A window named FormTest with its settings store on kKey and AutoSave on.
    std::unique_ptr<QWidget> makeWindow(TrBackground** store = nullptr) {
        auto window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("FormTest"));
        auto* background = new TrBackground(window.get());
        background->setAutoSave(true);
        background->setRedrawBkg(false);
        background->setRegKey(kKey);
        if (store)
            *store = background;
        return window;
    }

    std::optional<QString> stored(const QString& name) {
        Registry registry;
        if (!registry.openKey(kKey, false))
            return std::nullopt;
        return registry.readString(name);
    }

    void store(const QString& name, const QString& value) {
        Registry registry;
        ASSERT_TRUE(registry.openKey(kKey, true));
        registry.writeString(name, value);
    }

    static QRect work() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    testing::ScopedConfigDir m_config;
};

TEST_F(TrBackgroundTest, MaximizedWindowStoresItsRestoredRectangleAndOpensMaximized) {
    {
        auto window = makeWindow();
        window->setGeometry(100, 120, 400, 300);
        window->showMaximized();
        QCoreApplication::processEvents();
        window->close();
    }
    EXPECT_EQ(stored(QStringLiteral("FormTest")), QStringLiteral(";-16777201;0;100;120;400;300;1"));
    auto window = makeWindow();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isMaximized());
}

TEST_F(TrBackgroundTest, CentredFixedSizeWindowOpensCentredAgain) {
    const QRect centred = TrBackgroundValue::centredBounds(work(), 300, 200, QSize());
    {
        auto window = makeWindow();
        window->setFixedSize(300, 200);
        window->show();
        window->setGeometry(centred);
        QCoreApplication::processEvents();
        window->close();
    }
    EXPECT_EQ(stored(QStringLiteral("FormTest")),
              QStringLiteral(";-16777201;0;%1;%2;;;2").arg(centred.left()).arg(centred.top()));
    auto window = makeWindow();
    window->setFixedSize(300, 200);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->geometry(), centred);
}

TEST_F(TrBackgroundTest, ValueOfThreeFieldsChangesPictureColourAndModeOnly) {
    const QString picture = m_config.file(QStringLiteral("back.png"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    ASSERT_TRUE(image.save(picture));
    store(QStringLiteral("FormTest"), picture + QStringLiteral(";255;3"));

    TrBackground* background = nullptr;
    auto window = makeWindow(&background);
    EXPECT_EQ(background->FileName(), picture);
    EXPECT_EQ(background->value().picture.size(), QSize(4, 4));
    EXPECT_EQ(background->Color(), 255);
    EXPECT_EQ(background->ViewMode(), rvmStretch);
    EXPECT_EQ(background->value().Left, -1);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST_F(TrBackgroundTest, StoredPlaceThatNoScreenShowsOpensOnThePrimaryScreen) {
    store(QStringLiteral("FormTest"), QStringLiteral(";-16777201;0;5000;4000;300;200;0"));
    auto window = makeWindow();
    EXPECT_TRUE(work().contains(window->geometry())) << window->x() << "," << window->y();
    EXPECT_EQ(window->size(), QSize(300, 200));
}

TEST_F(TrBackgroundTest, ToolBarTextWithLeftZeroKeepsTheLeftEdge) {
    store(QStringLiteral("FormTest_ToolBars_NEW"),
          QStringLiteral("&ToolBar1&0;40;25;200;1;FormTest"));
    QWidget window;
    window.setObjectName(QStringLiteral("FormTest"));
    auto* toolbar = new QToolBar(&window);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    toolbar->setGeometry(10, 5, 100, 30);
    auto* background = new TrBackground(&window);
    background->setRegKey(kKey);
    EXPECT_EQ(toolbar->geometry(), QRect(10, 40, 200, 25));
}

TEST_F(TrBackgroundTest, OldToolBarListIsReadAndRewrittenInTheCurrentFormat) {
    store(QStringLiteral("FormTest_ToolBars"), QStringLiteral("_A"));
    store(QStringLiteral("FormTest_A"), QStringLiteral("x;ToolBar1;7;8;20;90;1"));
    QWidget window;
    window.setObjectName(QStringLiteral("FormTest"));
    auto* toolbar = new QToolBar(&window);
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    auto* background = new TrBackground(&window);
    background->setRegKey(kKey);
    EXPECT_EQ(toolbar->geometry(), QRect(7, 8, 90, 20));
    EXPECT_EQ(stored(QStringLiteral("FormTest_ToolBars_NEW")),
              QStringLiteral("&ToolBar1&7;8;20;90;1;FormTest"));
}

TEST_F(TrBackgroundTest, SplitterPanesRoundTripAndAWindowWithoutSplittersDeletesTheValue) {
    QSize leftSize;
    {
        TrBackground* background = nullptr;
        auto window = makeWindow(&background);
        window->resize(400, 300);
        auto* splitter = new QSplitter(window.get());
        splitter->setObjectName(QStringLiteral("Splitter1"));
        splitter->setGeometry(0, 0, 400, 300);
        auto* left = new QWidget;
        left->setObjectName(QStringLiteral("PanelLeft"));
        splitter->addWidget(left);
        splitter->addWidget(new QWidget);
        window->show();
        splitter->setSizes({120, 270});
        QCoreApplication::processEvents();
        leftSize = left->size();
        background->SaveSettings();
    }
    EXPECT_EQ(
        stored(QStringLiteral("FormTest_Splitters_NEW")),
        QStringLiteral("&Splitter1&PanelLeft;%1;%2").arg(leftSize.height()).arg(leftSize.width()));

    auto window = makeWindow();
    window->close();
    EXPECT_EQ(stored(QStringLiteral("FormTest_Splitters_NEW")), std::nullopt);
}

TEST_F(TrBackgroundTest, RedrawBkgPaintsThePictureUnderTheWindow) {
    const QString picture = m_config.file(QStringLiteral("back.png"));
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    ASSERT_TRUE(image.save(picture));
    QWidget window;
    window.resize(40, 30);
    auto* background = new TrBackground(&window);
    background->setViewMode(rvmStretch);
    background->setFileName(picture);
    EXPECT_EQ(window.grab().toImage().pixelColor(20, 15), QColor(10, 200, 30));
    background->setRedrawBkg(false);
    EXPECT_NE(window.grab().toImage().pixelColor(20, 15), QColor(10, 200, 30));
}

TEST_F(TrBackgroundTest, ClassNameStoresAllWindowsOfAClassUnderOneName) {
    QWidget window;
    window.setObjectName(QStringLiteral("Whatever"));
    auto* background = new TrBackground(&window);
    background->setValueName(bvntClassName);
    EXPECT_EQ(background->valueName(), QStringLiteral("QWidget"));
}

TEST(TrBackgroundValueTest, PictureIsTiledCentredOrStretched) {
    testing::ensureQtApp();
    TrBackgroundValue value;
    value.picture = QImage(4, 4, QImage::Format_RGB32);
    value.picture.fill(Qt::red);
    value.picture.setPixelColor(0, 0, Qt::blue);
    struct Case {
        TrViewMode mode;
        QPoint blue;   // a pixel that shows the picture's blue corner
        QPoint colour; // a pixel left in the background colour, or (-1,-1)
    } cases[] = {
        {rvmNone, {4, 4}, {-1, -1}},
        {rvmTile, {8, 0}, {-1, -1}},
        {rvmCenter, {3, 3}, {2, 2}},
        {rvmStretch, {1, 1}, {-1, -1}},
    };
    for (const Case& c : cases) {
        value.ViewMode = c.mode;
        QImage surface(10, 10, QImage::Format_RGB32);
        QPainter painter(&surface);
        value.paint(painter, surface.rect(), Qt::green);
        painter.end();
        EXPECT_EQ(surface.pixelColor(c.blue), QColor(Qt::blue)) << c.mode;
        if (c.colour.x() >= 0) {
            EXPECT_EQ(surface.pixelColor(c.colour), QColor(Qt::green)) << c.mode;
        }
    }
}

TEST(TrBackgroundValueTest, FieldsThatAreNoIntegersKeepTheirValues) {
    TrBackgroundValue value;
    value.Left = 5;
    value.assign(QStringLiteral(";x;2;;7;abc"));
    EXPECT_EQ(value.Color, clBtnFace);
    EXPECT_EQ(value.ViewMode, rvmCenter);
    EXPECT_EQ(value.Left, 5);
    EXPECT_EQ(value.Top, 7);
    EXPECT_EQ(value.Width, -1);
    EXPECT_EQ(value.toValueString(true), QStringLiteral(";-16777201;2;5;7;-1;-1;0"));
}

} // namespace
} // namespace vt::desktop
