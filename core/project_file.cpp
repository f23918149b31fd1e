#include "core/project_file.h"

#include "core/file_io.h"
#include "core/text_helpers.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace tallyrig {

namespace {

// The platform's read buffer: 128 characters with the terminating NUL.
constexpr std::size_t kProjectValueBuffer = 128;
// A project names a few windows; a file far larger than that is damaged.
constexpr std::size_t kMaxProjectBytes = 4u * 1024u * 1024u;

constexpr const char* kNameKey = "Name";
constexpr const char* kTopKey = "Top";
constexpr const char* kLeftKey = "Left";
constexpr const char* kWidthKey = "Width";
constexpr const char* kHeightKey = "Height";

std::string window_section(int n) {
    return std::string(kProjectWindowSection) + project_number_text(n);
}

std::optional<std::string> read_value(const ProfileIndex& project, std::string_view section,
                                      std::string_view key) {
    std::optional<std::string> value = project.value(section, key);
    if (value && value->size() >= kProjectValueBuffer) {
        value->resize(kProjectValueBuffer - 1);
    }
    return value;
}

// Takes the key's value when it holds one, else leaves the previous window's.
void keep_or_read(const ProfileIndex& project, const std::string& section, const char* key,
                  std::string& name) {
    if (auto value = read_value(project, section, key); value && !value->empty()) {
        name = std::move(*value);
    }
}

void keep_or_read(const ProfileIndex& project, const std::string& section, const char* key,
                  int16_t& number) {
    if (auto value = read_value(project, section, key); value && !value->empty()) {
        number = static_cast<int16_t>(round_clamped(leading_number(*value), INT16_MIN, INT16_MAX));
    }
}

// The n of a "Menu n" section name (any case, blanks before n), or -1 for any other section.
int32_t window_section_number(std::string_view name) {
    const std::string prefix = upper_case(kProjectWindowSection);
    if (name.size() <= prefix.size() || upper_case(name.substr(0, prefix.size())) != prefix ||
        name[prefix.size()] != ' ') {
        return -1;
    }
    std::string_view digits = name.substr(prefix.size());
    digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    return leading_integer(digits);
}

// The numbers n, 1 to count, of the "Menu n" sections the file holds, ascending. A window whose
// section is missing would repeat the one before it, which reopens nothing new, so only these
// are read, however large the count. The reader knows a section only by its own spelling of n.
std::vector<int32_t> window_sections(const ProfileIndex& project, int32_t count) {
    std::vector<int32_t> numbers;
    for (const std::string& name : project.sections()) {
        const int32_t n = window_section_number(name);
        if (n >= 1 && n <= count && same_text_ignoring_case(name, window_section(n))) {
            numbers.push_back(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

} // namespace

std::string project_number_text(int32_t value) {
    return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

void write_project_window(ProfileDocument& project, int n, std::string_view name, int16_t top,
                          int16_t left, int16_t width, int16_t height) {
    const std::string section = window_section(n);
    const std::size_t first = name.find_first_not_of(' ');
    project.set_value(section, kNameKey,
                      first == std::string_view::npos ? std::string_view() : name.substr(first));
    project.set_value(section, kTopKey, project_number_text(top));
    project.set_value(section, kLeftKey, project_number_text(left));
    project.set_value(section, kHeightKey, project_number_text(height));
    project.set_value(section, kWidthKey, project_number_text(width));
}

std::string project_file_text(const std::vector<ProjectWindow>& windows,
                              std::string_view old_text) {
    ProfileDocument project = ProfileDocument::parse(
        old_text.empty() ? std::string(kProjectFirstLine) + "\r\n" : std::string(old_text));
    // Every window section goes, those past the new count too, so none is left to mislead.
    project.remove_sections([](std::string_view name) { return window_section_number(name) >= 0; });
    int n = 0;
    for (const ProjectWindow& window : windows) {
        write_project_window(project, ++n, window.name, window.top, window.left, window.width,
                             window.height);
    }
    project.set_value(kProjectCountSection, kProjectCountKey, project_number_text(n));
    return project.text();
}

bool write_project_file(const std::filesystem::path& file,
                        const std::vector<ProjectWindow>& windows, const WriteCalls& calls) {
    std::string old_text;
    switch (read_regular_file(file, old_text, kMaxProjectBytes)) {
    case FileRead::Read:
        return replace_file(file, project_file_text(windows, old_text), calls).ok();
    case FileRead::Missing:
        return replace_file(file, project_file_text(windows), calls).ok();
    case FileRead::Failed:
        // What we cannot read we cannot keep.
        return false;
    }
    return false;
}

ProjectFile parse_project(std::string_view text) {
    const ProfileIndex project(ProfileDocument::parse(text));
    ProjectFile result;
    result.multimedia_lab =
        read_value(project, kProjectMultimediaSection, kProjectMultimediaKey).value_or("");
    result.char_rom_name =
        read_value(project, kProjectCharRomSection, kProjectCharRomKey).value_or("");

    const int32_t count = leading_integer(
        read_value(project, kProjectCountSectionRead, kProjectCountKey).value_or(""));
    ProjectWindow window;
    for (const int32_t n : window_sections(project, count)) {
        const std::string section = window_section(n);
        keep_or_read(project, section, kNameKey, window.name);
        keep_or_read(project, section, kTopKey, window.top);
        keep_or_read(project, section, kLeftKey, window.left);
        keep_or_read(project, section, kWidthKey, window.width);
        keep_or_read(project, section, kHeightKey, window.height);
        result.windows.push_back(window);
    }
    return result;
}

ProjectReadResult read_project_file(const std::filesystem::path& file) {
    ProjectReadResult result;
    std::string text;
    switch (read_regular_file(file, text, kMaxProjectBytes)) {
    case FileRead::Read:
        result.project = parse_project(text);
        break;
    case FileRead::Missing:
        break;
    case FileRead::Failed:
        result.problem = "The project file cannot be read.";
        break;
    }
    return result;
}

} // namespace tallyrig
