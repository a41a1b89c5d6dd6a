// TrFormErrorMes: the compact and expanded states, the keys that close it, the extra button and
// copying the message.
#include "desktop/errors/windows/trformerrormes.h"

#include "desktop/controls/trlabel.h"
#include "desktop/errors/terrorhandler.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

struct Dialog {
    TErrorHandler handler;
    TrFormErrorMes form;

    explicit Dialog(const QStringList& description = {}) {
        handler.setTitleMessage(QStringLiteral("Ошибка в программе:"));
        handler.setMessage(QStringLiteral("Сообщение"));
        handler.setDescription(description);
    }
    void open() {
        form.setup(handler);
        form.show();
        QCoreApplication::processEvents();
    }
    void press(Qt::Key key) {
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != &form)
            target = form.focusWidget() ? form.focusWidget() : &form;
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
        QCoreApplication::processEvents();
    }
};

TEST(TrFormErrorMesTest, OpensCompactAndTwoTogglesRestoreTheCompactHeightExactly) {
    Dialog d({QStringLiteral("Ошибка Exception: x")});
    d.open();
    const int compact = d.form.height();
    EXPECT_EQ(compact, d.form.MError->y());
    EXPECT_TRUE(d.form.MError->isHidden());
    EXPECT_TRUE(d.form.BitBtnAll->isEnabled());
    EXPECT_EQ(d.form.BitBtnAll->text(), QStringLiteral("&Подробнее >>"));

    d.form.BitBtnAll->click();
    EXPECT_EQ(d.form.height(), d.form.fullHeight());
    EXPECT_FALSE(d.form.MError->isHidden());
    EXPECT_EQ(d.form.BitBtnAll->text(), QStringLiteral("&Кратко <<"));
    EXPECT_EQ(d.form.BitBtnAll->property("helpContext").toInt(), 10303);
    EXPECT_EQ(d.form.MError->toPlainText(), QStringLiteral("Ошибка Exception: x"));

    d.form.BitBtnAll->click();
    EXPECT_EQ(d.form.height(), compact);
    EXPECT_EQ(d.form.BitBtnAll->property("helpContext").toInt(), 10302);
}

TEST(TrFormErrorMesTest, WithoutDetailsTheToggleIsDisabled) {
    Dialog d({QStringLiteral("   ")});
    d.open();
    EXPECT_FALSE(d.form.BitBtnAll->isEnabled());
    EXPECT_EQ(d.form.height(), d.form.MError->y());
}

TEST(TrFormErrorMesTest, EnterAndEscapeCloseAsDefaultAndCancelSay) {
    struct Case {
        const char* name;
        bool defaultOn;
        bool cancelOn;
        Qt::Key key;
        bool closes;
    } cases[] = {
        {"Enter closes by default", true, true, Qt::Key_Return, true},
        {"Enter with Default off does nothing", false, true, Qt::Key_Return, false},
        {"Escape closes while Cancel is on", false, true, Qt::Key_Escape, true},
        {"Escape with Cancel off does nothing", true, false, Qt::Key_Escape, false},
    };
    for (const Case& c : cases) {
        Dialog d;
        d.handler.setDefault(c.defaultOn);
        d.handler.setCancel(c.cancelOn);
        d.open();
        d.press(c.key);
        EXPECT_EQ(d.form.isVisible(), !c.closes) << c.name;
    }
}

TEST(TrFormErrorMesTest, TextsCaptionAndIconComeFromTheHandler) {
    Dialog d;
    d.handler.setCaption(QString());
    d.open();
    EXPECT_EQ(d.form.windowTitle(), QGuiApplication::applicationDisplayName());
    EXPECT_EQ(d.form.LError->text(), QStringLiteral("Ошибка в программе:"));
    EXPECT_EQ(d.form.LMessage->Caption(), QStringLiteral("Сообщение"));
    EXPECT_FALSE(d.form.Image1->pixmap().isNull());
    EXPECT_TRUE(d.form.ExtButton->isHidden());
}

TEST(TrFormErrorMesTest, ExtraButtonCallsTheHandlerEvent) {
    Dialog d;
    int clicks = 0;
    d.handler.setExtBtnCaption(QStringLiteral("Отчёт"));
    d.handler.setExtBtnVisible(ebAlways);
    d.handler.setOnExtButtonClick([&](TErrorHandler& sender) {
        EXPECT_EQ(&sender, &d.handler);
        ++clicks;
    });
    d.open();
    EXPECT_FALSE(d.form.ExtButton->isHidden());
    EXPECT_EQ(d.form.ExtButton->text(), QStringLiteral("Отчёт"));
    d.form.ExtButton->click();
    EXPECT_EQ(clicks, 1);
}

TEST(TrFormErrorMesTest, CopyPutsTheMessageOnTheClipboard) {
    Dialog d;
    d.open();
    d.form.NCopyToClipboard->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Сообщение"));
    EXPECT_EQ(d.form.NCopyToClipboard->text(), QStringLiteral("&Копировать"));
}

} // namespace
} // namespace vt::desktop
