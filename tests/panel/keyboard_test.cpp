#include "panel/devices/keyboard.h"
#include "tests/panel/panel_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

namespace tallyrig::testing {
namespace {

class KeyboardTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        keyboard = std::make_unique<Keyboard>(machine, devices);
        keyboard->show();
    }
    void click(const char* name) {
        QPushButton* key = keyboard->key(QString::fromLatin1(name));
        ASSERT_NE(key, nullptr) << name;
        QTest::mouseClick(key, Qt::LeftButton);
    }
    bool called(const std::string& call) const {
        return std::find(ui.calls.begin(), ui.calls.end(), call) != ui.calls.end();
    }

    std::unique_ptr<Keyboard> keyboard;
};

TEST_F(KeyboardTest, LoadingLatchesCapsAloneEmptiesThePortAndPlugsItInForGood) {
    value(kKeyboardPort) = 77;
    Keyboard second(machine, devices);
    EXPECT_EQ(value(kKeyboardPort), 0);
    EXPECT_EQ(devices.input_devices[kKeyboardDevice].installed, 1);
    EXPECT_EQ(second.last_key(), "$00");
    EXPECT_EQ(second.caption_colour("CAPS"), kColourRed);
    for (const char* modifier : {"SHIFT", "CTRL", "ALT"}) {
        EXPECT_EQ(second.caption_colour(modifier), 0u) << modifier;
    }
    second.close();
    EXPECT_EQ(devices.input_devices[kKeyboardDevice].installed, 1);
}

TEST_F(KeyboardTest, KeysSitAtTheirPlacesWithTheirSizes) {
    EXPECT_EQ(keyboard->findChildren<QPushButton*>().size(), 78);
    struct Place {
        const char* name;
        QRect geometry;
    };
    // Twips at 15 to the pixel; keys 8 pixels apart.
    const Place places[] = {
        {"ESC", {8, 8, 33, 25}},
        {"SSCommand13", {500, 8, 33, 25}},
        {"SSCommand14", {606, 8, 33, 25}},
        {"SSCommand15", {8, 41, 33, 33}},
        {"BSPACE", {541, 41, 57, 33}},
        {"TAB", {8, 82, 49, 33}},
        {"SSCommand43", {557, 82, 41, 33}},
        {"CAPS", {8, 123, 73, 33}},
        {"ENTER", {540, 123, 57, 33}},
        {"SHIFT", {8, 164, 97, 33}},
        {"SSCommand72", {605, 164, 33, 33}},
        {"CTRL", {8, 205, 73, 33}},
        {"ALT", {89, 205, 81, 33}},
        {"SPACE", {178, 205, 329, 33}},
        {"SSCommand78", {597, 205, 33, 33}},
    };
    for (const Place& place : places) {
        QPushButton* key = keyboard->key(place.name);
        ASSERT_NE(key, nullptr) << place.name;
        EXPECT_EQ(key->geometry(), place.geometry) << place.name;
    }
    const auto* last_key = keyboard->findChild<QLineEdit*>("last_key");
    ASSERT_NE(last_key, nullptr);
    EXPECT_EQ(last_key->geometry(), QRect(541, 8, 57, 25)); // between "+" and the quote
    EXPECT_EQ(keyboard->key("SSCommand8")->text(), "&&");   // shown as one ampersand
}

