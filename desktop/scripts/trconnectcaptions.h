// TrConnectCaptions: the texts of a login component's dialog.
#pragma once

#include "desktop/scripts/scripttexts.h"

#include <QString>

namespace vt::desktop {

// The dialog's caption and the labels of its three boxes; copied as a whole.
struct TrConnectCaptions {
    QString Dialog = QString::fromUtf8(texts::kLoginDialog);
    QString Resource = QString::fromUtf8(texts::kLoginResource);
    QString User = QString::fromUtf8(texts::kLoginUser);
    QString Password = QString::fromUtf8(texts::kLoginPassword);

    bool operator==(const TrConnectCaptions&) const = default;
};

} // namespace vt::desktop
