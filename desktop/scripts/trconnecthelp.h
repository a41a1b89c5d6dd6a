// TrConnectHelp: the help file and help contexts of a login component's dialog.
#pragma once

#include "desktop/scripts/scripttexts.h"

#include <QString>

namespace vt::desktop {

// Six consecutive help contexts from a base (the dialog's own first) and the help file.
struct TrConnectHelp {
    explicit TrConnectHelp(int base = 10800)
        : Dialog(base), Resource(base + 1), User(base + 2), Password(base + 3), OK(base + 4),
          Cancel(base + 5) {}

    int Dialog;
    int Resource;
    int User;
    int Password;
    int OK;
    int Cancel;
    QString HelpFile = QString::fromUtf8(texts::kLoginHelpFile);

    bool operator==(const TrConnectHelp&) const = default;
};

} // namespace vt::desktop
