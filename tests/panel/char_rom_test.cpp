#include "panel/char_rom.h"
#include "tests/panel/panel_fixture.h"

#include <string_view>

namespace tallyrig::testing {
namespace {

const std::filesystem::path kStagedRom = kStagedConfig / "default.cro";

TEST(CharRom, MissingPictureIsReportedWithItsPath) {
    TempInstall root;
    RecordingUserInterface ui;
    CharRomPaths paths;
    EXPECT_FALSE(init_char_rom(root.folders, paths, ui));
    const std::string expected_path = (root.folders.config_folder / "default.cro").string();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "I am unable to find the default character ROM at the following location" +
                  expected_path);
    EXPECT_EQ(ui.boxes[0].title, "Init Character ROM");
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::None);
    EXPECT_EQ(ui.boxes[0].buttons, MessageButtons::Ok);
}

TEST(CharRom, PresentPictureSetsBothPaths) {
    TempInstall root{"default.cro"};
    RecordingUserInterface ui;
    CharRomPaths paths;
    EXPECT_TRUE(init_char_rom(root.folders, paths, ui));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(paths.default_char_rom_path, root.folders.config_folder / "default.cro");
    EXPECT_EQ(paths.char_rom_path, paths.default_char_rom_path);
}

TEST(CharRom, StagedPictureHoldsEveryGlyphInBothVideos) {
    const QImage rom = load_char_rom(kStagedRom);
    ASSERT_FALSE(rom.isNull());
    EXPECT_EQ(rom.width(), 640);
    EXPECT_EQ(rom.height(), 120);
    for (int code = 0; code < 256; ++code) {
        int lit = 0;
        for (int y = 0; y < kGlyphHeight; ++y) {
            for (int x = 0; x < kGlyphWidth; ++x) {
                const bool normal = qGray(rom.pixel(glyph_x(code) + x, glyph_y(code) + y)) > 127;
                const int inverse_glyph = code + kInverseGlyphOffset;
                const bool inverse =
                    qGray(rom.pixel(glyph_x(inverse_glyph) + x, glyph_y(inverse_glyph) + y)) > 127;
                ASSERT_NE(normal, inverse) << code << " at " << x << "," << y;
                lit += normal ? 1 : 0;
            }
        }
        if (code == 32) {
            EXPECT_EQ(lit, 0);
        } else if (code > 32 && code < 127) {
            EXPECT_GT(lit, 0) << code;
        }
    }
}

bool lit(const QImage& rom, int code, int x, int y) {
    return qGray(rom.pixel(glyph_x(code) + x, glyph_y(code) + y)) > 127;
}

int lowest_lit_row(const QImage& rom, int code) {
    for (int y = kGlyphHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            if (lit(rom, code, x, y))
                return y;
        }
    }
    return -1;
}

// The terminal repeats a cell's first column and row and covers its last ones with the next
// cell, so text reads only if the glyphs leave those blank, draw stems at least two pixels wide
// and hang descenders below the baseline.
TEST(CharRom, StagedGlyphsReadAsText) {
    const QImage rom = load_char_rom(kStagedRom);
    ASSERT_FALSE(rom.isNull());
    for (int code = 33; code < 127; ++code) {
        for (int i = 0; i < kGlyphWidth; ++i) {
            EXPECT_FALSE(lit(rom, code, i, 0)) << char(code) << " top row";
            EXPECT_FALSE(lit(rom, code, i, kGlyphHeight - 1)) << char(code) << " bottom row";
        }
        for (int y = 0; y < kGlyphHeight; ++y) {
            EXPECT_FALSE(lit(rom, code, 0, y)) << char(code) << " first column";
            EXPECT_FALSE(lit(rom, code, kGlyphWidth - 1, y)) << char(code) << " last column";
        }
    }
    for (const char stemmed : std::string_view("0123456789EFHILTbdhlnu|")) {
        for (int y = 0; y < kGlyphHeight; ++y) {
            int run = 0;
            for (int x = 0; x <= kGlyphWidth; ++x) {
                if (x < kGlyphWidth && lit(rom, stemmed, x, y)) {
                    ++run;
                    continue;
                }
                EXPECT_NE(run, 1) << stemmed << " has a one-pixel stroke in row " << y;
                run = 0;
            }
        }
    }
    const int baseline = lowest_lit_row(rom, 'x');
    EXPECT_EQ(lowest_lit_row(rom, 'H'), baseline);
    EXPECT_EQ(lowest_lit_row(rom, '0'), baseline);
    for (const char descending : std::string_view("gjpqy,;")) {
        EXPECT_GE(lowest_lit_row(rom, descending), baseline + 2) << descending;
    }
}

TEST(CharRom, PictureIsReadByContentNotByName) {
    TempInstall root;
    const auto renamed = root.folders.config_folder / "glyphs.bin";
    std::filesystem::copy_file(kStagedRom, renamed);
    EXPECT_FALSE(load_char_rom(renamed).isNull());
    const auto text = root.folders.config_folder / "not_a_picture.cro";
    write_file(text, "just text");
    EXPECT_TRUE(load_char_rom(text).isNull());
    QImage small(64, 15, QImage::Format_RGB32);
    small.fill(Qt::black);
    const auto tiny = root.folders.config_folder / "tiny.cro";
    ASSERT_TRUE(small.save(QString::fromStdString(tiny.string()), "PNG"));
    EXPECT_TRUE(load_char_rom(tiny).isNull());
}

} // namespace
} // namespace tallyrig::testing
