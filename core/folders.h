// The install folders, derived from the program's own path: root is the parent of the folder
// that holds the program; config, data and work lie under the root.
#pragma once

#include <filesystem>

namespace tallyrig {

struct Folders {
    std::filesystem::path root_folder;
    std::filesystem::path config_folder;
    std::filesystem::path data_folder;
    std::filesystem::path work_folder;

    std::filesystem::path settings_file() const { return config_folder / "TALLYRIG.ini"; }
};

inline Folders derive_folders(const std::filesystem::path& program_path) {
    Folders f;
    f.root_folder = program_path.parent_path().parent_path();
    f.config_folder = f.root_folder / "config";
    f.data_folder = f.root_folder / "data";
    f.work_folder = f.root_folder / "work";
    return f;
}

} // namespace tallyrig
