// Build tool that paints the pictures of the product resource library into PNG files.
//
// Usage: vtres_pictures <folder>. Writes MAINLOGO.png (splash, 399 x 255), MAINLOGO256.png (the
// same in 256 colours), COMPANYLOGO.png (205 x 52), COMPANY.png (106 x 160) and EXIT_BTN.png
// (20 x 20 button glyph).
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QColor kDeepTeal(0x0B, 0x4F, 0x55);
const QColor kTeal(0x14, 0x7C, 0x7A);
const QColor kGreen(0x2E, 0x9E, 0x4F);
const QColor kLightGreen(0x8F, 0xD1, 0x6A);
const QColor kGrey(0x5A, 0x6B, 0x70);

QFont font(int pixelSize, int weight, bool italic = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setWeight(QFont::Weight(weight));
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The company emblem: a rounded square in a teal-to-green gradient with a white "V" of two
// strokes and a small leaf-green spark, drawn into the given square.
void drawEmblem(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = r.width();
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0.0, kTeal);
    g.setColorAt(1.0, kGreen);
    QPainterPath body;
    body.addRoundedRect(r, s * 0.22, s * 0.22);
    p.fillPath(body, g);
    // Soft highlight over the upper half.
    QLinearGradient shine(r.topLeft(), QPointF(r.left(), r.center().y()));
    shine.setColorAt(0.0, QColor(255, 255, 255, 90));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(body, shine);
    QPainterPath v;
    v.moveTo(r.left() + s * 0.24, r.top() + s * 0.26);
    v.lineTo(r.left() + s * 0.50, r.top() + s * 0.76);
    v.lineTo(r.left() + s * 0.76, r.top() + s * 0.26);
    p.setPen(QPen(Qt::white, s * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(v);
    p.setPen(Qt::NoPen);
    p.setBrush(kLightGreen);
    p.drawEllipse(QPointF(r.left() + s * 0.76, r.top() + s * 0.26), s * 0.075, s * 0.075);
    p.restore();
}

// A database cylinder with its top ellipse, filled with a horizontal gradient.
void drawCylinder(QPainter& p, const QRectF& r, qreal capHeight, const QColor& color, int alpha) {
    QColor side = color;
    side.setAlpha(alpha);
    QColor dark = color.darker(140);
    dark.setAlpha(alpha);
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0.0, dark);
    g.setColorAt(0.45, side);
    g.setColorAt(1.0, dark);
    QPainterPath body;
    body.moveTo(r.left(), r.top() + capHeight / 2);
    body.lineTo(r.left(), r.bottom() - capHeight / 2);
    body.arcTo(QRectF(r.left(), r.bottom() - capHeight, r.width(), capHeight), 180, 180);
    body.lineTo(r.right(), r.top() + capHeight / 2);
    body.arcTo(QRectF(r.left(), r.top(), r.width(), capHeight), 0, -180);
    p.fillPath(body, g);
    QColor top = color.lighter(150);
    top.setAlpha(alpha);
    p.setBrush(top);
    p.setPen(QPen(QColor(255, 255, 255, alpha), 1.2));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), capHeight));
    p.setPen(Qt::NoPen);
}

