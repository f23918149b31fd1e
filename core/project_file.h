// Project files (.prj): which tool windows were open and where, and optionally a character ROM
// picture and a multimedia item. The first line is written directly; the rest is an ini-style
// profile: one section "Menu n" per window (n from 1), a window count, and the two entries
// that are only read.
#pragma once

#include "core/profile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrig {

inline constexpr const char* kProjectFirstLine = " ZobbleComputer Project File";
inline constexpr const char* kProjectWindowSection = "Menu"; // a blank and n follow
inline constexpr const char* kProjectCountSection = "No_of_Menus";
inline constexpr const char* kProjectCountSectionRead = "No_Of_Menus"; // names ignore case
inline constexpr const char* kProjectCountKey = "Count";
inline constexpr const char* kProjectCharRomSection = "Character ROM";
inline constexpr const char* kProjectCharRomKey = "Name";
inline constexpr const char* kProjectMultimediaSection = "Multimedia";
inline constexpr const char* kProjectMultimediaKey = "Lab";

// A window's tag and its place in twips.
struct ProjectWindow {
    std::string name;
    int16_t top = 0;
    int16_t left = 0;
    int16_t width = 0;
    int16_t height = 0;
    bool operator==(const ProjectWindow&) const = default;
};

// What the project asks for; empty texts where it names nothing.
struct ProjectFile {
    std::vector<ProjectWindow> windows;
    std::string multimedia_lab;
    std::string char_rom_name;
};

// The project open in the simulator, and the multimedia item of the last one that named one.
struct ProjectStatus {
    std::string path;
    bool is_open = false;
    std::string multimedia_lab;
    std::string multimedia_lab_copy;
    std::string project_folder; // where the default project lies; nothing sets it
};

// A number as the project file writes it: decimal, a leading blank for 0 and above.
std::string project_number_text(int32_t value);

// Writes window section n: "Name" without leading blanks, then "Top", "Left", "Height" and
// "Width".
void write_project_window(ProfileDocument& project, int n, std::string_view name, int16_t top,
                          int16_t left, int16_t width, int16_t height);

// The project file's text with these windows: the old file's text (empty for a new file, which
// gains the first line) with its "Menu n" sections and their count rewritten; every other
// section, key and line, which a person may have written and the reader relies on, stays as it
// was. Lines the program writes end CR LF.
std::string project_file_text(const std::vector<ProjectWindow>& windows,
                              std::string_view old_text = {});

// Rewrites the file's windows as project_file_text does and replaces it in one rename; false,
// leaving any old file whole, when it cannot be read or written.
bool write_project_file(const std::filesystem::path& file,
                        const std::vector<ProjectWindow>& windows, const WriteCalls& calls = {});

// Reads the windows 1 to "Count": a key that is missing or empty keeps the value of the window
// before (an empty name and 0 for the first); numbers are held to 16 bits. A window whose
// section the file lacks would only repeat the one before and is not listed.
ProjectFile parse_project(std::string_view text);

struct ProjectReadResult {
    ProjectFile project;
    // Set when the file exists but cannot be read; the project then reads as empty, as a
    // missing file does.
    std::string problem;
};

ProjectReadResult read_project_file(const std::filesystem::path& file);

} // namespace tallyrig
