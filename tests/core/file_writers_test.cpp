// Every writer of a whole file the user keeps (settings, key files, projects, the processed dump)
// either writes it whole or leaves the old one as it was and says so: on a full disk, at any
// failing step, on a read-only file; and a link to the file stays a link.
#include "core/assembly_dump.h"
#include "core/profile.h"
#include "core/project_file.h"
#include "tests/support/full_disk.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace tallyrig::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOldText = "[A]\r\nk=old\r\n";

struct Writer {
    const char* name;
    std::function<bool(const fs::path& file, const WriteCalls& calls)> write;
};

const Writer kWriters[] = {
    {"SettingsValue",
     [](const fs::path& file, const WriteCalls& calls) {
         return write_profile_string(file, "A", "k", "new", calls);
     }},
    {"KeyFile",
     [](const fs::path& file, const WriteCalls& calls) {
         return ProfileDocument::parse("[A]\r\nk=new\r\n").save(file, calls);
     }},
    {"ProjectFile",
     [](const fs::path& file, const WriteCalls& calls) {
         return write_project_file(file, {ProjectWindow{"Memory", 1, 2, 3, 4}}, calls);
     }},
    {"ProcessedDump",
     [](const fs::path& file, const WriteCalls& calls) {
         TestMachine t;
         t.machine.files.rad_file_path = (file.parent_path() / "missing.rad").string();
         t.machine.files.pad_file_path = file.string();
         return write_pad_file(t.machine, calls).written;
     }},
};

void PrintTo(const Writer& writer, std::ostream* out) {
    *out << writer.name;
}

class FileWriters : public ::testing::TestWithParam<Writer> {
protected:
    void put_old(const fs::path& file) const { write_file(file, kOldText); }
};

TEST_P(FileWriters, AFailureAtAnyStepLeavesTheOldFileWhole) {
    for (const FailingStep step : kEveryFailingStep) {
        TempFolder folder;
        const fs::path file = folder.file("kept.ini");
        put_old(file);
        EXPECT_FALSE(GetParam().write(file, calls_failing_at(step))) << static_cast<int>(step);
        EXPECT_EQ(read_file(file), kOldText) << static_cast<int>(step);
        EXPECT_EQ(folder.entries(), 1u)
            << "no temporary file left at step " << static_cast<int>(step);
    }
}

TEST_P(FileWriters, AFullDiskLeavesTheOldFileWhole) {
    FullDisk disk;
    if (!disk.available()) {
        GTEST_SKIP() << "only root can mount a small file system";
    }
    const fs::path file = disk.path() / "kept.ini";
    put_old(file);
    disk.fill();
    EXPECT_FALSE(GetParam().write(file, {}));
    EXPECT_EQ(read_file(file), kOldText);
}

TEST_P(FileWriters, AReadOnlyFileIsRefusedAndStaysReadOnly) {
    TempFolder folder;
    const fs::path file = folder.file("kept.ini");
    put_old(file);
    const auto read_only = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(file, read_only);
    EXPECT_FALSE(GetParam().write(file, {}));
    EXPECT_EQ(read_file(file), kOldText);
    EXPECT_EQ(fs::status(file).permissions(), read_only);
}

TEST_P(FileWriters, ALinkIsWrittenThroughAndStaysALink) {
    TempFolder folder;
    fs::create_directory(folder.file("real"));
    const fs::path target = folder.file("real") / "kept.ini";
    put_old(target);
    const fs::path link = folder.file("link.ini");
    fs::create_symlink(fs::path("real") / "kept.ini", link);
    ASSERT_TRUE(GetParam().write(link, {}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(read_file(target), kOldText);
    EXPECT_EQ(read_file(link), read_file(target));
}

// A writable file in a folder that takes no new file (the user may not add to it) is written in
// place, as the desktop the system comes from would. Only root can hand the folder to another
// user, so the write runs in a child process as that user.
TEST(FileWriter, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give the folder to another user";
    }
    constexpr uid_t kNobody = 65534;
    TempFolder folder;
    fs::permissions(folder.path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    const fs::path locked = folder.file("locked");
    fs::create_directory(locked);
    const fs::path file = locked / "kept.ini";
    write_file(file, kOldText + "and more than the new text\r\n");
    ASSERT_EQ(::chown(locked.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EXIT(
        {
            const bool as_nobody = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
            std::_Exit(as_nobody && write_profile_string(file, "A", "k", "new") ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(file), "[A]\r\nk=new\r\nand more than the new text\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Writers, FileWriters, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallyrig::testing
