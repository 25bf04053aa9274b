// Draws the program's pictures: the tray icon's idle and busy images and the window icon, each a line drawing of
// a dog's head with a red neckerchief on a transparent 32 x 32 background.
//
//     draw_icons [folder]
//
// writes idle.png, busy.png and window.png into the folder (by default the shell's images folder of the source
// tree).
//
//     draw_icons --theme folder
//
// writes the desktop's icon, the window icon's drawing, into an icon theme's layout: folder/NxN/apps/ovin.png for
// every size that menus, task bars and docks ask for.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The drawing's own coordinates: every path below is laid out on a 32 x 32 grid and scaled to the image.
constexpr int kImageSizePx = 32;
constexpr qreal kLineWidthPx = 1.5;
constexpr int kThemeSizesPx[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

/// How one picture differs from the others.
struct Look {
    const char* fileName;
    QColor line;
    QColor eyes;
    qreal eyeRadiusPx;
};

constexpr QColor kGrey(96, 96, 96);
constexpr QColor kBlack(0, 0, 0);
constexpr QColor kRed(255, 0, 0);
constexpr QColor kNeckerchief(220, 20, 20);
constexpr QColor kNeckerchiefEdge(140, 0, 0);

QPainterPath earPath(bool left)
{
    // Drawn for the left ear and mirrored about the head's centre line (x 16) for the right one.
    QPainterPath ear;
    ear.moveTo(10.0, 5.5);
    ear.cubicTo(6.0, 5.0, 2.5, 9.0, 3.0, 15.5);
    ear.cubicTo(3.3, 18.5, 6.5, 18.5, 8.0, 15.0);
    if (left)
        return ear;
    QTransform mirror;
    mirror.translate(32.0, 0.0);
    mirror.scale(-1.0, 1.0);
    return mirror.map(ear);
}

QImage drawDog(const Look& look, int sizePx = kImageSizePx)
{
    QImage image(sizePx, sizePx, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = qreal(sizePx) / kImageSizePx;
    p.scale(scale, scale);
    // Scaled down to 16 pixels, a line would go thinner than a pixel and fade; it keeps one pixel at least.
    const auto width = [scale](qreal gridWidth) { return std::max(gridWidth, 1.0 / scale); };
    QPen line(look.line, width(kLineWidthPx), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // The neckerchief goes first so that the chin's line stays on top of its knot.
    const QPolygonF cloth{QPointF(8.5, 21.5), QPointF(23.5, 21.5), QPointF(16.0, 30.5)};
    p.setPen(QPen(kNeckerchiefEdge, width(1.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kNeckerchief);
    p.drawPolygon(cloth);
    p.drawEllipse(QPointF(16.0, 22.5), 2.2, 1.6);

    p.setPen(line);
    p.setBrush(Qt::NoBrush);

    // Skull and cheeks: broad at the brow, narrowing to the jaw.
    QPainterPath head;
    head.moveTo(10.0, 5.5);
    head.cubicTo(12.5, 3.5, 19.5, 3.5, 22.0, 5.5);
    head.cubicTo(24.5, 8.0, 24.5, 14.0, 22.5, 17.5);
    head.cubicTo(21.0, 20.5, 18.5, 21.5, 16.0, 21.5);
    head.cubicTo(13.5, 21.5, 11.0, 20.5, 9.5, 17.5);
    head.cubicTo(7.5, 14.0, 7.5, 8.0, 10.0, 5.5);
    p.drawPath(head);

    p.drawPath(earPath(true));
    p.drawPath(earPath(false));

    // Muzzle: a rounded snout below the eyes with the mouth under the nose.
    QPainterPath muzzle;
    muzzle.moveTo(12.0, 14.0);
    muzzle.cubicTo(11.0, 17.5, 13.0, 20.0, 16.0, 20.0);
    muzzle.cubicTo(19.0, 20.0, 21.0, 17.5, 20.0, 14.0);
    p.drawPath(muzzle);

    QPainterPath mouth;
    mouth.moveTo(16.0, 16.5);
    mouth.lineTo(16.0, 18.0);
    mouth.moveTo(14.0, 18.5);
    mouth.quadTo(16.0, 19.5, 18.0, 18.5);
    p.setPen(QPen(look.line, width(1.0), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(mouth);

    p.setPen(Qt::NoPen);
    p.setBrush(look.line);
    p.drawEllipse(QPointF(16.0, 15.0), 2.2, 1.5);

    p.setBrush(look.eyes);
    p.drawEllipse(QPointF(12.8, 10.5), look.eyeRadiusPx, look.eyeRadiusPx);
    p.drawEllipse(QPointF(19.2, 10.5), look.eyeRadiusPx, look.eyeRadiusPx);

    p.end();
    return image;
}

bool save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "draw_icons: cannot write %s\n", qPrintable(path));
    return false;
}

constexpr Look kWindowLook{"window.png", kBlack, kBlack, 1.2};

int drawTheme(const QDir& theme)
{
    int failures = 0;
    for (const int sizePx : kThemeSizesPx) {
        const QString apps = QStringLiteral("%1x%1/apps").arg(sizePx);
        if (!theme.mkpath(apps)) {
            std::fprintf(stderr, "draw_icons: cannot create %s\n", qPrintable(theme.filePath(apps)));
            ++failures;
            continue;
        }
        if (!save(drawDog(kWindowLook, sizePx), theme.filePath(apps + QStringLiteral("/ovin.png"))))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--theme") == 0)
        return drawTheme(QDir(QString::fromLocal8Bit(argv[2])));

    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OVIN_IMAGES_DIR));
    const Look looks[] = {
        {"idle.png", kGrey, kGrey, 1.2},
        // Bigger eyes so that the red reads at tray size.
        {"busy.png", kGrey, kRed, 1.7},
        kWindowLook,
    };

    int failures = 0;
    for (const Look& look : looks) {
        if (!save(drawDog(look), folder.filePath(QString::fromLatin1(look.fileName))))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
