#include "core/ram_image.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tallyrig {
namespace {

const char* const kHeader = "Tallyrig RAM image,prog.asm,v1,2026,x,START $4000,END $4005,DATA\n";

class RamImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        cells.resize(kCellCount);
        for (int32_t a = 0; a < kCellCount; ++a) {
            cells[a].address = a;
            cells[a].value = kUndefinedValue;
        }
    }

    RamImageResult load(const std::string& text) {
        testing::write_file(path, text);
        return read_ram_image(path, cells);
    }
    std::vector<int32_t> values(int32_t from, int32_t count) const {
        std::vector<int32_t> out;
        for (int32_t a = from; a < from + count; ++a) {
            out.push_back(cells[a].value);
        }
        return out;
    }

    MemoryCells cells;
    testing::TempFolder folder;
    const std::filesystem::path path = folder.file("prog.ram");
};

TEST_F(RamImageTest, StoresBytesFromTheLoadAddressAcrossLines) {
    const auto r = load(std::string(kHeader) + "4000: 3E 01 C3 --\r\n4003: 0A FF --\r\n");
    ASSERT_TRUE(r.ok) << r.problem;
    EXPECT_EQ(r.load_address, 0x4000);
    EXPECT_EQ(r.end_address, 0x4005);
    EXPECT_EQ(r.bytes_stored, 5);
    EXPECT_EQ(values(0x4000, 6), (std::vector<int32_t>{0x3E, 0x01, 0xC3, 0x0A, 0xFF, 256}));
}

