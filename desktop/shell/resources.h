// Pictures from the resource modules: lookup, name normalisation and loading by kind.
#pragma once

#include "desktop/shell/resourcemodule.h"

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QString>
#include <optional>
#include <variant>

namespace vt::desktop {

// The kinds of resource pictures.
enum TBitmapResKind { rkNone, rkBitmap, rkIcon, rkCursor, rkEMF, rkWMF, rkGIF, rkJPEG };

// The resource type a kind is looked up under ("BITMAP", "ICON", "CURSOR", "EMF", "WMF", "GIF",
// "JPEG"; empty for rkNone).
QString ResourceTypeOf(TBitmapResKind kind);

// Looks the resource up in the given module, then in each module of ResourceModules in order;
// on a hit in a listed module, module is set to it. Returns the resource's Qt path, or nullopt.
std::optional<QString> FindResourceModule(HModule& module, const QString& name,
                                          const QString& type);

// Trims the name; a name that reads as an integer above 0 becomes "#" followed by that text.
void NormalizeResName(QString& name);

// A loaded bitmap, icon or cursor.
using ResourceHandle = std::variant<QImage, QIcon, QCursor>;

// Loads a bitmap (kind 1), icon (2) or cursor (3) by name; throws EResNotFound "Ресурс %s не
// найден" when no module holds it. Icons and cursors need a QGuiApplication.
ResourceHandle LoadResourceHandle(HModule module, const QString& name, TBitmapResKind kind);

// Draws the named resource of the kind into the bitmap: bitmaps and pictures take the picture's
// size; icons give 32 x 32 on magenta. Throws EResNotFound when no module holds the resource and
// EInvalidGraphic when its bytes hold no readable picture.
void LoadResourceGraphic(QImage& bitmap, HModule module, const QString& name, TBitmapResKind kind);

// Dynamic properties of a control that stand for its component state: being read from its window
// description, and living in a form designer.
inline constexpr const char* kLoadingProperty = "vtLoading";
inline constexpr const char* kDesigningProperty = "vtDesigning";

// The glyph loader of the program's buttons: nothing for rkNone, a blank name or a control being
// loaded; else LoadResourceGraphic with the program's own module. A missing resource passes to
// the caller, except in a form designer.
void LoadGlyphResource(const QObject* control, QImage& bitmap, TBitmapResKind kind,
                       const QString& name);

} // namespace vt::desktop
