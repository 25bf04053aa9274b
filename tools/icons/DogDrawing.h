#pragma once

// The program's pictures, described once for every tool that draws them: a dog's head with a red neckerchief on
// a 32 x 32 grid, as an ordered list of shapes (filled polygons, stroked Bezier paths, ellipses). Each drawer
// only maps the shapes onto its own painting calls, so the Linux images and the Windows icons cannot drift apart.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace ovin::icons {

/// The grid every coordinate below is laid out on; drawers scale it to the image size.
constexpr double kGridSize = 32.0;

struct Point {
    double x;
    double y;
};

struct Rgb {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};

enum class StepKind { MoveTo, LineTo, QuadTo, CubicTo };

/// One step of a path: the control points come first, the end point last (one point for MoveTo and LineTo, two
/// for QuadTo, three for CubicTo).
struct PathStep {
    StepKind kind;
    Point points[3];
};

/// Which colour of the look a pen or brush takes.
enum class Paint { None, Line, Eyes, Neckerchief, NeckerchiefEdge, Warning, WarningEdge };

enum class ShapeKind { Polygon, Path, Ellipse, Eyes };

/// One shape in painting order. Polygon and Path use `steps`; Ellipse uses `centre` and the radii; Eyes draws the
/// two eyes at `centre` and its mirror image with the look's own eye radius.
struct Shape {
    ShapeKind kind;
    Paint pen;
    double penWidth;
    Paint brush;
    std::vector<PathStep> steps;
    Point centre{};
    double radiusX = 0.0;
    double radiusY = 0.0;
};

/// How one picture differs from the others.
struct Look {
    const char* name;
    Rgb line;
    Rgb eyes;
    double eyeRadius;
    /// A warning triangle over the bottom right corner: the router keeps failing.
    bool warningMark = false;
};

constexpr Rgb kGrey{96, 96, 96};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kNeckerchief{220, 20, 20};
constexpr Rgb kNeckerchiefEdge{140, 0, 0};
constexpr Rgb kWarning{255, 204, 0};
constexpr Rgb kWarningEdge{40, 28, 0};

constexpr Look kIdleLook{"idle", kGrey, kGrey, 1.2};
// Bigger eyes so that the red reads at tray size.
constexpr Look kBusyLook{"busy", kGrey, kRed, 1.7};
constexpr Look kWindowLook{"window", kBlack, kBlack, 1.2};
constexpr Look kWarningLook{"warning", kGrey, kGrey, 1.2, true};

inline Rgb colourOf(Paint paint, const Look& look)
{
    switch (paint) {
    case Paint::Line:
        return look.line;
    case Paint::Eyes:
        return look.eyes;
    case Paint::Neckerchief:
        return kNeckerchief;
    case Paint::NeckerchiefEdge:
        return kNeckerchiefEdge;
    case Paint::Warning:
        return kWarning;
    case Paint::WarningEdge:
        return kWarningEdge;
    case Paint::None:
        break;
    }
    return look.line;
}

/// A pen's width on the grid at the given scale: scaled down to 16 pixels a line would go thinner than a pixel
/// and fade, so it keeps one pixel at least.
inline double penWidthAt(double gridWidth, double scale) { return std::max(gridWidth, 1.0 / scale); }

/// Mirrors steps about the head's centre line (x 16).
inline std::vector<PathStep> mirrored(std::span<const PathStep> steps)
{
    std::vector<PathStep> out(steps.begin(), steps.end());
    for (PathStep& step : out) {
        for (Point& p : step.points)
            p.x = kGridSize - p.x;
    }
    return out;
}

