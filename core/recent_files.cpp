#include "core/recent_files.h"

#include "core/file_io.h"
#include "core/profile.h"
#include "core/text_helpers.h"

#include <optional>

namespace tallyrig {

namespace {

// The platform's read buffer holds this many characters with its terminating NUL.
constexpr std::size_t kRecentFileBuffer = 255;

std::string slot_key(int slot) {
    return kRecentFileKey + std::to_string(slot);
}

std::string slot_value(const std::optional<ProfileDocument>& settings, int slot) {
    std::optional<std::string> value;
    if (settings) {
        value = settings->value(kRecentFilesSection, slot_key(slot));
    }
    std::string text = value ? *value : std::string(kRecentFileNotUsed);
    if (text.size() >= kRecentFileBuffer) {
        text.resize(kRecentFileBuffer - 1);
    }
    return text;
}

// A folder of many names that differ only in case is rare; a bound keeps a strange one cheap.
constexpr std::size_t kMostCaseVariants = 64;

// The existing paths that differ from file only in the case of their names.
std::vector<std::filesystem::path> case_variants(const std::filesystem::path& file) {
    std::vector<std::filesystem::path> found{file.root_path()};
    for (const std::filesystem::path& part : file.relative_path()) {
        const std::string name = part.string();
        std::vector<std::filesystem::path> longer;
        for (const std::filesystem::path& folder : found) {
            if (name == "." || name == "..") {
                longer.push_back(folder / part);
                continue;
            }
            std::error_code error;
            std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
            for (; !error && entries != std::filesystem::directory_iterator() &&
                   longer.size() < kMostCaseVariants;
                 entries.increment(error)) {
                if (same_text_ignoring_case(entries->path().filename().string(), name)) {
                    longer.push_back(folder / entries->path().filename());
                }
            }
        }
        found = std::move(longer);
    }
    return found;
}

bool exists_as_named(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

RecentFileTarget recent_file_target(std::string_view entry) {
    const std::string path(entry);
    if (path != upper_case(path) || exists_as_named(path)) {
        return {path, false};
    }
    if (case_variants(path).size() > 1) {
        return {path, true};
    }
    return {resolve_path_case(path).string(), false};
}

bool add_recent_file(const std::filesystem::path& settings_file, std::string_view path) {
    // A file that exists but cannot be read is never replaced (the save refuses it), so
    // starting from an empty document then loses nothing.
    const std::optional<ProfileDocument> settings = ProfileDocument::load(settings_file);
    ProfileDocument updated = settings.value_or(ProfileDocument{});
    for (int slot = kRecentFileCount - 1; slot >= 1; --slot) {
        // Values come trimmed; an empty one moves nothing and leaves its slot as it was.
        const std::string entry = slot_value(settings, slot);
        if (entry.empty()) {
            continue;
        }
        if (!same_text_ignoring_case(entry, path)) {
            updated.set_value(kRecentFilesSection, slot_key(slot + 1), entry);
        }
        updated.set_value(kRecentFilesSection, slot_key(slot), kRecentFileNotUsed);
    }
    updated.set_value(kRecentFilesSection, slot_key(1), path);
    return updated.save(settings_file);
}

std::vector<std::string> read_recent_files(const std::filesystem::path& settings_file) {
    const std::optional<ProfileDocument> settings = ProfileDocument::load(settings_file);
    std::vector<std::string> entries;
    for (int slot = 1; slot <= kRecentFileCount; ++slot) {
        std::string entry = slot_value(settings, slot);
        if (!entry.empty() && entry.rfind(kRecentFileNotUsed, 0) != 0) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

} // namespace tallyrig
