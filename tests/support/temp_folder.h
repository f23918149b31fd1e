// Files for tests: a fresh folder per test, removed afterwards (its name has no "."), and whole
// files read and written as bytes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

namespace tallyrig::testing {

inline void write_file(const std::filesystem::path& file, std::string_view text) {
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string read_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tallyrig_test_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        // A test may have taken permissions away; give them back so everything can go.
        std::error_code ec;
        const auto all = std::filesystem::perms::owner_all;
        std::filesystem::permissions(m_path, all, std::filesystem::perm_options::add, ec);
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_symlink(ec)) {
                std::filesystem::permissions(it->path(), all, std::filesystem::perm_options::add,
                                             ec);
            }
        }
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(std::string_view name) const { return m_path / name; }

    // Writes a file into the folder and returns its path.
    std::string write(std::string_view name, std::string_view text) const {
        const std::filesystem::path path = file(name);
        write_file(path, text);
        return path.string();
    }

    // The number of entries in the folder: tests of careful writers count what they left.
    std::size_t entries() const {
        std::size_t count = 0;
        for (auto it = std::filesystem::directory_iterator(m_path);
             it != std::filesystem::directory_iterator(); ++it) {
            ++count;
        }
        return count;
    }

private:
    std::filesystem::path m_path;
};

} // namespace tallyrig::testing
