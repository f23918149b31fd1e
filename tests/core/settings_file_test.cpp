// The settings file that ships with the program: readable by the profile layer as it stands.
#include "core/message_numbers.h"
#include "core/profile.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>

namespace tallyrig {
namespace {

const std::filesystem::path kSettings = TALLYRIG_SETTINGS_FILE;

std::string shipped_text() {
    return testing::read_file(kSettings);
}

std::string message(int n) {
    return read_profile_string(kSettings, "Message Section", "Message_Field_" + std::to_string(n),
                               "", 128);
}

TEST(ShippedSettings, IsAsciiWithCrLfLineEnds) {
    const std::string text = shipped_text();
    ASSERT_FALSE(text.empty());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << "byte " << i;
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

TEST(ShippedSettings, MessageTextsFitTheirBuffer) {
    const auto document = ProfileDocument::parse(shipped_text());
    int count = 0;
    for (int n = 1; n < 1000; ++n) {
        const auto text = document.value("Message Section", "Message_Field_" + std::to_string(n));
        if (!text) {
            continue;
        }
        ++count;
        EXPECT_FALSE(text->empty()) << n;
        EXPECT_LE(text->size(), 127u) << n;
        EXPECT_EQ(message(n), *text) << n;
    }
    EXPECT_GT(count, 200);
}

TEST(ShippedSettings, OnlyTheirHeadersCallForSeparators) {
    const std::pair<int, std::string> phrases[] = {{kMsgGetOpcode, "Get Opcode"},
                                                   {kMsgServiceInterrupt, "Service Interrupt"},
                                                   {kMsgHardReset, "Hard Reset"}};
    for (const auto& [owner, phrase] : phrases) {
        EXPECT_NE(message(owner).find(phrase), std::string::npos) << phrase;
        for (int n = 1; n < 1000; ++n) {
            if (n != owner) {
                EXPECT_EQ(message(n).find(phrase), std::string::npos) << n << " " << phrase;
            }
        }
    }
}

TEST(ShippedSettings, SpeedAndRecentFiles) {
    const int32_t speed = read_profile_int(kSettings, "Processor_Speed", "Speed", 0);
    EXPECT_GT(speed, 0);
    // The dialog multiplies it by the scroll bar value in 32 bits.
    EXPECT_LE(int64_t{speed} * 32767, int64_t{INT32_MAX});
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(read_profile_string(kSettings, "Recent Files", "RecentFile" + std::to_string(i),
                                      "", 255),
                  "Not Used");
    }
}

} // namespace
} // namespace tallyrig
