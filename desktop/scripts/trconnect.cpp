// TrConnect: the login component whose owner makes the connection in OnConnect.
#include "desktop/scripts/trconnect.h"

namespace vt::desktop {

TrConnect::TrConnect(QObject* parent) : TrCustomConnect(parent) {}

void TrConnect::DoConnect() {
    TrCustomConnect::DoConnect();
    if (OnConnect)
        OnConnect(*this);
}

} // namespace vt::desktop
