// TrConnect: the login component whose owner makes the connection in OnConnect.
#pragma once

#include "desktop/scripts/trcustomconnect.h"

namespace vt::desktop {

class TrConnect : public TrCustomConnect {
    Q_OBJECT
public:
    explicit TrConnect(QObject* parent = nullptr);

    // Makes the connection with Resource, User and Password, or raises.
    ConnectEvent OnConnect;

    // Counts the attempt, then fires OnConnect.
    void DoConnect() override;
};

} // namespace vt::desktop
