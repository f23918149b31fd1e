// An install root in a temporary folder: bin/, config/, data/ and work/, the config folder
// holding the named files of the staged build (settings, key files, character ROM).
#pragma once

#include "core/folders.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace tallyrig::testing {

inline const std::filesystem::path kStagedConfig =
    std::filesystem::path(TALLYRIG_STAGE_DIR) / "config";

class TempInstall {
public:
    explicit TempInstall(std::initializer_list<std::string_view> staged_config_files = {}) {
        root = m_folder.path();
        for (const char* sub : {"bin", "config", "data", "work"}) {
            std::filesystem::create_directories(root / sub);
        }
        folders = derive_folders(root / "bin" / "Tallyrig");
        for (std::string_view name : staged_config_files) {
            std::filesystem::copy_file(kStagedConfig / name, folders.config_folder / name);
        }
    }

    std::filesystem::path root;
    Folders folders;

private:
    TempFolder m_folder;
};

} // namespace tallyrig::testing
