#include "core/profile.h"
#include "core/recent_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tallyrig::testing {
namespace {

using Slots = std::vector<std::string>;

class RecentFiles : public ::testing::Test {
protected:
    std::filesystem::path settings() const { return folder.path() / "TALLYRIG.ini"; }
    void start_with(const Slots& slots) {
        std::string text = "[Message Section]\r\nMessage_Field_1=Fetch %a\r\n[Recent Files]\r\n";
        for (std::size_t i = 0; i < slots.size(); ++i) {
            text += "RecentFile" + std::to_string(i + 1) + "=" + slots[i] + "\r\n";
        }
        write_file(settings(), text);
    }
    Slots slots() const {
        ProfileDocument document = ProfileDocument::load(settings()).value();
        Slots out;
        for (int i = 1; i <= kRecentFileCount; ++i) {
            out.push_back(document.value(kRecentFilesSection, "RecentFile" + std::to_string(i))
                              .value_or("?"));
        }
        return out;
    }

    TempFolder folder;
};

// The path keeps its case: on this file system another case names another file.
TEST_F(RecentFiles, AMissingFileGainsTheFirstEntryAsChosen) {
    ASSERT_TRUE(add_recent_file(settings(), "/p/One.prj"));
    EXPECT_EQ(slots(), (Slots{"/p/One.prj", "Not Used", "Not Used", "Not Used"}));
    EXPECT_EQ(read_recent_files(settings()), (Slots{"/p/One.prj"}));
}

struct AddCase {
    const char* name;
    Slots before;
    std::string added;
    Slots after;
};

class RecentFileAdds : public RecentFiles, public ::testing::WithParamInterface<AddCase> {};

TEST_P(RecentFileAdds, MoveTheListDown) {
    start_with(GetParam().before);
    ASSERT_TRUE(add_recent_file(settings(), GetParam().added));
    EXPECT_EQ(slots(), GetParam().after);
    // Only the list changed.
    EXPECT_NE(read_file(settings()).find("[Message Section]\r\nMessage_Field_1=Fetch %a\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentFileAdds,
    ::testing::Values(
        AddCase{"AnEntryAlreadyListedLeavesItsSlotUnused",
                {"A", "B", "C", "D"},
                "b",
                {"b", "A", "Not Used", "C"}},
        AddCase{"TheFirstEntryAgainStaysFirstOnce",
                {"/P/ONE.PRJ", "/P/TWO.PRJ", "/P/THREE.PRJ", "Not Used"},
                "/p/One.prj",
                {"/p/One.prj", "Not Used", "/P/TWO.PRJ", "/P/THREE.PRJ"}},
        AddCase{"AnEmptySlotMovesNothing", {"A", "", "C", "D"}, "E", {"E", "A", "Not Used", "C"}},
        AddCase{"MissingKeysReadAsNotUsed", {"A"}, "E", {"E", "A", "Not Used", "Not Used"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecentFiles, FivePathsLeaveTheLastFourNewestFirst) {
    for (const char* path : {"/a.prj", "/b.prj", "/c.prj", "/d.prj", "/e.prj"}) {
        ASSERT_TRUE(add_recent_file(settings(), path));
    }
    EXPECT_EQ(read_recent_files(settings()), (Slots{"/e.prj", "/d.prj", "/c.prj", "/b.prj"}));
}

TEST_F(RecentFiles, ReadingSkipsSlotsNotInUse) {
    start_with({"Not Used", "/X.PRJ", "", "Not Used (spare)"});
    EXPECT_EQ(read_recent_files(settings()), (Slots{"/X.PRJ"}));
}

TEST_F(RecentFiles, ADamagedSettingsFileIsNeitherReadNorReplaced) {
    // Far larger than any settings file: it reads as empty and stays as it is.
    const std::string damaged(5u << 20, 'x');
    write_file(settings(), damaged);
    EXPECT_TRUE(read_recent_files(settings()).empty());
    EXPECT_FALSE(add_recent_file(settings(), "/new.prj"));
    EXPECT_EQ(read_file(settings()), damaged);
}

} // namespace
} // namespace tallyrig::testing