TEST_F(RamImageTest, LoadAddressIsTheLastFourCharactersOfItemSix) {
    const auto r = load("a,b,c,d,e,$0100,$0101,f\n0100: 12 34 --\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.load_address, 0x100);
    EXPECT_EQ(values(0x100, 2), (std::vector<int32_t>{0x12, 0x34}));
}

// Headers written by hand give fewer digits; the item still ends in its address.
TEST_F(RamImageTest, ALoadAddressOfFewerDigitsLoadsThere) {
    const std::pair<const char*, int32_t> cases[] = {
        {"LOAD ADDRESS:100", 0x100}, {"$400", 0x400},
        {"LOAD ADDRESS: 7", 0x7},    {"ABC", 0xABC},
        {"start=$4a", 0x4A},         {"LOAD ADDRESS:12345", 0x2345},
    };
    for (const auto& [item, address] : cases) {
        const auto r = load(std::string("a,b,c,d,e,") + item + ",END,f\n0000: 12 34 --\n");
        ASSERT_TRUE(r.ok) << item << ": " << r.problem;
        EXPECT_EQ(r.load_address, address) << item;
        EXPECT_EQ(values(address, 2), (std::vector<int32_t>{0x12, 0x34})) << item;
    }
}

TEST_F(RamImageTest, FieldsMissingFromALineWithoutEndMarkStoreZeros) {
    const auto r = load(std::string(kHeader) + "4000: \n4010: 7F --\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bytes_stored, 17);
    EXPECT_EQ(values(0x4000, 16), std::vector<int32_t>(16, 0));
    EXPECT_EQ(cells[0x4010].value, 0x7F);
}

TEST_F(RamImageTest, LastLineOfOnlyThePrefixStoresZeros) {
    for (const char* tail : {"4000: ", "4000: \n", "4000: \r\n", "4000: \n  \n\t\r\n\n"}) {
        for (int32_t a = 0x4000; a < 0x4010; ++a) {
            cells[a].value = kUndefinedValue;
        }
        const auto r = load(std::string(kHeader) + tail);
        ASSERT_TRUE(r.ok) << r.problem;
        EXPECT_EQ(r.bytes_stored, 16) << tail;
        EXPECT_EQ(values(0x4000, 16), std::vector<int32_t>(16, 0)) << tail;
    }
}

TEST_F(RamImageTest, OnlyValuesChange) {
    cells[0x4000].breakpoint = kBreakpointSet;
    cells[0x4000].marker = kMarkerCurrent;
    cells[0x4000].count_primary = 9;
    ASSERT_TRUE(load(std::string(kHeader) + "4000: 55 --\n").ok);
    EXPECT_EQ(cells[0x4000].value, 0x55);
    EXPECT_EQ(cells[0x4000].breakpoint, kBreakpointSet);
    EXPECT_EQ(cells[0x4000].marker, kMarkerCurrent);
    EXPECT_EQ(cells[0x4000].count_primary, 9);
}

struct DamagedCase {
    const char* name;
    std::string text;
    std::string problem_part;
    int32_t bytes_stored;
};

class DamagedRamImageTest : public RamImageTest,
                            public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedRamImageTest, StopsWithAProblemAndKeepsStoredBytes) {
    const auto r = load(GetParam().text);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.problem.find(GetParam().problem_part), std::string::npos) << r.problem;
    EXPECT_EQ(r.bytes_stored, GetParam().bytes_stored);
    if (r.bytes_stored > 0) {
        EXPECT_EQ(cells[r.load_address].value, 0x11);
    } else {
        EXPECT_EQ(values(0, kCellCount), std::vector<int32_t>(kCellCount, kUndefinedValue));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedRamImageTest,
    ::testing::Values(
        DamagedCase{"Empty", "", "header", 0},
        DamagedCase{"HeaderCut", "a,b,c,d,e,$4000\n", "header", 0},
        DamagedCase{"LoadAddressNotHex", "a,b,c,d,e,LOAD ADDRESS: $ZZZZ,$0000,f\n4000: 11 --\n",
                    "load address \"LOAD ADDRESS: $ZZZZ\"", 0},
        DamagedCase{"LoadAddressPartlyHex", "a,b,c,d,e,$40G0,$0000,f\n4000: 11 --\n",
                    "four hexadecimal digits", 0},
        DamagedCase{"LoadAddressEndsAWord", "a,b,c,d,e,LOAD AT X12,$0000,f\n4000: 11 --\n",
                    "four hexadecimal digits", 0},
        DamagedCase{"LoadAddressMissing", "a,b,c,d,e,LOAD ADDRESS:,$0000,f\n4000: 11 --\n",
                    "four hexadecimal digits", 0},
        DamagedCase{"LoadAddressEmpty", "a,b,c,d,e,,$0000,f\n4000: 11 --\n",
                    "four hexadecimal digits", 0},
        DamagedCase{"LoadAddressFollowedByBlanks", "a,b,c,d,e,$4000  ,$0000,f\n4000: 11 --\n",
                    "four hexadecimal digits", 0},
        DamagedCase{"ShortLine", std::string(kHeader) + "4000: 11 --\n40\n4001: 22 --\n", "line 2",
                    1},
        DamagedCase{"PastLastCell", "a,b,c,d,e,$FFFF,$0000,f\nFFFF: 11 22 33 --\n",
                    "past the last memory cell", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RamImageTest, FarTooLargeFileIsRefusedUnread) {
    testing::write_file(path, std::string(kHeader) + "4000: 11 --\n");
    std::filesystem::resize_file(path, kRamImageMaxBytes + 1);
    const auto r = read_ram_image(path, cells);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.problem.find("too large"), std::string::npos);
    EXPECT_EQ(cells[0x4000].value, kUndefinedValue);
}

TEST_F(RamImageTest, MissingFileIsAProblem) {
    const auto r = read_ram_image(folder.file("missing.ram"), cells);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.problem.empty());
}

// The older layout: decimal addresses in the last four characters of items 6 and 7, the data
// mark in item 8, then one decimal byte per item from start to end.
struct OldImageCase {
    const char* name;
    std::string text;
    bool ok;
    const char* problem_part;    // empty when ok
    std::vector<int32_t> stored; // values from address 100 on
};

class OldRamImageTest : public RamImageTest, public ::testing::WithParamInterface<OldImageCase> {};

TEST_P(OldRamImageTest, LoadsDecimalBytesFromStartToEnd) {
    testing::write_file(path, GetParam().text);
    const auto r = read_old_ram_image(path, cells);
    EXPECT_EQ(r.ok, GetParam().ok) << r.problem;
    EXPECT_NE(r.problem.find(GetParam().problem_part), std::string::npos) << r.problem;
    EXPECT_EQ(r.mark_missing, std::string(GetParam().name) == "NoDataMark");
    const auto& stored = GetParam().stored;
    EXPECT_EQ(values(100, static_cast<int32_t>(stored.size()) + 1), [&] {
        auto expected = stored;
        expected.push_back(kUndefinedValue);
        return expected;
    }()) << GetParam().name;
    EXPECT_EQ(r.bytes_stored, static_cast<int32_t>(stored.size()));
}

const std::string kOldHeader = "OLD IMAGE,x,y,z,w,START  100,END  102,START OF DATA\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, OldRamImageTest,
    ::testing::Values(
        OldImageCase{"ThreeBytes", kOldHeader + " 62 ,1\n195\n", true, "", {62, 1, 195}},
        OldImageCase{
            "NoDataMark", "a,b,c,d,e,f 100,g 102,DATA\n1,2,3\n", false, "START OF DATA", {}},
        OldImageCase{"EndsEarly", kOldHeader + "7,8\n", false, "ends before", {7, 8}},
        OldImageCase{"NotAByte", kOldHeader + "7,300,9\n", false, "not a byte", {7}},
        OldImageCase{
            "NegativeStart", "a,b,c,d,e,f -10,g 102,START OF DATA\n1\n", false, "outside", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallyrig
