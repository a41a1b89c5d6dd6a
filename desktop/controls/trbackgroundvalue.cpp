// TrBackgroundValue: the settings of one window (picture, colour, placement) and their value
// string "FileName;Color;ViewMode;Left;Top;Width;Height;State".
#include "desktop/controls/trbackgroundvalue.h"

#include <QFileInfo>
#include <QPainter>
#include <QStringList>

namespace vt::desktop {
namespace {

// Replaces the target with the field when it is an integer in the target's range.
template <typename T> void assignNumber(const QStringList& fields, int index, T& target) {
    if (index >= fields.size())
        return;
    bool ok = false;
    const qlonglong value = fields.at(index).trimmed().toLongLong(&ok);
    if (ok && value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max())
        target = static_cast<T>(value);
}

} // namespace

QColor colorOfTColor(TColor color, const QColor& systemColor) {
    const auto bits = static_cast<uint32_t>(color);
    if ((bits & 0xFF000000u) != 0)
        return systemColor;
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

TColor tcolorOfColor(const QColor& color, const QColor& systemColor) {
    if (!color.isValid() || color.rgb() == systemColor.rgb())
        return clBtnFace;
    return static_cast<TColor>(uint32_t(color.red()) | uint32_t(color.green()) << 8 |
                               uint32_t(color.blue()) << 16);
}

QString TrBackgroundValue::toValueString(bool sizeable) const {
    const QString width = sizeable ? QString::number(Width) : QString();
    const QString height = sizeable ? QString::number(Height) : QString();
    return QStringList{FileName,
                       QString::number(Color),
                       QString::number(int(ViewMode)),
                       QString::number(Left),
                       QString::number(Top),
                       width,
                       height,
                       QString::number(State)}
        .join(QLatin1Char(';'));
}

void TrBackgroundValue::assign(const QString& valueString) {
    if (valueString.isEmpty())
        return;
    const QStringList fields = valueString.split(QLatin1Char(';'));
    const QString file = fields.at(0);
    if (file.isEmpty()) {
        picture = QImage();
        FileName.clear();
    } else {
        loadPicture(file);
    }
    assignNumber(fields, 1, Color);
    int mode = ViewMode;
    assignNumber(fields, 2, mode);
    if (mode >= rvmNone && mode <= rvmStretch)
        ViewMode = static_cast<TrViewMode>(mode);
    assignNumber(fields, 3, Left);
    assignNumber(fields, 4, Top);
    assignNumber(fields, 5, Width);
    assignNumber(fields, 6, Height);
    assignNumber(fields, 7, State);
}

bool TrBackgroundValue::loadPicture(const QString& fileName) {
    if (!QFileInfo::exists(fileName))
        return false;
    QImage loaded(fileName);
    if (loaded.isNull())
        return false;
    picture = std::move(loaded);
    FileName = fileName;
    return true;
}

bool TrBackgroundValue::isCentred(const QRect& bounds, const QRect& workArea) {
    const int dx = workArea.width() - bounds.width();
    const int dy = workArea.height() - bounds.height();
    return dx >= 0 && dy >= 0 && bounds.left() - workArea.left() == dx / 2 &&
           bounds.top() - workArea.top() == dy / 2;
}

QRect TrBackgroundValue::centredBounds(const QRect& workArea, int width, int height,
                                       const QSize& current) {
    const int w = width == -1 ? current.width() : width;
    const int h = height == -1 ? current.height() : height;
    QRect bounds(std::max(0, (workArea.width() - w) / 2), std::max(0, (workArea.height() - h) / 2),
                 w, h);
    bounds.translate(workArea.topLeft());
    if (bounds.right() > workArea.right())
        bounds.setRight(workArea.right());
    if (bounds.bottom() > workArea.bottom())
        bounds.setBottom(workArea.bottom());
    return bounds;
}

void TrBackgroundValue::paint(QPainter& painter, const QRect& rect, const QColor& color) const {
    painter.fillRect(rect, color);
    if (picture.isNull())
        return;
    switch (ViewMode) {
    case rvmNone:
    case rvmTile:
        painter.drawTiledPixmap(rect, QPixmap::fromImage(picture));
        break;
    case rvmCenter: {
        const int dx = (rect.width() - picture.width()) / 2;
        const int dy = (rect.height() - picture.height()) / 2;
        painter.drawImage(rect.adjusted(dx, dy, -dx, -dy), picture);
        break;
    }
    case rvmStretch:
        painter.drawImage(rect, picture);
        break;
    }
}

} // namespace vt::desktop
