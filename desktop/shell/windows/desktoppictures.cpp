// Build tool that paints the desktop program's own pictures into PNG files.
//
// Usage: vtdesk_pictures <folder>. Writes the seven 32 x 32 tool-bar pictures (TB_TOOLS,
// TB_IMPORT, TB_EXECSQL, TB_INICONVERT, TB_SQLCONVERT, TB_SQLPARAMS, TB_EXIT), the tool bar's
// background TB_BACKGROUND, the 16 x 16 button glyphs RDBN_INSERT, RDBN_DELETE, RDBN_EDIT, UP_BTN,
// DOWN_BTN, BBIGNORE, BBOK, BBCANCEL and BBHELP, and the application icon VTDESK (128 x 128). All
// are drawn here for this project.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kTeal(0x14, 0x7C, 0x7A);
const QColor kDeepTeal(0x0B, 0x4F, 0x55);
const QColor kGreen(0x2E, 0x9E, 0x4F);
const QColor kLightGreen(0x8F, 0xD1, 0x6A);
const QColor kRed(0xC6, 0x3B, 0x32);
const QColor kAmber(0xE8, 0xA3, 0x1C);
const QColor kPaper(0xFB, 0xFB, 0xF7);
const QColor kInk(0x3A, 0x46, 0x4B);

using Painting = std::function<void(QPainter&)>;

QImage paint(int size, const Painting& draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

// A sheet of paper with a folded corner and a few text lines.
void drawDocument(QPainter& p, const QRectF& r, const QColor& lines = kInk) {
    const qreal fold = r.width() * 0.3;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xE4, 0xE9, 0xE6));
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(g);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(0xD0, 0xD8, 0xD4));
    p.drawPath(corner);
    p.setPen(QPen(lines, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal y = r.top() + fold + 2; y < r.bottom() - 2; y += 3.5)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3 - (int(y) % 3), y));
}

// A database cylinder.
void drawCylinder(QPainter& p, const QRectF& r, const QColor& color) {
    const qreal cap = r.height() * 0.28;
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, color.darker(130));
    g.setColorAt(0.45, color.lighter(140));
    g.setColorAt(1, color.darker(150));
    QPainterPath body;
    body.moveTo(r.left(), r.top() + cap / 2);
    body.lineTo(r.left(), r.bottom() - cap / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - cap, r.width(), cap), 180, 180);
    body.lineTo(r.right(), r.top() + cap / 2);
    body.arcTo(QRectF(r.left(), r.top(), r.width(), cap), 0, -180);
    p.setPen(QPen(color.darker(200), 1.0));
    p.setBrush(g);
    p.drawPath(body);
    p.setBrush(color.lighter(170));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), cap));
}

// A thick arrow from one point to another.
void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& color, qreal width) {
    const QLineF line(from, to);
    const qreal head = width * 2.2;
    QLineF shaft = line;
    shaft.setLength(line.length() - head * 0.8);
    p.setPen(QPen(color.darker(140), width + 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shaft);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shaft);
    const qreal angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    QPolygonF tip;
    tip << to
        << QPointF(to.x() - head * std::cos(angle - 0.5), to.y() - head * std::sin(angle - 0.5))
        << QPointF(to.x() - head * std::cos(angle + 0.5), to.y() - head * std::sin(angle + 0.5));
    p.setPen(QPen(color.darker(140), 1.0));
    p.setBrush(color);
    p.drawPolygon(tip);
}

// A gear with eight teeth.
void drawGear(QPainter& p, QPointF c, qreal radius, const QColor& color) {
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal a0 = (i * M_PI) / teeth;
        const qreal a1 = ((i + 1) * M_PI) / teeth;
        const qreal rr = (i % 2 == 0) ? radius : radius * 0.74;
        const QPointF p0(c.x() + rr * std::cos(a0), c.y() + rr * std::sin(a0));
        const QPointF p1(c.x() + rr * std::cos(a1), c.y() + rr * std::sin(a1));
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    gear.addEllipse(c, radius * 0.32, radius * 0.32);
    QLinearGradient g(c - QPointF(radius, radius), c + QPointF(radius, radius));
    g.setColorAt(0, color.lighter(150));
    g.setColorAt(1, color.darker(130));
    p.setPen(QPen(color.darker(180), 1.0));
    p.setBrush(g);
    p.drawPath(gear);
}

