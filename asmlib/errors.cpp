#include "asmlib/errors.h"

#include "asmlib/error_texts.h"

namespace tallyrig::assembler {

std::string error_message(ErrorCode code, int64_t value) {
    const auto index = static_cast<size_t>(code);
    if (index == 0 || index >= kErrorTexts.size()) {
        return {};
    }
    std::string text(kErrorTexts[index]);
    if (const size_t at = text.find('%'); at != std::string::npos) {
        text.replace(at, 1, std::to_string(value));
    }
    return text;
}

} // namespace tallyrig::assembler
