// Draws the program's Windows icons with GDI, from the same description as the Linux pictures:
//
//     draw_icons_win folder
//
// writes window.ico (the window's icon), idle.ico, busy.ico and warning.ico (the notification icon's three
// images). Each file holds the 32 x 32 picture in 256 colours with a transparency mask, and the picture in true
// colour with an alpha channel at the sizes that taskbars, title bars and the notification area ask for between
// 100 % and 200 % display scaling, so the shell never has to blow a small image up.
//
// GDI draws without anti-aliasing, so each picture is drawn eight times larger and every pixel then takes the
// average of its 64 sub-pixels: the colour of the covered ones, and their share as the pixel's opacity.

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "DogDrawing.h"
#include "shell/win32/SelectedObject.h"
#include "shell/win32/UniqueHandle.h"

namespace {

namespace icons = ovin::icons;
using namespace ovin::win32;

constexpr int kSupersample = 8;
constexpr int kPaletteIconSizePx = 32;
constexpr int kTrueColourSizesPx[] = {16, 20, 24, 32, 40, 48, 64};
// Never drawn by the picture, so it marks the sub-pixels that stay transparent.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

/// A picture of sizePx x sizePx pixels, rows top to bottom, with straight (not premultiplied) alpha.
struct Picture {
    int sizePx = 0;
    std::vector<std::uint8_t> bgra;
};

COLORREF colorRef(icons::Rgb rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

class Canvas {
public:
    explicit Canvas(int sizePx) : m_sizePx(sizePx * kSupersample), m_scale(double(m_sizePx) / icons::kGridSize)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = m_sizePx;
        info.bmiHeader.biHeight = -m_sizePx;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc.reset(CreateCompatibleDC(nullptr));
        void* bits = nullptr;
        m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<std::uint32_t*>(bits);
    }

    bool valid() const { return m_bits != nullptr; }

    Picture draw(const icons::Look& look, int sizePx)
    {
        SelectedObject bitmap(m_dc.get(), m_bitmap.get());
        const BrushHandle key(CreateSolidBrush(kKeyColour));
        const RECT all{0, 0, m_sizePx, m_sizePx};
        FillRect(m_dc.get(), &all, key.get());
        const double pictureScale = double(sizePx) / icons::kGridSize;
        for (const icons::Shape& shape : icons::shapesOf(look))
            drawShape(shape, look, pictureScale);
        GdiFlush();
        return downsample(sizePx);
    }

private:
    POINT at(icons::Point p) const { return {std::lround(p.x * m_scale), std::lround(p.y * m_scale)}; }

    void tracePath(const std::vector<icons::PathStep>& steps)
    {
        POINT current{};
        for (const icons::PathStep& step : steps) {
            switch (step.kind) {
            case icons::StepKind::MoveTo:
                current = at(step.points[0]);
                MoveToEx(m_dc.get(), current.x, current.y, nullptr);
                break;
            case icons::StepKind::LineTo:
                current = at(step.points[0]);
                LineTo(m_dc.get(), current.x, current.y);
                break;
            case icons::StepKind::QuadTo: {
                // GDI has cubic curves only; a quadratic one is the cubic with its control points two thirds of
                // the way from each end to the quadratic's control point.
                const POINT c = at(step.points[0]);
                const POINT end = at(step.points[1]);
                const POINT cubic[3] = {
                    {current.x + 2 * (c.x - current.x) / 3, current.y + 2 * (c.y - current.y) / 3},
                    {end.x + 2 * (c.x - end.x) / 3, end.y + 2 * (c.y - end.y) / 3},
                    end,
                };
                PolyBezierTo(m_dc.get(), cubic, 3);
                current = end;
                break;
            }
            case icons::StepKind::CubicTo: {
                const POINT cubic[3] = {at(step.points[0]), at(step.points[1]), at(step.points[2])};
                PolyBezierTo(m_dc.get(), cubic, 3);
                current = cubic[2];
                break;
            }
            }
        }
    }

    void ellipse(icons::Point centre, double rx, double ry)
    {
        Ellipse(m_dc.get(), std::lround((centre.x - rx) * m_scale), std::lround((centre.y - ry) * m_scale),
                std::lround((centre.x + rx) * m_scale), std::lround((centre.y + ry) * m_scale));
    }

    void drawShape(const icons::Shape& shape, const icons::Look& look, double pictureScale)
    {
        PenHandle pen;
        if (shape.pen != icons::Paint::None) {
            const LOGBRUSH stroke{BS_SOLID, colorRef(icons::colourOf(shape.pen, look)), 0};
            const double widthPx = icons::penWidthAt(shape.penWidth, pictureScale) * m_scale;
            pen.reset(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                   static_cast<DWORD>(std::lround(widthPx)), &stroke, 0, nullptr));
        }
        BrushHandle brush;
        if (shape.brush != icons::Paint::None)
            brush.reset(CreateSolidBrush(colorRef(icons::colourOf(shape.brush, look))));
        SelectedObject penIn(m_dc.get(), pen ? static_cast<HGDIOBJ>(pen.get()) : GetStockObject(NULL_PEN));
        SelectedObject brushIn(m_dc.get(), brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));

