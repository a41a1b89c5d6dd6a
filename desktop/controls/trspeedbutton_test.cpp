// TrSpeedButton and TrBitBtn: focus-control shortcuts, linked menu items and resource glyphs.
#include "desktop/controls/trspeedbutton.h"

#include "desktop/controls/trbitbtn.h"
#include "desktop/controls/trmenuitem.h"
#include "desktop/shell/shellerrors.h"
#include "desktop/shell/testenv.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace vt::desktop {
namespace {

// A combo box that records the keys its own handling sees and whether its list opened.
class RecordingCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override { ++popups; }
    int popups = 0;
};

// Records every key press that reaches the control through a filter installed after the button.
class KeyRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
    QList<int> keys;
};

struct Window {
    QWidget window;
    RecordingCombo* combo = new RecordingCombo(&window);
    TrSpeedButton* button = new TrSpeedButton(&window);
    KeyRecorder recorder;
    int clicks = 0;

    Window() {
        testing::ensureQtApp();
        combo->addItems({QStringLiteral("one"), QStringLiteral("two")});
        button->setControlFocused(combo);
        button->setControlShortCut(QKeyCombination(Qt::Key_F4));
        combo->installEventFilter(&recorder);
        QObject::connect(button, &QToolButton::clicked, [this] { ++clicks; });
    }

    // Sends the key to the combo box as the application delivers a typed key.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent override(QEvent::ShortcutOverride, key, modifiers);
        QApplication::sendEvent(combo, &override);
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(combo, &event);
    }
};

TEST(TrSpeedButtonTest, ShortcutInTheFocusControlClicksOnlyOnAnExactMatch) {
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool enabled;
        int clicks;
        int popups;
    } cases[] = {
        {"F4 clicks and keeps the list closed", Qt::Key_F4, Qt::NoModifier, true, 1, 0},
        {"Shift+F4 does nothing to the button", Qt::Key_F4, Qt::ShiftModifier, true, 0, 0},
        {"another key is the combo box's own", Qt::Key_Down, Qt::AltModifier, true, 0, 1},
        {"a disabled button ignores F4", Qt::Key_F4, Qt::NoModifier, false, 0, 1},
    };
    for (const Case& c : cases) {
        Window w;
        w.button->setEnabled(c.enabled);
        w.press(c.key, c.modifiers);
        EXPECT_EQ(w.clicks, c.clicks) << c.name;
        EXPECT_EQ(w.combo->popups, c.popups) << c.name;
        EXPECT_EQ(w.recorder.keys, QList<int>{c.key}) << c.name;
    }
}

TEST(TrSpeedButtonTest, DestroyedFocusControlIsDropped) {
    Window w;
    delete w.combo;
    EXPECT_EQ(w.button->ControlFocused(), nullptr);
}

TEST(TrSpeedButtonTest, DisabledButtonDisablesItsLinkedItems) {
    testing::ensureQtApp();
    TrSpeedButton button;
    TrMenuItem item(QStringLiteral("Open"));
    TrMenuItem popup(QStringLiteral("Open"));
    button.setMenuItem(&item);
    button.setPopupMenuItem(&popup);
    button.setEnabled(false);
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(popup.isEnabled());
    button.setEnabled(true);
    EXPECT_TRUE(item.isEnabled());
}

TEST(TrSpeedButtonTest, ClickingALinkedItemRunsItsOwnHandlerAsTheOptionSays) {
    struct Case {
        TMenuItemClickOption option;
        QStringList calls;
    } cases[] = {
        {micoNone, {"button"}},
        {micoBefore, {"item", "button"}},
        {micoAfter, {"button", "item"}},
    };
    for (const Case& c : cases) {
        testing::ensureQtApp();
        TrSpeedButton button;
        TrMenuItem item;
        QStringList calls;
        QObject* sender = nullptr;
        item.setOnClick([&](QObject* s) {
            calls.append(QStringLiteral("item"));
            sender = s;
        });
        QObject::connect(&button, &QToolButton::clicked,
                         [&] { calls.append(QStringLiteral("button")); });
        button.setMenuCallOption(c.option);
        button.setMenuItem(&item);
        item.trigger();
        EXPECT_EQ(calls, c.calls) << c.option;
        EXPECT_EQ(sender, c.option == micoNone ? nullptr : &button);
    }
}

TEST(TrSpeedButtonTest, LinkedItemsKeepTheirOwnShortcutAndGetItBack) {
    testing::ensureQtApp();
    TrSpeedButton button;
    button.setMenuShortCut(QKeySequence(Qt::Key_F5));
    TrMenuItem own;
    own.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    own.setOnClick([](QObject*) {});
    TrMenuItem bare;

    button.setMenuItem(&own);
    button.setPopupMenuItem(&bare);
    EXPECT_EQ(own.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(bare.shortcut(), QKeySequence(Qt::Key_F5));
    button.setMenuShortCut(QKeySequence(Qt::Key_F6));
    EXPECT_EQ(bare.shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_EQ(own.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));

    button.setEnabled(false);
    button.setMenuItem(nullptr);
    button.setPopupMenuItem(nullptr);
    EXPECT_EQ(own.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_TRUE(own.isEnabled());
    EXPECT_TRUE(bare.shortcut().isEmpty());
    EXPECT_TRUE(bare.isEnabled());
}

TEST(TrSpeedButtonTest, ItemOutlivingItsButtonNoLongerCallsIt) {
    testing::ensureQtApp();
    TrMenuItem item;
    int own = 0;
    item.setOnClick([&](QObject*) { ++own; });
    TrMenuItem bare;
    {
        TrSpeedButton button;
        button.setMenuItem(&item);
        button.setPopupMenuItem(&bare);
    }
    item.trigger();
    bare.trigger();
    EXPECT_EQ(own, 1);
    EXPECT_FALSE(bare.OnClick());
}

TEST(TrSpeedButtonTest, DestroyedItemIsDropped) {
    testing::ensureQtApp();
    TrSpeedButton button;
    auto* item = new TrMenuItem;
    button.setMenuItem(item);
    delete item;
    EXPECT_EQ(button.MenuItem(), nullptr);
    button.setEnabled(false);
}

TEST(TrSpeedButtonTest, GlyphComesFromANamedResource) {
    testing::ensureQtApp();
    TrBitBtn ok;
    ok.setGlyphResource(QStringLiteral("BBOK"));
    EXPECT_EQ(ok.Glyph().size(), QSize(16, 12));
    EXPECT_FALSE(ok.icon().isNull());

    TrSpeedButton button;
    try {
        button.setGlyphResource(QStringLiteral("NOSUCHGLYPH"));
        ADD_FAILURE() << "a missing glyph loaded";
    } catch (const EResNotFound& e) {
        EXPECT_STREQ(e.what(), "Ресурс NOSUCHGLYPH не найден");
    }

    TrSpeedButton loading;
    loading.setProperty(kLoadingProperty, true);
    loading.setGlyphResource(QStringLiteral("BBOK"));
    EXPECT_TRUE(loading.Glyph().isNull());
    loading.Loaded();
    EXPECT_FALSE(loading.Glyph().isNull());
}

} // namespace
} // namespace vt::desktop
