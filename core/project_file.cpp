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

// The numbers n, 1 to count, of the "Menu n" sections the file holds, ascending. A window whose
// section is missing would repeat the one before it, which reopens nothing new, so only these
// are read, however large the count.
std::vector<int32_t> window_sections(const ProfileIndex& project, int32_t count) {
    const std::string prefix = upper_case(std::string(kProjectWindowSection) + " ");
    std::vector<int32_t> numbers;
    for (const std::string& name : project.sections()) {
        const std::string upper = upper_case(name);
        if (upper.rfind(prefix, 0) != 0) {
            continue;
        }
        const std::string digits = upper.substr(prefix.size());
        const int32_t n = leading_integer(digits);
        if (n >= 1 && n <= count && project_number_text(n) == " " + digits) {
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

std::string project_file_text(const std::vector<ProjectWindow>& windows) {
    ProfileDocument project = ProfileDocument::parse(std::string(kProjectFirstLine) + "\r\n");
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
    return replace_file(file, project_file_text(windows), calls).ok();
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