        switch (shape.kind) {
        case icons::ShapeKind::Polygon: {
            std::vector<POINT> corners;
            for (const icons::PathStep& step : shape.steps)
                corners.push_back(at(step.points[0]));
            Polygon(m_dc.get(), corners.data(), static_cast<int>(corners.size()));
            break;
        }
        case icons::ShapeKind::Path:
            BeginPath(m_dc.get());
            tracePath(shape.steps);
            EndPath(m_dc.get());
            StrokePath(m_dc.get());
            break;
        case icons::ShapeKind::Ellipse:
            ellipse(shape.centre, shape.radiusX, shape.radiusY);
            break;
        case icons::ShapeKind::Eyes:
            ellipse(shape.centre, look.eyeRadius, look.eyeRadius);
            ellipse({icons::kGridSize - shape.centre.x, shape.centre.y}, look.eyeRadius, look.eyeRadius);
            break;
        }
    }

    Picture downsample(int sizePx) const
    {
        Picture picture{sizePx, std::vector<std::uint8_t>(size_t(sizePx) * sizePx * 4)};
        const std::uint32_t key = (GetRValue(kKeyColour) << 16) | (GetGValue(kKeyColour) << 8) | GetBValue(kKeyColour);
        for (int y = 0; y < sizePx; ++y) {
            for (int x = 0; x < sizePx; ++x) {
                unsigned covered = 0, b = 0, g = 0, r = 0;
                for (int sy = 0; sy < kSupersample; ++sy) {
                    const std::uint32_t* row = m_bits + size_t(y * kSupersample + sy) * m_sizePx + x * kSupersample;
                    for (int sx = 0; sx < kSupersample; ++sx) {
                        const std::uint32_t px = row[sx] & 0xFFFFFFu;
                        if (px == key)
                            continue;
                        ++covered;
                        b += px & 0xFF;
                        g += (px >> 8) & 0xFF;
                        r += (px >> 16) & 0xFF;
                    }
                }
                std::uint8_t* out = &picture.bgra[(size_t(y) * sizePx + x) * 4];
                if (covered > 0) {
                    out[0] = std::uint8_t(b / covered);
                    out[1] = std::uint8_t(g / covered);
                    out[2] = std::uint8_t(r / covered);
                    out[3] = std::uint8_t(covered * 255 / (kSupersample * kSupersample));
                }
            }
        }
        return picture;
    }

    int m_sizePx;
    double m_scale;
    MemoryDC m_dc;
    BitmapHandle m_bitmap;
    std::uint32_t* m_bits = nullptr;
};

void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

int rowBytes(int bits, int widthPx) { return ((bits * widthPx + 31) / 32) * 4; }

void putHeader(std::vector<std::uint8_t>& out, int sizePx, int bits, int paletteSize)
{
    const int imageBytes = (rowBytes(bits, sizePx) + rowBytes(1, sizePx)) * sizePx;
    put32(out, 40);
    put32(out, std::uint32_t(sizePx));
    put32(out, std::uint32_t(sizePx * 2));  // the colour image and the mask, stacked
    put16(out, 1);
    put16(out, unsigned(bits));
    put32(out, BI_RGB);
    put32(out, std::uint32_t(imageBytes));
    put32(out, 0);
    put32(out, 0);
    put32(out, std::uint32_t(paletteSize));
    put32(out, 0);
}

// An opaque pixel of the 256-colour image is one whose sub-pixels were at least half covered.
bool opaqueInPalette(const std::uint8_t* px) { return px[3] >= 128; }