inline std::vector<Shape> dogShapes()
{
    constexpr double kLineWidth = 1.5;
    constexpr double kThinWidth = 1.0;
    using K = StepKind;
    const std::vector<PathStep> leftEar{
        {K::MoveTo, {{10.0, 5.5}}},
        {K::CubicTo, {{6.0, 5.0}, {2.5, 9.0}, {3.0, 15.5}}},
        {K::CubicTo, {{3.3, 18.5}, {6.5, 18.5}, {8.0, 15.0}}},
    };
    std::vector<Shape> shapes;
    // The neckerchief goes first so that the chin's line stays on top of its knot.
    shapes.push_back({ShapeKind::Polygon,
                      Paint::NeckerchiefEdge,
                      kThinWidth,
                      Paint::Neckerchief,
                      {{K::MoveTo, {{8.5, 21.5}}}, {K::LineTo, {{23.5, 21.5}}}, {K::LineTo, {{16.0, 30.5}}}}});
    shapes.push_back(
        {ShapeKind::Ellipse, Paint::NeckerchiefEdge, kThinWidth, Paint::Neckerchief, {}, {16.0, 22.5}, 2.2, 1.6});
    // Skull and cheeks: broad at the brow, narrowing to the jaw.
    shapes.push_back({ShapeKind::Path,
                      Paint::Line,
                      kLineWidth,
                      Paint::None,
                      {
                          {K::MoveTo, {{10.0, 5.5}}},
                          {K::CubicTo, {{12.5, 3.5}, {19.5, 3.5}, {22.0, 5.5}}},
                          {K::CubicTo, {{24.5, 8.0}, {24.5, 14.0}, {22.5, 17.5}}},
                          {K::CubicTo, {{21.0, 20.5}, {18.5, 21.5}, {16.0, 21.5}}},
                          {K::CubicTo, {{13.5, 21.5}, {11.0, 20.5}, {9.5, 17.5}}},
                          {K::CubicTo, {{7.5, 14.0}, {7.5, 8.0}, {10.0, 5.5}}},
                      }});
    shapes.push_back({ShapeKind::Path, Paint::Line, kLineWidth, Paint::None, leftEar});
    shapes.push_back({ShapeKind::Path, Paint::Line, kLineWidth, Paint::None, mirrored(leftEar)});
    // Muzzle: a rounded snout below the eyes with the mouth under the nose.
    shapes.push_back({ShapeKind::Path,
                      Paint::Line,
                      kLineWidth,
                      Paint::None,
                      {
                          {K::MoveTo, {{12.0, 14.0}}},
                          {K::CubicTo, {{11.0, 17.5}, {13.0, 20.0}, {16.0, 20.0}}},
                          {K::CubicTo, {{19.0, 20.0}, {21.0, 17.5}, {20.0, 14.0}}},
                      }});
    shapes.push_back({ShapeKind::Path,
                      Paint::Line,
                      kThinWidth,
                      Paint::None,
                      {
                          {K::MoveTo, {{16.0, 16.5}}},
                          {K::LineTo, {{16.0, 18.0}}},
                          {K::MoveTo, {{14.0, 18.5}}},
                          {K::QuadTo, {{16.0, 19.5}, {18.0, 18.5}}},
                      }});
    shapes.push_back({ShapeKind::Ellipse, Paint::None, 0.0, Paint::Line, {}, {16.0, 15.0}, 2.2, 1.5});
    shapes.push_back({ShapeKind::Eyes, Paint::None, 0.0, Paint::Eyes, {}, {12.8, 10.5}});
    return shapes;
}

/// The warning triangle with its exclamation mark, big enough to read at the tray's 16 pixels; the corners stay
/// transparent like the other pictures'.
inline std::vector<Shape> warningShapes()
{
    using K = StepKind;
    std::vector<Shape> shapes;
    shapes.push_back({ShapeKind::Polygon,
                      Paint::WarningEdge,
                      1.2,
                      Paint::Warning,
                      {{K::MoveTo, {{24.0, 14.5}}}, {K::LineTo, {{31.0, 28.0}}}, {K::LineTo, {{17.0, 28.0}}}}});
    shapes.push_back({ShapeKind::Path,
                      Paint::WarningEdge,
                      2.2,
                      Paint::None,
                      {{K::MoveTo, {{24.0, 18.5}}}, {K::LineTo, {{24.0, 23.0}}}}});
    shapes.push_back({ShapeKind::Ellipse, Paint::None, 0.0, Paint::WarningEdge, {}, {24.0, 25.7}, 1.1, 1.1});
    return shapes;
}

/// Everything a look paints, in painting order.
inline std::vector<Shape> shapesOf(const Look& look)
{
    std::vector<Shape> shapes = dogShapes();
    if (look.warningMark) {
        const std::vector<Shape> mark = warningShapes();
        shapes.insert(shapes.end(), mark.begin(), mark.end());
    }
    return shapes;
}

}  // namespace ovin::icons
