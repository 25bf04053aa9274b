// Draws the program's pictures: the tray icon's idle, busy and warning images and the window icon, each a line
// drawing of a dog's head with a red neckerchief on a transparent 32 x 32 background.
//
//     draw_icons [folder]
//
// writes idle.png, busy.png, warning.png and window.png into the folder (by default the shell's images folder of the
// source tree).
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

#include "DogDrawing.h"

#include <cstdio>
#include <cstring>

namespace icons = ovin::icons;

namespace {

constexpr int kImageSizePx = 32;
constexpr int kThemeSizesPx[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

QColor toColor(icons::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QPainterPath toPath(const std::vector<icons::PathStep>& steps)
{
    QPainterPath path;
    for (const icons::PathStep& step : steps) {
        const auto pt = [&step](int i) { return QPointF(step.points[i].x, step.points[i].y); };
        switch (step.kind) {
        case icons::StepKind::MoveTo:
            path.moveTo(pt(0));
            break;
        case icons::StepKind::LineTo:
            path.lineTo(pt(0));
            break;
        case icons::StepKind::QuadTo:
            path.quadTo(pt(0), pt(1));
            break;
        case icons::StepKind::CubicTo:
            path.cubicTo(pt(0), pt(1), pt(2));
            break;
        }
    }
    return path;
}

QImage drawDog(const icons::Look& look, int sizePx = kImageSizePx)
{
    QImage image(sizePx, sizePx, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = qreal(sizePx) / icons::kGridSize;
    p.scale(scale, scale);

    for (const icons::Shape& shape : icons::shapesOf(look)) {
        if (shape.pen == icons::Paint::None)
            p.setPen(Qt::NoPen);
        else
            p.setPen(QPen(toColor(icons::colourOf(shape.pen, look)), icons::penWidthAt(shape.penWidth, scale),
                          Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (shape.brush == icons::Paint::None)
            p.setBrush(Qt::NoBrush);
        else
            p.setBrush(toColor(icons::colourOf(shape.brush, look)));

        switch (shape.kind) {
        case icons::ShapeKind::Polygon: {
            QPolygonF polygon;
            for (const icons::PathStep& step : shape.steps)
                polygon << QPointF(step.points[0].x, step.points[0].y);
            p.drawPolygon(polygon);
            break;
        }
        case icons::ShapeKind::Path:
            p.drawPath(toPath(shape.steps));
            break;
        case icons::ShapeKind::Ellipse:
            p.drawEllipse(QPointF(shape.centre.x, shape.centre.y), shape.radiusX, shape.radiusY);
            break;
        case icons::ShapeKind::Eyes:
            for (const qreal x : {shape.centre.x, icons::kGridSize - shape.centre.x})
                p.drawEllipse(QPointF(x, shape.centre.y), look.eyeRadius, look.eyeRadius);
            break;
        }
    }

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
        if (!save(drawDog(icons::kWindowLook, sizePx), theme.filePath(apps + QStringLiteral("/ovin.png"))))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--theme") == 0)
        return drawTheme(QDir(QString::fromLocal8Bit(argv[2])));

    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OVIN_IMAGES_DIR));
    int failures = 0;
    for (const icons::Look& look : {icons::kIdleLook, icons::kBusyLook, icons::kWarningLook, icons::kWindowLook}) {
        const QString file = QString::fromLatin1(look.name) + QStringLiteral(".png");
        if (!save(drawDog(look), folder.filePath(file)))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
