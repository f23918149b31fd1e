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

using Cell = std::array<std::array<bool, kGlyphWidth>, kGlyphHeight>;

// Where each dot column and row of the font lies in a cell, and how big it is. The outer and
// middle columns are two pixels wide, so stems read bold; the terminal repeats a cell's first
// column and row, which stay blank and part letters and lines. The dots under the baseline fill
// the cell's lower rows, which nothing else uses.
constexpr std::array<int, kFontColumns> kColumnLeft = {1, 3, 4, 6, 7};
constexpr std::array<int, kFontColumns> kColumnWidth = {2, 1, 2, 1, 2};
constexpr std::array<int, kFontRows> kRowTop = {1, 3, 4, 5, 7, 8, 9, 11, 12};
constexpr std::array<int, kFontRows> kRowHeight = {2, 1, 1, 2, 1, 1, 2, 1, 2};
// The last column and row are covered by the next cell's stretched first ones.
static_assert(kColumnLeft.back() + kColumnWidth.back() < kGlyphWidth);
static_assert(kRowTop.back() + kRowHeight.back() < kGlyphHeight);
// The digits drawn pixel by pixel stand on the same baseline as the capitals.
static_assert(kRowTop.front() + kDigitHeight == kRowTop[kFontBaselineRows]);
static_assert(kColumnLeft.front() + kDigitWidth == kColumnLeft.back() + kColumnWidth.back());

void fill(Cell& cell, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            cell[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
        }
    }
}

Cell font_cell(int code) {
    Cell cell{};
    if (const auto digit = digit_glyph(code)) {
        for (int y = 0; y < kDigitHeight; ++y) {
            for (int x = 0; x < kDigitWidth; ++x) {
                if ((*digit)[static_cast<std::size_t>(y)] & (1 << (kDigitWidth - 1 - x)))
                    fill(cell, kColumnLeft.front() + x, kRowTop.front() + y, 1, 1);
            }
        }
        return cell;
    }
    const auto rows = font_glyph(code);
    for (std::size_t r = 0; r < kFontRows; ++r) {
        for (std::size_t c = 0; c < kFontColumns; ++c) {
            if (rows[r] & (1 << (kFontColumns - 1 - static_cast<int>(c))))
                fill(cell, kColumnLeft[c], kRowTop[r], kColumnWidth[c], kRowHeight[r]);
        }
    }
    return cell;
}

// Codes below the blank: a small hollow box the size of a capital, so a stored control code
// still shows.
Cell control_cell() {
    Cell cell{};
    const int left = kColumnLeft.front();
    const int right = kColumnLeft.back() + kColumnWidth.back() - 1;
    const int top = kRowTop.front();
    const int bottom = kRowTop[kFontBaselineRows - 1] + kRowHeight[kFontBaselineRows - 1] - 1;
    fill(cell, left, top, right - left + 1, 1);
    fill(cell, left, bottom, right - left + 1, 1);
    fill(cell, left, top, 1, bottom - top + 1);
    fill(cell, right, top, 1, bottom - top + 1);
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