TEST_F(KeyboardTest, ModifiersApplyInTheirOrder) {
    press("Power");
    struct Case {
        std::vector<const char*> modifiers; // clicked after the load, which latches CAPS
        const char* key;
        int code;
        const char* shown;
    };
    const Case cases[] = {
        {{}, "SSCommand31", 81, "$51"},                // Q
        {{"CAPS"}, "SSCommand31", 113, "$71"},         // q
        {{"SHIFT"}, "SSCommand46", 65, "$41"},         // CAPS and SHIFT: still upper case
        {{"CAPS", "SHIFT"}, "SSCommand46", 65, "$41"}, // SHIFT alone
        {{"SHIFT"}, "SSCommand16", 49, "$31"},         // no shifted symbols
        {{"CTRL"}, "SSCommand66", 13, "$0D"},          // M
        {{"CTRL"}, "SSCommand46", 1, "$01"},           // A
        {{"CTRL"}, "SSCommand20", 53, "$35"},          // 5
        {{"CTRL"}, "TAB", 11, "$0B"},                  //
        {{"CTRL"}, "SSCommand3", 64, "$40"},           // @
        {{"CTRL", "ALT"}, "SSCommand46", 129, "$81"},  //
        {{"ALT"}, "SSCommand46", 193, "$C1"},          // CAPS and ALT
        {{"CAPS", "ALT"}, "SSCommand15", 254, "$FE"},  // ~
        {{"CAPS", "ALT"}, "SPACE", 160, "$A0"},        //
        {{"CAPS", "ALT"}, "SSCommand46", 225, "$E1"},  // a
        {{}, "BSPACE", 4, "$04"},                      //
        {{}, "SSCommand78", 124, "$7C"},               // |
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        keyboard = std::make_unique<Keyboard>(machine, devices);
        keyboard->show();
        for (const char* modifier : c.modifiers) {
            click(modifier);
        }
        click(c.key);
        EXPECT_EQ(value(kKeyboardPort), c.code);
        EXPECT_EQ(keyboard->last_key(), c.shown);
        // The latches hold through any number of keys.
        click(c.key);
        EXPECT_EQ(value(kKeyboardPort), c.code);
    }
}

TEST_F(KeyboardTest, ModifierCaptionsShowTheirLatches) {
    click("CAPS");
    click("CTRL");
    EXPECT_EQ(keyboard->caption_colour("CAPS"), 0u);
    EXPECT_EQ(keyboard->caption_colour("CTRL"), kColourRed);
    click("CTRL");
    EXPECT_EQ(keyboard->caption_colour("CTRL"), 0u);
}

TEST_F(KeyboardTest, WithThePowerOffKeysChangeNothing) {
    value(kKeyboardPort) = 0;
    click("SSCommand31");
    click("SPACE");
    EXPECT_EQ(value(kKeyboardPort), 0);
    EXPECT_EQ(keyboard->last_key(), "$00");
}

TEST_F(KeyboardTest, ASecondKeyBeforeTheProgramReadsReplacesTheFirst) {
    press("Power");
    click("SSCommand31");
    click("SSCommand32");
    EXPECT_EQ(value(kKeyboardPort), 'W');
}

TEST_F(KeyboardTest, TheWalkerShowsThePortRowsOnlyWhileItIsOpen) {
    press("Power");
    ui.calls.clear();
    click("SSCommand31");
    EXPECT_FALSE(called("update_memory_walker 61441 32"));
    machine.window_opened(MachineWindow::MemoryWalker, true);
    click("SSCommand31");
    EXPECT_TRUE(called("update_memory_walker 61441 32"));
    EXPECT_TRUE(called("walker_refresh"));
}

TEST_F(KeyboardTest, ARunningProgramTakesTheKeyFromThePort) {
    press("Power");
    // wait: LDA [$F008]; JZ [wait]; STA [$4100]; JMP [0], which ends the run.
    load(0x4000, {0x91, 0xF0, 0x08, 0xD1, 0x40, 0x00, 0x99, 0x41, 0x00, 0xC1, 0x00, 0x00});
    int yields = 0;
    ui.on_yield = [&] {
        if (++yields == 200) {
            click("SSCommand51"); // H
        }
        if (yields > 100'000) {
            press("Power");
        }
    };
    press("Run");
    EXPECT_EQ(value(0x4100), 'H');
    EXPECT_EQ(value(kKeyboardPort), 0);
    EXPECT_EQ(keyboard->last_key(), "$48");
}

} // namespace
} // namespace tallyrig::testing
