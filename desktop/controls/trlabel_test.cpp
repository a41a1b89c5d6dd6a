// TrLabel: where the text and its raised copies land, the disabled look, bounds and blinking.
#include "desktop/controls/trlabel.h"

#include "desktop/shell/testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

const QColor kBackground(0, 0, 255);
const QColor kLight(255, 255, 255);
const QColor kDark(128, 128, 128);
const QColor kText(0, 0, 0);
const QColor kGrayText(255, 0, 0);

// A label with a fixed size, a font drawn without smoothing and colours told apart by value.
std::unique_ptr<TrLabel> makeLabel() {
    testing::ensureQtApp();
    auto label = std::make_unique<TrLabel>();
    QFont font(QStringLiteral("DejaVu Sans"), 14);
    font.setStyleStrategy(QFont::NoAntialias);
    label->setFont(font);
    QPalette pal = label->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Window, kBackground);
        pal.setColor(group, QPalette::Light, kLight);
        pal.setColor(group, QPalette::Dark, kDark);
        pal.setColor(group, QPalette::WindowText, kText);
    }
    pal.setColor(QPalette::Disabled, QPalette::Text, kGrayText);
    label->setPalette(pal);
    label->setAutoSize(false);
    label->setGeometry(0, 0, 160, 60);
    label->setCaption(QStringLiteral("Wxq"));
    return label;
}

// The height the label measures one line of its font at.
int lineHeight(const TrLabel& label) {
    return QFontMetrics(label.font())
        .boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignTop | Qt::AlignLeft, QStringLiteral("X"))
        .height();
}

QImage render(TrLabel& label) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    label.paintLabel(painter);
    return image;
}