QImage mainLogo() {
    QImage image(399, 255, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 255);
    sky.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    sky.setColorAt(0.55, QColor(0xEE, 0xF7, 0xF4));
    sky.setColorAt(1.0, QColor(0xD3, 0xEB, 0xE4));
    p.fillRect(image.rect(), sky);

    QRadialGradient glow(QPointF(330, 40), 220);
    glow.setColorAt(0.0, QColor(0xE4, 0xF6, 0xD8, 200));
    glow.setColorAt(1.0, QColor(0xE4, 0xF6, 0xD8, 0));
    p.fillRect(image.rect(), glow);

    // A faint dot grid in the upper right corner.
    p.setPen(Qt::NoPen);
    for (int y = 12; y < 110; y += 12)
        for (int x = 250; x < 395; x += 12) {
            const int alpha = std::max(0, 70 - (395 - x) / 3 - y / 3);
            p.setBrush(QColor(0x14, 0x7C, 0x7A, alpha));
            p.drawEllipse(QPointF(x, y), 1.3, 1.3);
        }

    // Sweeping bands across the lower half.
    const struct Band {
        qreal y0, c1, c2, y1, thickness;
        QColor color;
    } bands[] = {
        {150, 110, 230, 120, 46, QColor(0x14, 0x7C, 0x7A, 46)},
        {175, 130, 250, 150, 36, QColor(0x2E, 0x9E, 0x4F, 52)},
        {196, 160, 262, 184, 24, QColor(0x0B, 0x4F, 0x55, 40)},
    };
    for (const Band& b : bands) {
        QPainterPath band;
        band.moveTo(-10, b.y0);
        band.cubicTo(130, b.c1, 260, b.c2, 410, b.y1);
        band.lineTo(410, b.y1 + b.thickness);
        band.cubicTo(260, b.c2 + b.thickness, 130, b.c1 + b.thickness * 1.4, -10,
                     b.y0 + b.thickness);
        band.closeSubpath();
        p.fillPath(band, b.color);
    }

    // Three database cylinders, the front one carrying the update arrow.
    drawCylinder(p, QRectF(28, 86, 58, 84), 18, kTeal, 120);
    drawCylinder(p, QRectF(104, 76, 58, 94), 18, kGreen, 130);
    drawCylinder(p, QRectF(58, 104, 72, 92), 22, kDeepTeal, 235);
    const QPointF centre(94, 156);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - 17, centre.y() - 17, 34, 34), 110 * 16, 260 * 16);
    QPainterPath head;
    const QPointF tip(centre.x() - 3, centre.y() - 17);
    head.moveTo(tip + QPointF(10, 0));
    head.lineTo(tip + QPointF(-3, -8));
    head.lineTo(tip + QPointF(-3, 8));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(head, Qt::white);

    // A light band under the copyright lines and the company picture.
    QLinearGradient foot(0, 205, 0, 255);
    foot.setColorAt(0.0, QColor(255, 255, 255, 0));
    foot.setColorAt(0.4, QColor(255, 255, 255, 170));
    foot.setColorAt(1.0, QColor(255, 255, 255, 210));
    p.fillRect(QRectF(0, 205, 399, 50), foot);
    p.setPen(QPen(QColor(0x14, 0x7C, 0x7A, 120), 1));
    p.drawLine(QPointF(4, 222.5), QPointF(190, 222.5));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage companyLogo() {
    QImage image = blank(205, 52);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawEmblem(p, QRectF(62, 5, 42, 42));
    p.setPen(kDeepTeal);
    p.setFont(font(22, QFont::Bold));
    p.drawText(QRectF(110, 2, 92, 30), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Vantrel"));
    QFont small = font(9, QFont::DemiBold);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
    p.setFont(small);
    p.setPen(kGrey);
    p.drawText(QRectF(111, 33, 92, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("SOFTWARE"));
    p.end();
    return image;
}

QImage company() {
    QImage image = blank(106, 160);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(1.5, 1.5, 103, 157), 10, 10);
    QLinearGradient g(0, 0, 0, 160);
    g.setColorAt(0.0, QColor(0xF4, 0xFB, 0xF8));
    g.setColorAt(1.0, QColor(0xD6, 0xEC, 0xE5));
    p.fillPath(card, g);
    p.setPen(QPen(QColor(0x14, 0x7C, 0x7A, 110), 1));
    p.drawPath(card);
    drawEmblem(p, QRectF(19, 16, 68, 68));
    p.setPen(kDeepTeal);
    p.setFont(font(19, QFont::Bold));
    p.drawText(QRectF(0, 92, 106, 26), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Vantrel"));
    QFont small = font(9, QFont::DemiBold);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    p.setFont(small);
    p.setPen(kGrey);
    p.drawText(QRectF(0, 118, 106, 14), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("SOFTWARE"));
    p.setPen(QPen(QColor(0x2E, 0x9E, 0x4F, 160), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(38, 141), QPointF(68, 141));
    p.end();
    return image;
}

QImage exitGlyph() {
    QImage image = blank(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Door frame and the open door leaf.
    p.setPen(QPen(QColor(0x4A, 0x3A, 0x2A), 1.2));
    p.setBrush(QColor(0xE8, 0xE2, 0xD6));
    p.drawRect(QRectF(2.5, 2.5, 10, 15));
    QPainterPath leaf;
    leaf.moveTo(2.5, 2.5);
    leaf.lineTo(8.5, 4.5);
    leaf.lineTo(8.5, 19.0);
    leaf.lineTo(2.5, 17.5);
    leaf.closeSubpath();
    QLinearGradient wood(2.5, 0, 8.5, 0);
    wood.setColorAt(0.0, QColor(0xB0, 0x6A, 0x2C));
    wood.setColorAt(1.0, QColor(0x7A, 0x45, 0x18));
    p.fillPath(leaf, wood);
    p.drawPath(leaf);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0xC9, 0x4C));
    p.drawEllipse(QPointF(7.2, 11.2), 0.9, 0.9);
    // Arrow leaving through the door.
    QPainterPath arrow;
    arrow.moveTo(10.0, 8.5);
    arrow.lineTo(14.0, 8.5);
    arrow.lineTo(14.0, 5.5);
    arrow.lineTo(19.0, 10.0);
    arrow.lineTo(14.0, 14.5);
    arrow.lineTo(14.0, 11.5);
    arrow.lineTo(10.0, 11.5);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x1E, 0x6B, 0x34), 1.0));
    p.setBrush(kGreen);
    p.drawPath(arrow);
    p.end();
    return image;
}

bool save(const QImage& image, const QDir& dir, const char* name) {
    const QString path = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "vtres_pictures: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The offscreen platform wants a private runtime folder; a build machine may have none.
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
        QFile::setPermissions(runtimeDir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vtres_pictures <folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "vtres_pictures: cannot create %s\n", argv[1]);
        return 1;
    }
    const QImage logo = mainLogo();
    const bool ok = save(logo, dir, "MAINLOGO") &&
                    save(logo.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither), dir,
                         "MAINLOGO256") &&
                    save(companyLogo(), dir, "COMPANYLOGO") && save(company(), dir, "COMPANY") &&
                    save(exitGlyph(), dir, "EXIT_BTN");
    return ok ? 0 : 1;
}
