// TrBackgroundValue: the settings of one window (picture, colour, placement) and their value
// string "FileName;Color;ViewMode;Left;Top;Width;Height;State".
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;

namespace vt::desktop {

// How the background picture is laid out.
enum TrViewMode { rvmNone, rvmTile, rvmCenter, rvmStretch };

// The platform's colour numbers: 0x00BBGGRR, or 0xFF0000nn for the system colour nn.
using TColor = int32_t;
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000F);

// The colour a colour number stands for; system colours are the palette's window colour.
QColor colorOfTColor(TColor color, const QColor& systemColor);
// The colour number of a colour; the system colour given stays clBtnFace.
TColor tcolorOfColor(const QColor& color, const QColor& systemColor);

class TrBackgroundValue final {
public:
    enum State : uint8_t { Normal = 0, Maximized = 1, Centred = 2 };

    QImage picture;
    TColor Color = clBtnFace;
    TrViewMode ViewMode = rvmNone;
    int32_t Left = -1; // -1: no placement stored
    int32_t Top = -1;
    int32_t Width = -1; // -1: no size stored
    int32_t Height = -1;
    uint8_t State = Normal;
    QString FileName;

    // The value string; Width and Height are empty fields unless the window is sizeable.
    QString toValueString(bool sizeable) const;
    // Assigns the fields of a value string by position. An empty file name clears the picture,
    // an existing file is loaded, a missing one changes nothing; a field that is no integer, or
    // is missing, keeps the current value.
    void assign(const QString& valueString);
    // Loads the picture from the file and keeps the name; false (nothing changed) when the file
    // is missing or holds no picture.
    bool loadPicture(const QString& fileName);

    // True when the bounds are centred in the work area (both halves rounded down, both
    // differences not negative).
    static bool isCentred(const QRect& bounds, const QRect& workArea);
    // The bounds centred in the work area: a size of -1 stands for the current size, a negative
    // position becomes the work area's edge, and a size reaching past the work area is cut.
    static QRect centredBounds(const QRect& workArea, int width, int height, const QSize& current);
    // Paints the colour and the picture (tiled, centred or stretched) over the rectangle.
    void paint(QPainter& painter, const QRect& rect, const QColor& color) const;
};

} // namespace vt::desktop
