// TrMenuItem: a menu item whose click handler can be taken over, as the program's speed buttons
// do when they stand in for it.
#pragma once

#include <QAction>
#include <functional>

namespace vt::desktop {

class TrMenuItem : public QAction {
    Q_OBJECT

public:
    // The item's click handler; it gets the object the click is made for (the item itself, or a
    // button that stands in for it).
    using ClickHandler = std::function<void(QObject* sender)>;

    explicit TrMenuItem(const QString& text = {}, QObject* parent = nullptr);

    const ClickHandler& OnClick() const { return m_onClick; }
    void setOnClick(ClickHandler handler) { m_onClick = std::move(handler); }

private:
    ClickHandler m_onClick;
};

} // namespace vt::desktop