void putMask(std::vector<std::uint8_t>& out, const Picture& picture, bool palette)
{
    const int stride = rowBytes(1, picture.sizePx);
    for (int y = picture.sizePx - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(size_t(stride), 0);
        for (int x = 0; x < picture.sizePx; ++x) {
            const std::uint8_t* px = &picture.bgra[(size_t(y) * picture.sizePx + x) * 4];
            const bool transparent = palette ? !opaqueInPalette(px) : px[3] == 0;
            if (transparent)
                row[size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

std::vector<std::uint8_t> trueColourImage(const Picture& picture)
{
    std::vector<std::uint8_t> out;
    putHeader(out, picture.sizePx, 32, 0);
    for (int y = picture.sizePx - 1; y >= 0; --y) {
        const auto row = picture.bgra.begin() + std::ptrdiff_t(y) * picture.sizePx * 4;
        out.insert(out.end(), row, row + picture.sizePx * 4);
    }
    putMask(out, picture, false);
    return out;
}

std::vector<std::uint8_t> paletteImage(const Picture& picture)
{
    // The colours of the opaque pixels, made coarser bit by bit until 256 entries hold them all (index 0 stays
    // black for the transparent pixels, which the mask hides anyway).
    std::map<std::uint32_t, std::uint8_t> index;
    int dropBits = 0;
    const auto reduce = [&dropBits](const std::uint8_t* px) {
        const std::uint32_t m = 0xFFu & ~((1u << dropBits) - 1u);
        return ((px[2] & m) << 16) | ((px[1] & m) << 8) | (px[0] & m);
    };
    for (;; ++dropBits) {
        index.clear();
        index[0] = 0;
        for (size_t i = 0; i < picture.bgra.size(); i += 4) {
            if (opaqueInPalette(&picture.bgra[i]))
                index.emplace(reduce(&picture.bgra[i]), 0);
        }
        if (index.size() <= 256)
            break;
    }
    std::uint8_t next = 0;
    for (auto& [colour, slot] : index)
        slot = next++;

    std::vector<std::uint8_t> out;
    putHeader(out, picture.sizePx, 8, 256);
    std::vector<std::uint8_t> palette(256 * 4, 0);
    for (const auto& [colour, slot] : index) {
        palette[slot * 4 + 0] = std::uint8_t(colour);
        palette[slot * 4 + 1] = std::uint8_t(colour >> 8);
        palette[slot * 4 + 2] = std::uint8_t(colour >> 16);
    }
    out.insert(out.end(), palette.begin(), palette.end());
    const int stride = rowBytes(8, picture.sizePx);
    for (int y = picture.sizePx - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(size_t(stride), 0);
        for (int x = 0; x < picture.sizePx; ++x) {
            const std::uint8_t* px = &picture.bgra[(size_t(y) * picture.sizePx + x) * 4];
            if (opaqueInPalette(px))
                row[size_t(x)] = index.at(reduce(px));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    putMask(out, picture, true);
    return out;
}

struct IconImage {
    int sizePx;
    int bits;
    std::vector<std::uint8_t> data;
};

bool writeIcon(const std::filesystem::path& path, const std::vector<IconImage>& images)
{
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);  // an icon, not a cursor
    put16(out, unsigned(images.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (const IconImage& image : images) {
        out.push_back(std::uint8_t(image.sizePx));
        out.push_back(std::uint8_t(image.sizePx));
        out.push_back(0);  // 256 colours and more are written as 0
        out.push_back(0);
        put16(out, 1);
        put16(out, unsigned(image.bits));
        put32(out, std::uint32_t(image.data.size()));
        put32(out, offset);
        offset += std::uint32_t(image.data.size());
    }
    for (const IconImage& image : images)
        out.insert(out.end(), image.data.begin(), image.data.end());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return bool(file.flush());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_icons_win folder\n");
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    int failures = 0;
    for (const icons::Look& look : {icons::kWindowLook, icons::kIdleLook, icons::kBusyLook, icons::kWarningLook}) {
        std::vector<IconImage> images;
        for (const int sizePx : kTrueColourSizesPx) {
            Canvas canvas(sizePx);
            if (!canvas.valid()) {
                std::fprintf(stderr, "draw_icons_win: no drawing surface of %d pixels\n", sizePx);
                return 1;
            }
            const Picture picture = canvas.draw(look, sizePx);
            if (sizePx == kPaletteIconSizePx)
                images.insert(images.begin(), {sizePx, 8, paletteImage(picture)});
            images.push_back({sizePx, 32, trueColourImage(picture)});
        }
        const std::filesystem::path file = folder / (std::string(look.name) + ".ico");
        if (!writeIcon(file, images)) {
            std::fprintf(stderr, "draw_icons_win: cannot write %s\n", file.string().c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