// A green "run" triangle in a round badge.
void drawPlayBadge(QPainter& p, QPointF c, qreal radius) {
    QLinearGradient g(c - QPointF(0, radius), c + QPointF(0, radius));
    g.setColorAt(0, kLightGreen);
    g.setColorAt(1, kGreen.darker(120));
    p.setPen(QPen(kGreen.darker(180), 1.0));
    p.setBrush(g);
    p.drawEllipse(c, radius, radius);
    QPolygonF play;
    play << QPointF(c.x() - radius * 0.3, c.y() - radius * 0.5)
         << QPointF(c.x() + radius * 0.55, c.y())
         << QPointF(c.x() - radius * 0.3, c.y() + radius * 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(play);
}

// A small padlock, the sign of an rSQL script.
void drawLock(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kDeepTeal, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(r.left() + r.width() * 0.2, r.top(), r.width() * 0.6, r.height() * 0.7), 0,
              180 * 16);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kAmber.lighter(130));
    g.setColorAt(1, kAmber.darker(120));
    p.setPen(QPen(kAmber.darker(170), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.4, r.width(), r.height() * 0.6),
                      1.5, 1.5);
}

QImage toolSettings() {
    return paint(32, [](QPainter& p) {
        drawGear(p, QPointF(13, 13), 10, QColor(0x7A, 0x8A, 0x90));
        drawGear(p, QPointF(23, 23), 7.5, kTeal);
    });
}

QImage dataTransfer() {
    return paint(32, [](QPainter& p) {
        drawCylinder(p, QRectF(2, 4, 12, 18), kTeal);
        drawCylinder(p, QRectF(18, 10, 12, 18), kGreen);
        drawArrow(p, QPointF(8, 26), QPointF(20, 5), kAmber, 2.5);
    });
}

QImage runScript() {
    return paint(32, [](QPainter& p) {
        drawDocument(p, QRectF(3, 2, 19, 25));
        drawPlayBadge(p, QPointF(22, 22), 8.5);
    });
}

QImage convertTo(bool toRsql) {
    return paint(32, [toRsql](QPainter& p) {
        drawDocument(p, QRectF(2, 2, 14, 19));
        drawDocument(p, QRectF(16, 11, 14, 19), kTeal);
        drawArrow(p, QPointF(6, 27), QPointF(14, 27), kGreen, 2.2);
        drawLock(p, toRsql ? QRectF(20, 19, 8, 10) : QRectF(4, 10, 8, 10));
    });
}

