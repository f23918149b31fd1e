// Any bytes as the settings file's message texts, logged with any registers: every call writes
// its separators and lines in their form, the header as it stands, and replaces in the main and
// remark lines exactly the first occurrence of each format code.
#include "core/machine.h"
#include "core/message_log.h"
#include "fuzz/fuzz_check.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tallyrig::fuzz::check;
using namespace tallyrig;

class LogRecorder : public UserInterface {
public:
    std::vector<std::string> pieces;
    void append_message_text(std::string_view text, const TextStyle&) override {
        pieces.emplace_back(text);
    }
};

constexpr std::array<std::string_view, 9> kCodes = {"%a", "%d", "%t", "%i", "%o",
                                                    "%n", "%z", "%c", "%x"};

std::size_t count(std::string_view text, std::string_view code) {
    std::size_t n = 0;
    for (auto at = text.find(code); at != std::string_view::npos; at = text.find(code, at + 1)) {
        ++n;
    }
    return n;
}

// A main or remark line: its indent, the text with the first of each code replaced, a line end.
void check_line(std::string_view line, std::string_view indent, const std::string& text,
                bool with_index) {
    check(line.size() >= indent.size() + 1 && line.substr(0, indent.size()) == indent &&
          line.back() == '\n');
    const std::string_view body = line.substr(indent.size(), line.size() - indent.size() - 1);
    if (text.find('%') == std::string::npos) {
        check(body == text);
        return;
    }
    // A replacement is at most "$" and eight digits, and holds no "%" or lower-case letter,
    // so it can neither make nor hide a code.
    check(body.size() <= text.size() + kCodes.size() * 7);
    for (std::string_view code : kCodes) {
        const std::size_t was = count(text, code);
        const bool replaced = was > 0 && (with_index || code != "%x");
        check(count(body, code) == was - (replaced ? 1 : 0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    struct Call {
        int16_t l, m, r;
        int32_t address;
    };
    std::vector<Call> calls(input.ConsumeIntegralInRange<std::size_t>(1, 8));
    for (Call& c : calls) {
        c.l = input.ConsumeIntegralInRange<int16_t>(-1, 300);
        c.m = input.ConsumeIntegralInRange<int16_t>(-1, 300);
        c.r = input.ConsumeIntegralInRange<int16_t>(-1, 300);
        c.address = input.ConsumeIntegral<int32_t>();
    }
    // One machine for every input: building its memory would cost more than the calls.
    static LogRecorder ui;
    static MessageCatalog messages;
    static Machine machine(ui, messages);
    messages = MessageCatalog(ProfileDocument::parse(input.ConsumeRemainingBytesAsString()));
    machine.status.message_log_count = 0;
    CpuRegisters& cpu = machine.cpu;
    cpu.accumulator = static_cast<int32_t>(size * 37);
    cpu.data_register = static_cast<int32_t>(size) - 300;
    cpu.index_register = static_cast<int32_t>(size * 0x10001);
    cpu.flag_z = cpu.flag_o = 1;
    machine.windows.message_window_open = kTrue;

    for (const Call& c : calls) {
        ui.pieces.clear();
        const int16_t count_before = machine.status.message_log_count;
        machine.log_message(c.l, c.m, c.r, c.address);
        check(machine.status.message_log_count == count_before + 1);

        const std::string l = messages.text(c.l);
        const std::string m = messages.text(c.m);
        const std::string r = messages.text(c.r);
        for (const std::string* text : {&l, &m, &r}) {
            check(text->size() < kMessageBufferSize);
        }
        std::size_t next = 0;
        for (std::string_view phrase : {"Get Opcode", "Service Interrupt", "Hard Reset"}) {
            if (c.l > 0 && l.find(phrase) != std::string::npos) {
                check(next < ui.pieces.size() && ui.pieces[next].starts_with("\n\n*") &&
                      ui.pieces[next].ends_with("*\n"));
                ++next;
            }
        }
        if (c.l > 0) {
            check(next < ui.pieces.size() && ui.pieces[next] == l + "\n");
            ++next;
        }
        if (c.m > 0) {
            check(next < ui.pieces.size());
            check_line(ui.pieces[next++], "    ", m, true);
        }
        if (c.r > 0) {
            check(next < ui.pieces.size());
            check_line(ui.pieces[next++], "      ", r, false);
        }
        check(next == ui.pieces.size());
    }
    return 0;
}