// The bounds of the pixels that have exactly the colour; empty when there are none.
QRect boundsOf(const QImage& image, const QColor& color) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Turns blinking on at a fast pace and waits for the blink phase.
void waitForBlinkPhase(TrLabel& label) {
    label.setBlinkSpeed(5);
    label.setBlink(true);
    QElapsedTimer clock;
    clock.start();
    while (!label.blinkPhase() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

struct LayoutCase {
    const char* name;
    TAlignment alignment;
    TTextLayout layout;
    bool raisedBottom;
    bool enabled;
    // Where the text lies against the same label drawn without 3D text at the top.
    QPoint (*textOffset)(int height, int lineHeight);
    bool lightCopy; // the upper-left copy in the highlight colour shows
    bool darkCopy;  // the lower-right copy in the shadow colour shows
};

const LayoutCase kLayoutCases[] = {
    {"DefaultsDrawThreeCopiesOnePixelApart", taLeftJustify, tlTop, true, true,
     [](int, int) { return QPoint(1, 1); }, true, true},
    {"CentredWithoutLowerCopyMovesOnlyDown", taCenter, tlTop, false, true,
     [](int, int) { return QPoint(0, 1); }, true, false},
    {"BottomLayoutSitsAboveTheLowerCopy", taLeftJustify, tlBottom, true, true,
     [](int h, int line) { return QPoint(1, h - line - 2); }, true, true},
    {"CentreLayoutCentresTextWithItsCopies", taLeftJustify, tlCenter, true, true,
     [](int h, int line) { return QPoint(1, (h - line - 1) / 2); }, true, true},
    {"DisabledShowsGreyTextOverAWhiteCopy", taLeftJustify, tlTop, true, false,
     [](int, int) { return QPoint(1, 1); }, false, false},
};

class TrLabelLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(TrLabelLayoutTest, TextAndCopiesLandWhereThePaintingStepsPutThem) {
    const LayoutCase& c = GetParam();
    auto reference = makeLabel();
    reference->setAlignment(c.alignment);
    reference->setText3D(false);
    const QRect plain = boundsOf(render(*reference), kText);
    ASSERT_FALSE(plain.isEmpty());

    auto label = makeLabel();
    label->setAlignment(c.alignment);
    label->setLayout(c.layout);
    label->setRaisedBottom(c.raisedBottom);
    label->setEnabled(c.enabled);
    const QImage image = render(*label);
    const QPoint offset = c.textOffset(label->height(), lineHeight(*label));

    const QColor textColor = c.enabled ? kText : kGrayText;
    EXPECT_EQ(boundsOf(image, textColor), plain.translated(offset));
    const QRect light = boundsOf(image, kLight);
    const QRect dark = boundsOf(image, kDark);
    if (c.lightCopy) {
        EXPECT_EQ(light.topLeft(), plain.translated(offset).topLeft() - QPoint(1, 1));
    }
    if (c.darkCopy) {
        EXPECT_EQ(dark.bottomRight(), plain.translated(offset).bottomRight() + QPoint(1, 1));
    } else {
        EXPECT_TRUE(dark.isEmpty());
    }
    if (!c.enabled) {
        // The fixed disabled look: the white copy one pixel down and right, nothing above.
        EXPECT_EQ(light.bottomRight(), plain.translated(offset).bottomRight() + QPoint(1, 1));
        EXPECT_GT(light.top(), plain.translated(offset).top() - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Looks, TrLabelLayoutTest, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrLabelTest, LoweredBevelShadesTopLeftDarkAndBottomRightLight) {
    auto label = makeLabel();
    label->setBevelOuter(bvLowered);
    label->setBevelWidth(2);
    const QImage image = render(*label);
    EXPECT_EQ(image.pixelColor(0, 0), kDark);
    EXPECT_EQ(image.pixelColor(1, 1), kDark);
    EXPECT_EQ(image.pixelColor(label->width() - 1, label->height() - 1), kLight);
    EXPECT_EQ(image.pixelColor(label->width() - 2, label->height() - 2), kLight);
    EXPECT_EQ(image.pixelColor(2, label->height() / 2), kBackground);
}

TEST(TrLabelTest, TransparentLabelLeavesTheBackgroundAlone) {
    auto label = makeLabel();
    label->setTransparent(true);
    const QImage image = render(*label);
    EXPECT_EQ(image.pixelColor(label->width() - 1, 0), QColor(Qt::green));
}

TEST(TrLabelTest, AutoSizeGivesAnEmptyCaptionTheHeightOfOneLine) {
    struct Case {
        bool text3D;
        int extra; // margin and copies around the line
    } cases[] = {{true, 4}, {false, 0}};
    for (const Case& c : cases) {
        auto label = makeLabel();
        label->setText3D(c.text3D);
        label->setCaption(QString());
        label->setAutoSize(true);
        EXPECT_EQ(label->height(), lineHeight(*label) + c.extra) << "Text3D " << c.text3D;
        EXPECT_GT(label->width(), 0);
    }
}

TEST(TrLabelTest, AutoSizeWithRightAlignmentKeepsTheRightEdge) {
    auto label = makeLabel();
    label->setAlignment(taRightJustify);
    label->setAutoSize(true);
    const int right = label->geometry().right();
    label->setCaption(QStringLiteral("A much longer caption"));
    EXPECT_EQ(label->geometry().right(), right);
    EXPECT_EQ(label->size(), label->fittedSize());
}

TEST(TrLabelTest, BlinkAlternatesOnlyWhileEnabled) {
    auto label = makeLabel();
    waitForBlinkPhase(*label);
    EXPECT_TRUE(label->blinkPhase());

    label->setEnabled(false);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(label->blinkPhase());

    label->setBlink(false);
    EXPECT_FALSE(label->blinkPhase());
}

TEST(TrLabelTest, BlinkPhaseDrawsTheBlinkColours) {
    auto label = makeLabel();
    label->setBlinkColor(QColor(0, 255, 255));
    waitForBlinkPhase(*label);
    const QImage image = render(*label);
    EXPECT_FALSE(boundsOf(image, QColor(0, 255, 255)).isEmpty());
    EXPECT_TRUE(boundsOf(image, kText).isEmpty());
}

TEST(TrLabelTest, AcceleratorFocusesTheFocusControlOnlyWhenAllowed) {
    struct Case {
        const char* name;
        bool labelEnabled;
        bool showAccelChar;
        bool controlEnabled;
        bool focused;
    } cases[] = {
        {"an enabled label focuses its control", true, true, true, true},
        {"a disabled label does nothing", false, true, true, false},
        {"without accelerator prefix there is no key", true, false, true, false},
        {"a disabled control cannot take the focus", true, true, false, false},
    };
    for (const Case& c : cases) {
        testing::ensureQtApp();
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* label = new TrLabel(&window);
        auto* edit = new QLineEdit(&window);
        edit->move(0, 40);
        label->setCaption(QStringLiteral("&Name"));
        label->setFocusControl(edit);
        label->setEnabled(c.labelEnabled);
        label->setShowAccelChar(c.showAccelChar);
        edit->setEnabled(c.controlEnabled);
        window.show();
        QApplication::setActiveWindow(&window);
        other->setFocus();
        if (!QTest::qWaitForWindowActive(&window))
            GTEST_SKIP() << "the platform does not activate windows";
        QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
        EXPECT_EQ(edit->hasFocus(), c.focused) << c.name;
    }
}

} // namespace
} // namespace vt::desktop
