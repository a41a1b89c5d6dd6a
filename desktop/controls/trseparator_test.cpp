// TrSeparator: where the divider line lies, and the refusal of a divider without an edge.
#include "desktop/controls/trseparator.h"

#include "desktop/controls/controlstexts.h"
#include "desktop/shell/testenv.h"
#include "platform/exception.h"

#include <QImage>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

const QColor kLight(255, 255, 255);
const QColor kDark(128, 128, 128);

QImage render(TrSeparator& separator) {
    QPalette pal = separator.palette();
    pal.setColor(QPalette::Light, kLight);
    pal.setColor(QPalette::Dark, kDark);
    separator.setPalette(pal);
    QImage image(separator.size(), QImage::Format_RGB32);
    image.fill(Qt::green);
    separator.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

TEST(TrSeparatorTest, DividerOfWidthEightAlignedLeftLiesAtXThree) {
    testing::ensureQtApp();
    TrSeparator separator;
    separator.resize(8, 22);
    separator.setSeparatorStyle(rspDivider);
    const QImage image = render(separator);
    for (int x = 0; x < 8; ++x) {
        const QColor expected = x == 3 ? kDark : x == 4 ? kLight : QColor(Qt::green);
        EXPECT_EQ(image.pixelColor(x, 10), expected) << "x = " << x;
    }
    EXPECT_EQ(image.pixelColor(3, 0), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(3, 1), kDark);
    EXPECT_EQ(image.pixelColor(3, 20), kDark);
    EXPECT_EQ(image.pixelColor(3, 21), QColor(Qt::green));
}

TEST(TrSeparatorTest, DividerAlignedTopRunsAcrossTheMiddle) {
    testing::ensureQtApp();
    TrSeparator separator;
    separator.setAlign(alTop);
    separator.resize(30, 8);
    separator.setSeparatorStyle(rspDivider);
    const QImage image = render(separator);
    EXPECT_EQ(image.pixelColor(15, 3), kDark);
    EXPECT_EQ(image.pixelColor(15, 4), kLight);
    EXPECT_EQ(image.pixelColor(0, 3), QColor(Qt::green));
}

TEST(TrSeparatorTest, PlainSeparatorDrawsNothing) {
    testing::ensureQtApp();
    TrSeparator separator;
    separator.resize(8, 22);
    const QImage image = render(separator);
    EXPECT_EQ(image.pixelColor(3, 10), QColor(Qt::green));
}

TEST(TrSeparatorTest, DividerIsRefusedWithoutAnEdgeToDrawAlong) {
    testing::ensureQtApp();
    for (TAlign align : {alNone, alClient}) {
        TrSeparator separator;
        separator.setAlign(align);
        try {
            separator.setSeparatorStyle(rspDivider);
            ADD_FAILURE() << "no exception for align " << align;
        } catch (const vt::Exception& e) {
            EXPECT_STREQ(e.what(), texts::kDividerNeedsAlign);
        }
        EXPECT_EQ(separator.SeparatorStyle(), rspSeparator);
    }
}

} // namespace
} // namespace vt::desktop
