// Tests of the message boxes, modal windows and repainting.
#include "desktop/shell/appmessage.h"

#include "desktop/shell/testenv.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vt::desktop {
namespace {

struct LayoutCase {
    const char* name;
    unsigned flags;
    std::vector<int> buttons;
    unsigned icon;
    int defaultButton;
    int escapeResult;
};

class AppMessageLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(AppMessageLayoutTest, FlagsGiveButtonsIconAndDefault) {
    const AppMessageLayout layout = appMessageLayout(GetParam().flags);
    EXPECT_EQ(layout.buttons, GetParam().buttons);
    EXPECT_EQ(layout.icon, GetParam().icon);
    EXPECT_EQ(layout.defaultButton, GetParam().defaultButton);
    EXPECT_EQ(layout.escapeResult, GetParam().escapeResult);
}

const LayoutCase kLayoutCases[] = {
    {"ErrorWithOk", 16, {1}, 0x10, 1, 1},
    {"ErrorWithAbortRetryIgnoreClosesAsAbort", 18, {3, 4, 5}, 0x10, 3, 3},
    {"QuestionWithYesNoCancel", 35, {6, 7, 2}, 0x20, 6, 2},
    {"QuestionWithYesNoClosesAsNo", 36, {6, 7}, 0x20, 6, 7},
    {"InformationWithOk", 64, {1}, 0x40, 1, 1},
    {"QuestionWithNoAsDefault", 292, {6, 7}, 0x20, 7, 7},
    {"DefaultButtonBeyondTheButtonsFallsBackToTheFirst", 0x200 | 4, {6, 7}, 0, 6, 7},
};

INSTANTIATE_TEST_SUITE_P(Table, AppMessageLayoutTest, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

class AppMessageTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureQtApp(); }
};

// Acts on the message box once it is shown.
void whenBoxShown(std::function<void(QMessageBox*)> action) {
    QTimer::singleShot(0, [action] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        action(box);
    });
}

TEST_F(AppMessageTest, SeamGetsTheApplicationTitleTextAndFlags) {
    QString seen;
    auto previous =
        setAppMessageHandler([&](const QString& caption, const QString& text, unsigned flags) {
            seen = caption + QLatin1Char('|') + text + QLatin1Char('|') + QString::number(flags);
            return mb::idNo;
        });
    EXPECT_EQ(ShowAppMessage(QStringLiteral("Продолжить?"), 292), mb::idNo);
    EXPECT_EQ(seen, QStringLiteral("Vantrel Utilities|Продолжить?|292"));
    setAppMessageHandler(previous);
}

TEST_F(AppMessageTest, RealBoxReturnsThePressedButtonsResult) {
    QString caption, noText;
    whenBoxShown([&](QMessageBox* box) {
        caption = box->windowTitle();
        QAbstractButton* no = box->button(QMessageBox::No);
        noText = no->text();
        no->click();
    });
    EXPECT_EQ(ShowAppMessage(QStringLiteral("Удалить?"), 36), mb::idNo);
    EXPECT_EQ(caption, QStringLiteral("Vantrel Utilities"));
    EXPECT_EQ(noText, QStringLiteral("Нет"));
}

TEST_F(AppMessageTest, ClosedAbortRetryIgnoreBoxCountsAsAbort) {
    whenBoxShown([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(ShowAppMessage(QStringLiteral("Команда не выполнена."), 18), mb::idAbort);
}

TEST_F(AppMessageTest, ModalWindowIsFreedAfterUse) {
    QPointer<QDialog> dialog = new QDialog;
    QTimer::singleShot(0, dialog.data(), &QDialog::accept);
    EXPECT_EQ(ShowModalAndFree(dialog.data()), QDialog::Accepted);
    EXPECT_TRUE(dialog.isNull());
}

class ThrowingDialog : public QDialog {
public:
    int exec() override { throw std::runtime_error("failed while shown"); }
};

TEST_F(AppMessageTest, ModalWindowIsFreedWhenShowingFails) {
    QPointer<QDialog> dialog = new ThrowingDialog;
    EXPECT_THROW(ShowModalAndFree(dialog.data()), std::runtime_error);
    EXPECT_TRUE(dialog.isNull());
}

class CountingWidget : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST_F(AppMessageTest, RedrawControlRepaintsAtOnce) {
    CountingWidget widget;
    widget.resize(50, 50);
    widget.show();
    QApplication::processEvents();
    const int before = widget.paints;
    RedrawControl(&widget);
    EXPECT_EQ(widget.paints, before + 1);
    const QRect part(0, 0, 10, 10);
    RedrawControl(&widget, &part);
    EXPECT_EQ(widget.paints, before + 2);
    RedrawControl(nullptr);
}

} // namespace
} // namespace vt::desktop
