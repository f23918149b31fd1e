// The texts of the micro-step narration, read from the settings file's "Message Section".
#pragma once

#include "core/profile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

namespace tallyrig {

// What a format code in a message text is replaced by.
enum class FormatCodeKind : int {
    Address = 1,
    Accumulator = 2,
    DataRegister = 3,
    FlagZ = 4,
    FlagC = 5,
    FlagI = 6,
    FlagO = 7,
    FlagN = 8,
    IndexRegister = 9,
};

// The register values a line's format codes show, as they were when the line was told.
struct FormatValues {
    int32_t accumulator = 0;
    int32_t data_register = 0;
    int32_t index_register = 0;
    int16_t flag_z = 0;
    int16_t flag_c = 0;
    int16_t flag_i = 0;
    int16_t flag_o = 0;
    int16_t flag_n = 0;

    template <class Registers>
    static FormatValues of(const Registers& r) {
        return {r.accumulator, r.data_register, r.index_register, r.flag_z,
                r.flag_c,      r.flag_i,        r.flag_o,         r.flag_n};
    }
};

inline constexpr std::string_view kMessageSection = "Message Section";
inline constexpr std::string_view kMessageKeyPrefix = "Message_Field_";
inline constexpr std::size_t kMessageBufferSize = 128; // so at most 127 characters are used

// Message texts by number. The file is read again when it changes on disk, so the narration
// can be reworded while the program runs without reading the file for every line.
class MessageCatalog {
public:
    MessageCatalog() = default;
    explicit MessageCatalog(std::filesystem::path settings_file);
    // Fixed texts from a document, read from no file.
    explicit MessageCatalog(ProfileDocument document);

    // The text of message n; empty for n <= 0, a missing file or a missing key.
    std::string text(int32_t n);

    const std::filesystem::path& settings_file() const { return m_file; }

private:
    void reload_if_changed();

    std::filesystem::path m_file;
    std::filesystem::file_time_type m_loaded_time{};
    std::uintmax_t m_loaded_size = 0;
    bool m_loaded = false;
    ProfileDocument m_document;
    std::unordered_map<int32_t, std::string> m_texts;
};

} // namespace tallyrig
