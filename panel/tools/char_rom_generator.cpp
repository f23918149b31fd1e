// Draws the character ROM picture: 512 glyphs of 10 by 15 pixels, 64 to a row, codes 0..255 in
// normal video (light dots on black) and the same codes again in inverse video. Written as PNG
// content under the name given on the command line.
#include "panel/char_rom.h"
#include "panel/tools/glyph_font.h"

#include <QImage>
#include <cstdio>

namespace tallyrig {
namespace {

constexpr QRgb kDot = qRgb(255, 255, 255);
constexpr QRgb kPaper = qRgb(0, 0, 0);

// Where the 5 by 7 dots sit in a cell: each dot one pixel wide and two high.
constexpr int kFontLeft = 2;
constexpr int kFontTop = 1;
constexpr int kDotHeight = 2;

using Cell = std::array<std::array<bool, kGlyphWidth>, kGlyphHeight>;

Cell font_cell(int code) {
    Cell cell{};
    const auto rows = font_glyph(code);
    for (int r = 0; r < kFontRows; ++r) {
        for (int c = 0; c < kFontColumns; ++c) {
            if (!(rows[static_cast<std::size_t>(r)] & (1 << (kFontColumns - 1 - c))))
                continue;
            for (int dy = 0; dy < kDotHeight; ++dy) {
                cell[static_cast<std::size_t>(kFontTop + r * kDotHeight + dy)]
                    [static_cast<std::size_t>(kFontLeft + c)] = true;
            }
        }
    }
    return cell;
}

// Codes below the blank: a small hollow box, so a stored control code still shows.
Cell control_cell() {
    Cell cell{};
    const int right = kFontLeft + kFontColumns - 1;
    const int bottom = kFontTop + kFontRows * kDotHeight - 1;
    for (int y = kFontTop; y <= bottom; ++y) {
        for (int x = kFontLeft; x <= right; ++x) {
            const bool edge = y == kFontTop || y == bottom || x == kFontLeft || x == right;
            cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = edge;
        }
    }
    return cell;
}

Cell checker_cell() {
    Cell cell{};
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = (x + y) % 2 == 0;
        }
    }
    return cell;
}

// 128..191: block mosaics, two columns by three rows of blocks, bit 0 the top left block.
Cell mosaic_cell(int pattern) {
    Cell cell{};
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            const int block = (y / 5) * 2 + (x / 5);
            cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = (pattern >> block) & 1;
        }
    }
    return cell;
}

// 192..255: sixteen steps each of bars rising from the bottom, bars growing from the left,
// horizontal lines and vertical lines, for simple charts.
Cell bar_cell(int k) {
    Cell cell{};
    const int step = k % 16;
    const int kind = k / 16;
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            bool lit = false;
            switch (kind) {
            case 0:
                lit = kGlyphHeight - 1 - y < (step + 1) * kGlyphHeight / 16;
                break;
            case 1:
                lit = x < (step + 1) * kGlyphWidth / 16;
                break;
            case 2:
                lit = y == step * kGlyphHeight / 16;
                break;
            default:
                lit = x == step * kGlyphWidth / 16;
                break;
            }
            cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = lit;
        }
    }
    return cell;
}

Cell glyph_cell(int code) {
    if (code < kFirstFontCode)
        return control_cell();
    if (code <= kLastFontCode)
        return font_cell(code);
    if (code == 127)
        return checker_cell();
    if (code < 192)
        return mosaic_cell(code - 128);
    return bar_cell(code - 192);
}

QImage draw_char_rom() {
    QImage picture(kGlyphColumns * kGlyphWidth, (kGlyphCount / kGlyphColumns) * kGlyphHeight,
                   QImage::Format_RGB32);
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        const bool inverse = glyph >= kInverseGlyphOffset;
        const Cell cell = glyph_cell(glyph % kInverseGlyphOffset);
        for (int y = 0; y < kGlyphHeight; ++y) {
            for (int x = 0; x < kGlyphWidth; ++x) {
                const bool lit = cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                picture.setPixel(glyph_x(glyph) + x, glyph_y(glyph) + y,
                                 lit != inverse ? kDot : kPaper);
            }
        }
    }
    return picture;
}

} // namespace
} // namespace tallyrig

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: char_rom_generator <output file>\n");
        return 2;
    }
    if (!tallyrig::draw_char_rom().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "char_rom_generator: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
