// The texts of the program's own controls.
#pragma once

namespace vt::desktop::texts {

// A divider separator whose alignment leaves it no edge to draw along.
inline constexpr const char* kDividerNeedsAlign =
    "Для установки rspDivider свойство Align не может быть alNone или alClient.";

} // namespace vt::desktop::texts
