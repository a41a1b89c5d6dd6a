// TrSpeedButton: a flat tool button with a resource glyph that can stand in for menu items and
// be clicked by a key pressed in another control.
//
// Linked menu items: the button takes over the item's click handler (keeping the item's own to
// call before or after its click, or not at all), mirrors its enabled state onto the item and
// gives the item MenuShortCut when it has no shortcut. Unlinking, and destroying the button, give
// the item back its own handler, enabled state and shortcut. A linked item or focus control that
// is destroyed first is simply dropped.
//
// The focus control is watched through an event filter: a key press whose key and modifiers
// equal ControlShortCut exactly clicks the enabled button and is consumed, so the control's own
// handling of that key does not happen. Event filters installed on the control after it was set
// as ControlFocused see the key before the button does.
#pragma once

#include "desktop/controls/buttonglyph.h"
#include "desktop/controls/trmenuitem.h"

#include <QKeyCombination>
#include <QKeySequence>
#include <QPointer>
#include <QToolButton>

namespace vt::desktop {

// Where the glyph lies beside the caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Whether a linked item's own click handler runs, and when.
enum TMenuItemClickOption { micoNone, micoBefore, micoAfter };

class TrSpeedButton : public QToolButton {
    Q_OBJECT

public:
    explicit TrSpeedButton(QWidget* parent = nullptr);
    ~TrSpeedButton() override;

    bool Flat() const { return autoRaise(); }
    void setFlat(bool on) { setAutoRaise(on); }
    bool FlatStandard() const { return m_flatStandard; }
    void setFlatStandard(bool on) { m_flatStandard = on; }
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on) { m_transparent = on; }
    TButtonLayout Layout() const { return m_layout; }
    void setLayout(TButtonLayout layout);

    const QImage& Glyph() const { return m_glyph.Glyph(); }
    void setGlyph(const QImage& picture) { m_glyph.setGlyph(picture); }
    TBitmapResKind GlyphResKind() const { return m_glyph.GlyphResKind(); }
    void setGlyphResKind(TBitmapResKind kind) { m_glyph.setGlyphResKind(kind); }
    const QString& GlyphResource() const { return m_glyph.GlyphResource(); }
    void setGlyphResource(const QString& name) { m_glyph.setGlyphResource(name); }
    // Ends loading from a window description: clears the loading mark and loads the glyph.
    void Loaded();

    TrMenuItem* MenuItem() const { return m_menuItem.item; }
    void setMenuItem(TrMenuItem* item) { relink(m_menuItem, item); }
    TrMenuItem* PopupMenuItem() const { return m_popupMenuItem.item; }
    void setPopupMenuItem(TrMenuItem* item) { relink(m_popupMenuItem, item); }
    const QKeySequence& MenuShortCut() const { return m_menuShortCut; }
    // Linked items without a shortcut of their own get the new one.
    void setMenuShortCut(const QKeySequence& shortcut);
    TMenuItemClickOption MenuCallOption() const { return m_callOption; }
    void setMenuCallOption(TMenuItemClickOption option) { m_callOption = option; }

    QWidget* ControlFocused() const { return m_control; }
    void setControlFocused(QWidget* control);
    // The key and modifiers that click the button while ControlFocused has the focus; an empty
    // combination (Qt::Key_unknown) watches nothing.
    QKeyCombination ControlShortCut() const { return m_controlShortCut; }
    void setControlShortCut(QKeyCombination shortcut);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Link {
        QPointer<TrMenuItem> item;
        std::function<void(QObject*)> ownClick;
        bool ownEnabled = true;
        QKeySequence ownShortcut;
    };
    void relink(Link& link, TrMenuItem* item);
    void unlink(Link& link);
    void itemClicked(const Link& link);
    void applyLayout();
    bool watching() const;

    ButtonGlyph m_glyph{this};
    bool m_flatStandard = true;
    bool m_transparent = true;
    TButtonLayout m_layout = blGlyphLeft;
    Link m_menuItem;
    Link m_popupMenuItem;
    QKeySequence m_menuShortCut;
    TMenuItemClickOption m_callOption = micoNone;
    QPointer<QWidget> m_control;
    QKeyCombination m_controlShortCut{Qt::Key_unknown};
};

} // namespace vt::desktop
