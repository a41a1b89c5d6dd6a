// TrMenuItem: a menu item whose click handler can be taken over, as the program's speed buttons
// do when they stand in for it.
#include "desktop/controls/trmenuitem.h"

namespace vt::desktop {

TrMenuItem::TrMenuItem(const QString& text, QObject* parent) : QAction(text, parent) {
    connect(this, &QAction::triggered, this, [this] {
        // A copy: the handler may replace itself while it runs.
        if (ClickHandler handler = m_onClick)
            handler(this);
    });
}

} // namespace vt::desktop
