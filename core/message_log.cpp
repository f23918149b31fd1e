// The micro-step narration: message numbers become styled lines in the message window.
#include "core/message_log.h"

#include "core/machine.h"
#include "core/text_helpers.h"

#include <algorithm>
#include <array>
#include <limits>
#include <system_error>

namespace tallyrig {

namespace {

constexpr TextStyle kBaseStyle{10, kColourBlack, false};
constexpr TextStyle kHeaderStyle{10, kColourBlack, false};
constexpr TextStyle kMainStyle{10, kColourBlue, false};
constexpr TextStyle kRemarkStyle{10, kColourRed, false};

struct FormatCode {
    std::string_view code;
    FormatCodeKind kind;
};

// The order in which codes are replaced; remark lines stop before "%x".
constexpr std::array<FormatCode, 9> kFormatCodes{{
    {"%a", FormatCodeKind::Address},
    {"%d", FormatCodeKind::Accumulator},
    {"%t", FormatCodeKind::DataRegister},
    {"%i", FormatCodeKind::FlagI},
    {"%o", FormatCodeKind::FlagO},
    {"%n", FormatCodeKind::FlagN},
    {"%z", FormatCodeKind::FlagZ},
    {"%c", FormatCodeKind::FlagC},
    {"%x", FormatCodeKind::IndexRegister},
}};

struct Separator {
    std::string_view phrase;
    std::string_view text;
};

constexpr std::array<Separator, 3> kSeparators{{
    {"Get Opcode", "\n\n**********\n"},
    {"Service Interrupt", "\n\n*****************\n"},
    {"Hard Reset", "\n\n**********\n"},
}};

} // namespace

MessageCatalog::MessageCatalog(std::filesystem::path settings_file)
    : m_file(std::move(settings_file)) {}

MessageCatalog::MessageCatalog(ProfileDocument document)
    : m_loaded(true), m_document(std::move(document)) {}

void MessageCatalog::reload_if_changed() {
    if (m_file.empty()) {
        return;
    }
    const std::filesystem::path file = resolve_profile_path(m_file);
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(file, ec);
    const auto size = ec ? 0 : std::filesystem::file_size(file, ec);
    if (ec) {
        // A missing or unreadable file gives empty texts.
        m_texts.clear();
        m_document = ProfileDocument{};
        m_loaded = false;
        return;
    }
    if (m_loaded && time == m_loaded_time && size == m_loaded_size) {
        return;
    }
    m_texts.clear();
    m_document = ProfileDocument::load(file).value_or(ProfileDocument{});
    m_loaded_time = time;
    m_loaded_size = size;
    m_loaded = true;
}

std::string MessageCatalog::text(int32_t n) {
    if (n <= 0) {
        return {};
    }
    reload_if_changed();
    if (!m_loaded) {
        return {};
    }
    if (auto it = m_texts.find(n); it != m_texts.end()) {
        return it->second;
    }
    std::string value =
        m_document.value(kMessageSection, std::string(kMessageKeyPrefix) + std::to_string(n))
            .value_or(std::string{});
    if (value.size() > kMessageBufferSize - 1) {
        value.resize(kMessageBufferSize - 1);
    }
    return m_texts.emplace(n, std::move(value)).first->second;
}

std::string Machine::substitute_format_code(int32_t position, FormatCodeKind kind,
                                            const std::string& text, int32_t address,
                                            const FormatValues& values) const {
    const auto flag = [](int16_t f) { return std::string(f == 1 ? "1" : "0"); };
    std::string replacement;
    switch (kind) {
    case FormatCodeKind::Address:
        replacement = Statemc_pad_hex(hex_text(address));
        break;
    case FormatCodeKind::Accumulator:
        replacement = Statemc_pad2_hex(hex_text(values.accumulator));
        break;
    case FormatCodeKind::DataRegister:
        replacement = Statemc_pad2_hex(hex_text(values.data_register));
        break;
    case FormatCodeKind::FlagZ:
        replacement = flag(values.flag_z);
        break;
    case FormatCodeKind::FlagC:
        replacement = flag(values.flag_c);
        break;
    case FormatCodeKind::FlagI:
        replacement = flag(values.flag_i);
        break;
    case FormatCodeKind::FlagO:
        replacement = flag(values.flag_o);
        break;
    case FormatCodeKind::FlagN:
        replacement = flag(values.flag_n);
        break;
    case FormatCodeKind::IndexRegister:
        replacement = Statemc_pad_hex(hex_text(values.index_register));
        break;
    default:
        break;
    }
    const auto start = static_cast<size_t>(position > 0 ? position - 1 : 0);
    if (start >= text.size()) {
        return text;
    }
    return text.substr(0, start) + replacement + text.substr(std::min(text.size(), start + 2));
}

void Machine::log_message(int16_t l, int16_t m, int16_t r, int32_t address) {
    write_lines(l, m, r, address, FormatValues::of(cpu));
}

void Machine::write_told_lines() {
    for (size_t i = 0; i < m_told_count; ++i) {
        const ToldLine& line = m_told_lines[i];
        write_lines(line.l, line.m, line.r, line.address, line.values);
    }
    m_told_count = 0;
}

void Machine::write_lines(int16_t l, int16_t m, int16_t r, int32_t address,
                          const FormatValues& values) {
    if (log_tap) {
        log_tap(l, m, r, address);
    }
    if (windows.message_window_open != kTrue) {
        return;
    }
    if (status.message_log_count < std::numeric_limits<int16_t>::max()) {
        ++status.message_log_count;
    }

    const std::string l_text = l > 0 ? m_messages.text(l) : std::string{};
    std::string r_text = r > 0 ? m_messages.text(r) : std::string{};
    std::string m_text = m > 0 ? m_messages.text(m) : std::string{};

    // Only the first occurrence of each code is replaced.
    const auto substitute = [&](std::string& text, bool with_index) {
        for (const FormatCode& f : kFormatCodes) {
            if (f.kind == FormatCodeKind::IndexRegister && !with_index) {
                continue;
            }
            const size_t at = text.find(f.code);
            if (at != std::string::npos) {
                text = substitute_format_code(static_cast<int32_t>(at + 1), f.kind, text, address,
                                              values);
            }
        }
    };
    if (m > 0) {
        substitute(m_text, true);
    }
    if (r > 0) {
        substitute(r_text, false);
    }

    for (const Separator& s : kSeparators) {
        if (l_text.find(s.phrase) != std::string::npos) {
            m_ui.append_message_text(s.text, kBaseStyle);
        }
    }
    if (l > 0) {
        m_ui.append_message_text(l_text + "\n", kHeaderStyle);
    }
    if (m > 0) {
        m_ui.append_message_text("    " + m_text + "\n", kMainStyle);
    }
    if (r > 0) {
        m_ui.append_message_text("      " + r_text + "\n", kRemarkStyle);
    }
}

} // namespace tallyrig
