// Small pieces every window of the program uses: the F1 key, button glyphs and file filters.
#pragma once

#include <QIcon>
#include <QString>

#include <initializer_list>

class QAbstractButton;
class QHBoxLayout;
class QWidget;

namespace vt::desktop {

// A text of the program (a UTF-8 literal) as the windows show it.
inline QString tr8(const char* text) {
    return QString::fromUtf8(text);
}

// The dynamic property of a control that carries its own help context.
inline constexpr const char* kHelpContextProperty = "helpContext";

// The help context F1 asks for: that of the focused control or its nearest parent inside the
// window that has one, else the window's.
int controlHelpContext(const QWidget* window, int windowContext);

// Makes F1 anywhere in the window open the help at controlHelpContext, and a click of the help
// button (when one is given) at the window's context, through the help filter.
void installFormHelp(QWidget* window, int context, QAbstractButton* helpButton = nullptr);

class TrBitBtn;

// A TrBitBtn with the object name, caption and glyph resource (none for an empty name); throws
// EResNotFound when no module holds the glyph.
TrBitBtn* bitBtn(const char* objectName, const QString& caption, const char* glyph);

// The buttons at the foot of a window: a row aligned to the right, in the given order.
QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons);

// The bitmap resource of the program (or of the resource library) as a button icon; throws
// EResNotFound when no module holds it.
QIcon glyphIcon(const QString& name);

// A filter of the form "Description (*.ext)|*.ext|..." as a Qt file dialog takes it
// ("Description (*.ext);;...").
QString qtFileFilter(const QString& filter);

} // namespace vt::desktop
