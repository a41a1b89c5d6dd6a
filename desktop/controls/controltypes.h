// Enumerations the program's own controls share: alignment in the parent, bevel cuts, text
// alignment and vertical text placement.
#pragma once

namespace vt::desktop {

// How a control is placed in its parent; the controls only consult it for their drawing.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// One bevel of a frame.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Horizontal text alignment.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Vertical text placement.
enum TTextLayout { tlTop, tlCenter, tlBottom };

} // namespace vt::desktop