QImage scriptKinds() {
    return paint(32, [](QPainter& p) {
        drawDocument(p, QRectF(3, 2, 19, 25));
        p.setPen(QPen(kGreen, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (int y : {12, 18}) {
            p.drawLine(QPointF(6, y), QPointF(8, y + 2));
            p.drawLine(QPointF(8, y + 2), QPointF(11, y - 2));
        }
        drawGear(p, QPointF(23, 23), 7.5, kAmber);
    });
}

QImage exitDoor() {
    return paint(32, [](QPainter& p) {
        QLinearGradient frame(QPointF(4, 0), QPointF(20, 0));
        frame.setColorAt(0, QColor(0x8B, 0x5A, 0x2B));
        frame.setColorAt(1, QColor(0x5E, 0x3A, 0x18));
        p.setPen(QPen(QColor(0x40, 0x28, 0x10), 1.0));
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawRect(QRectF(4, 3, 16, 26));
        QPolygonF door;
        door << QPointF(4, 3) << QPointF(14, 6) << QPointF(14, 31) << QPointF(4, 29);
        p.setBrush(frame);
        p.drawPolygon(door);
        p.setBrush(kAmber);
        p.drawEllipse(QPointF(12, 18), 1.2, 1.2);
        drawArrow(p, QPointF(16, 16), QPointF(30, 16), kRed, 3.0);
    });
}

QImage toolBarBackground() {
    QImage image(64, 50, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 50);
    g.setColorAt(0, QColor(0xF4, 0xF8, 0xF6));
    g.setColorAt(0.5, QColor(0xE2, 0xEC, 0xE8));
    g.setColorAt(1, QColor(0xC9, 0xD9, 0xD3));
    p.fillRect(image.rect(), g);
    return image;
}

QImage glyph(const Painting& draw) {
    return paint(16, draw);
}

QImage plusGlyph() {
    return glyph([](QPainter& p) {
        p.setPen(QPen(kGreen.darker(140), 1.0));
        p.setBrush(kGreen);
        p.drawRoundedRect(QRectF(6, 1.5, 4, 13), 1, 1);
        p.drawRoundedRect(QRectF(1.5, 6, 13, 4), 1, 1);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(6.5, 6.5, 3, 3));
    });
}

QImage crossGlyph() {
    return glyph([](QPainter& p) {
        p.setPen(QPen(kRed, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

QImage pencilGlyph() {
    return glyph([](QPainter& p) {
        p.translate(8, 8);
        p.rotate(45);
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(kAmber);
        p.drawRect(QRectF(-2, -7, 4, 10));
        p.setBrush(QColor(0xF2, 0xD0, 0xA0));
        QPolygonF tip;
        tip << QPointF(-2, 3) << QPointF(2, 3) << QPointF(0, 7);
        p.drawPolygon(tip);
        p.setBrush(kRed);
        p.drawRect(QRectF(-2, -8.5, 4, 2));
    });
}

QImage triangleGlyph(bool up) {
    return glyph([up](QPainter& p) {
        QPolygonF t;
        if (up)
            t << QPointF(8, 3) << QPointF(14, 12) << QPointF(2, 12);
        else
            t << QPointF(2, 4) << QPointF(14, 4) << QPointF(8, 13);
        QLinearGradient g(0, 2, 0, 14);
        g.setColorAt(0, kTeal.lighter(140));
        g.setColorAt(1, kDeepTeal);
        p.setPen(QPen(kDeepTeal.darker(130), 1.0));
        p.setBrush(g);
        p.drawPolygon(t);
    });
}

QImage checkGlyph() {
    return glyph([](QPainter& p) {
        p.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF tick;
        tick << QPointF(2.5, 8.5) << QPointF(6.5, 12.5) << QPointF(13.5, 3.5);
        p.drawPolyline(tick);
    });
}

QImage questionGlyph() {
    return glyph([](QPainter& p) {
        p.setPen(QPen(kTeal.darker(120), 1.0));
        p.setBrush(kTeal);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QImage runGlyph() {
    return glyph([](QPainter& p) { drawPlayBadge(p, QPointF(8, 8), 7); });
}

QImage appIcon() {
    QImage image = paint(128, [](QPainter& p) {
        p.scale(4, 4);
        drawCylinder(p, QRectF(3, 6, 20, 24), kTeal);
        drawPlayBadge(p, QPointF(22, 21), 9);
    });
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vtdesk_pictures <folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "vtdesk_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    const std::pair<const char*, QImage> pictures[] = {
        {"TB_TOOLS", toolSettings()},
        {"TB_IMPORT", dataTransfer()},
        {"TB_EXECSQL", runScript()},
        {"TB_INICONVERT", convertTo(true)},
        {"TB_SQLCONVERT", convertTo(false)},
        {"TB_SQLPARAMS", scriptKinds()},
        {"TB_EXIT", exitDoor()},
        {"TB_BACKGROUND", toolBarBackground()},
        {"RDBN_INSERT", plusGlyph()},
        {"RDBN_DELETE", crossGlyph()},
        {"RDBN_EDIT", pencilGlyph()},
        {"UP_BTN", triangleGlyph(true)},
        {"DOWN_BTN", triangleGlyph(false)},
        {"BBIGNORE", runGlyph()},
        {"BBOK", checkGlyph()},
        {"BBCANCEL", crossGlyph()},
        {"BBHELP", questionGlyph()},
        {"VTDESK", appIcon()},
    };
    for (const auto& [name, image] : pictures) {
        const QString file = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!image.save(file)) {
            std::fprintf(stderr, "vtdesk_pictures: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
