// The list of the last four project files opened, kept in section "Recent Files" of the
// settings file: keys "RecentFile1" (the newest) to "RecentFile4", "Not Used" for an empty
// slot. Each path is kept as the user chose it; the list holds no two that differ only in case.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrig {

inline constexpr const char* kRecentFilesSection = "Recent Files";
inline constexpr const char* kRecentFileKey = "RecentFile";
inline constexpr const char* kRecentFileNotUsed = "Not Used";
inline constexpr int kRecentFileCount = 4;

// Puts the path at the head of the list: the old entries move down one place and the fourth
// drops out, except that an old entry equal to the path (in any case) leaves "Not Used" in its
// slot instead of moving. The settings file is rewritten once; false, and nothing changed,
// when it cannot be.
bool add_recent_file(const std::filesystem::path& settings_file, std::string_view path);

// The entries in use, newest first: slots that are empty or begin with "Not Used" are left out.
std::vector<std::string> read_recent_files(const std::filesystem::path& settings_file);

// The file an entry opens.
struct RecentFileTarget {
    std::string path;
    // Several files match an older entry: none of them is surely the one it named.
    bool ambiguous = false;
};

// An entry opens the file it names. Older settings files kept every entry in upper case, which
// loses the name on a file system that tells cases apart: such an entry, when no file has its
// exact name, opens the one file whose path differs from it only in case, and is ambiguous when
// more than one does.
RecentFileTarget recent_file_target(std::string_view entry);

} // namespace tallyrig
