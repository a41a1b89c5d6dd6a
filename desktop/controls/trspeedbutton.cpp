// TrSpeedButton: a flat tool button with a resource glyph that can stand in for menu items and
// be clicked by a key pressed in another control.
#include "desktop/controls/trspeedbutton.h"

#include "desktop/controls/trmenuitem.h"

#include <QEvent>
#include <QKeyEvent>

namespace vt::desktop {

TrSpeedButton::TrSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    applyLayout();
}

TrSpeedButton::~TrSpeedButton() {
    unlink(m_menuItem);
    unlink(m_popupMenuItem);
    if (m_control)
        m_control->removeEventFilter(this);
}

void TrSpeedButton::setLayout(TButtonLayout layout) {
    m_layout = layout;
    applyLayout();
}

void TrSpeedButton::applyLayout() {
    const bool under = m_layout == blGlyphTop || m_layout == blGlyphBottom;
    setToolButtonStyle(under ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
    setLayoutDirection(m_layout == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

void TrSpeedButton::Loaded() {
    setProperty(kLoadingProperty, false);
    m_glyph.load();
}

void TrSpeedButton::relink(Link& link, TrMenuItem* item) {
    if (link.item == item)
        return;
    unlink(link);
    if (!item)
        return;
    link.item = item;
    link.ownClick = item->OnClick();
    link.ownEnabled = item->isEnabled();
    link.ownShortcut = item->shortcut();
    QPointer<TrSpeedButton> self(this);
    Link* kept = &link;
    item->setOnClick([self, kept](QObject*) {
        if (self)
            self->itemClicked(*kept);
    });
    if (item->shortcut().isEmpty() && !property(kDesigningProperty).toBool())
        item->setShortcut(m_menuShortCut);
    item->setEnabled(isEnabled());
}

void TrSpeedButton::unlink(Link& link) {
    // Everything the item had is given back, also a missing handler: a handler that still
    // called this button would outlive it.
    if (TrMenuItem* item = link.item) {
        item->setOnClick(link.ownClick);
        item->setShortcut(link.ownShortcut);
        item->setEnabled(link.ownEnabled);
    }
    link = Link();
}

void TrSpeedButton::itemClicked(const Link& link) {
    // Copies: the handlers may unlink the item, or free the button, while they run.
    const auto own = link.ownClick;
    const TMenuItemClickOption option = m_callOption;
    QPointer<TrSpeedButton> self(this);
    if (option == micoBefore && own)
        own(this);
    if (self)
        click();
    if (self && option == micoAfter && own)
        own(this);
}

void TrSpeedButton::setMenuShortCut(const QKeySequence& shortcut) {
    m_menuShortCut = shortcut;
    if (property(kDesigningProperty).toBool())
        return;
    for (Link* link : {&m_menuItem, &m_popupMenuItem})
        if (link->item && link->ownShortcut.isEmpty())
            link->item->setShortcut(shortcut);
}

void TrSpeedButton::setControlFocused(QWidget* control) {
    if (m_control == control)
        return;
    if (m_control)
        m_control->removeEventFilter(this);
    m_control = control;
    if (m_control)
        m_control->installEventFilter(this);
}

void TrSpeedButton::setControlShortCut(QKeyCombination shortcut) {
    m_controlShortCut = shortcut;
}

bool TrSpeedButton::watching() const {
    return m_controlShortCut.key() != Qt::Key_unknown && m_controlShortCut.key() != 0;
}

bool TrSpeedButton::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != m_control || !watching() ||
        (type != QEvent::KeyPress && type != QEvent::ShortcutOverride))
        return QToolButton::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() != m_controlShortCut.key() ||
        modifiers != m_controlShortCut.keyboardModifiers() || !isEnabled())
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claims the key from the window's shortcuts so that it arrives as a key press.
        event->accept();
        return true;
    }
    click();
    return true;
}

void TrSpeedButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        for (Link* link : {&m_menuItem, &m_popupMenuItem})
            if (link->item)
                link->item->setEnabled(isEnabled());
    QToolButton::changeEvent(event);
}

} // namespace vt::desktop
