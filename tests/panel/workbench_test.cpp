#include "panel/devices/d8segdec.h"
#include "panel/devices/seg7.h"
#include "panel/devices/seg7dec.h"
#include "panel/devices/workbench_1.h"
#include "panel/devices/workbench_pictures.h"
#include "tests/panel/panel_fixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <set>

namespace tallyrig::testing {
namespace {

class Workbench : public RunningPanelTest {
protected:
    void TearDown() override {
        for (const QPointer<QWidget>& window : m_windows) {
            delete window.data();
        }
        PanelTest::TearDown();
    }

    Workbench_1& open() {
        Workbench_1* w = workbench.open_window();
        w->show();
        m_windows.push_back(w);
        return *w;
    }
    const QPixmap* picture(int id) { return &workbench.pictures().picture(id); }
    std::vector<int> lit_leds(const Workbench_1& w) {
        std::vector<int> lit;
        for (int k = 0; k < kSwitchesPerBank; ++k) {
            if (w.picture2(k)->picture() == &workbench.pictures().on_led()) {
                lit.push_back(k);
            }
        }
        return lit;
    }
    // The bits of a bank whose switches show the on icon.
    int shown_on(const Workbench_1& w, SwitchBank bank) {
        int bits = 0;
        for (int bit = 0; bit < kSwitchesPerBank; ++bit) {
            if (w.switch_control(bank, bit)->picture() == picture(kSwitchOnIcon)) {
                bits |= 1 << bit;
            }
        }
        return bits;
    }
    void click(const Workbench_1& w, SwitchBank bank, int bit) {
        QTest::mouseClick(w.switch_control(bank, bit), Qt::LeftButton);
    }
    bool flags_plugged(int16_t flag) {
        return devices.input(kSwitchBank1Device).installed == flag &&
               devices.input(kSwitchBank2Device).installed == flag &&
               devices.output(kLed8BitDevice).installed == flag &&
               devices.output(kSevenSegUnencodedDevice).installed == flag &&
               devices.output(kSevenSegDecodedDevice).installed == flag &&
               devices.output(kDualSevenSegDevice).installed == flag;
    }
    // Switches on and runs a program at 0x4000 until the machine waits; then resets.
    void run(std::initializer_list<int32_t> program) {
        if (machine.status.power_on == 0) {
            press("Power");
        }
        load(0x4000, program);
        ui.wait_actions.push_back([this] { press("Reset"); });
        press("Run");
    }

private:
    std::vector<QPointer<QWidget>> m_windows;
};

// ---- Drivers --------------------------------------------------------------------------------

TEST_F(Workbench, DriversShowTheByteAsThePicturesSay) {
    Workbench_1& w = open();
    struct Case {
        int32_t port;
        int32_t value;
        std::vector<const PictureBox*> boxes;
        std::vector<int> pictures;
    };
    const std::vector<Case> cases = {
        {kSevenSegUnencodedPort, 0x86, {w.No_decode()}, {8006}}, // bit 7 has no effect
        {kSevenSegUnencodedPort, 0x7F, {w.No_decode()}, {8127}},
        {kSevenSegUnencodedPort, 0x00, {w.No_decode()}, {8000}},
        {kSevenSegDecodedPort, 0x1F, {w.Decode()}, {116}},
        {kSevenSegDecodedPort, 0x10, {w.Decode()}, {100}},
        {kSevenSegDecodedPort, 256, {w.Decode()}, {100}},
        {kSevenSegDecodedPort, 0x09, {w.Decode()}, {110}},
        {kDualSevenSegPort, 0x3C, {w.Dual_1(), w.Dual_2()}, {104, 113}},
        {kDualSevenSegPort, 0x05, {w.Dual_1(), w.Dual_2()}, {100, 106}},
        {kDualSevenSegPort, 0xF1, {w.Dual_1(), w.Dual_2()}, {116, 102}},
        {kDualSevenSegPort, 256, {w.Dual_1(), w.Dual_2()}, {117, 117}},
        {kDualSevenSegPort, 0x3C, {w.Dual_1(), w.Dual_2()}, {104, 113}},
        {kDualSevenSegPort, 257, {w.Dual_1(), w.Dual_2()}, {117, 117}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.port << " " << c.value);
        machine.write_output_port(c.port, c.value);
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(c.boxes[i]->picture(), picture(c.pictures[i])) << "picture " << c.pictures[i];
        }
        EXPECT_EQ(machine.memory_cells[static_cast<std::size_t>(c.port)].value, c.value);
    }

    machine.write_output_port(kLed8BitPort, 0xA5);
    EXPECT_EQ(lit_leds(w), (std::vector<int>{0, 2, 5, 7}));
    machine.write_output_port(kLed8BitPort, 0xFF);
    machine.write_output_port(kLed8BitPort, 0);
    EXPECT_TRUE(lit_leds(w).empty());
    machine.write_output_port(kLed8BitPort, 0x1FF);
    EXPECT_EQ(lit_leds(w).size(), 8u);
    machine.write_output_port(kLed8BitPort, 256); // bits above 7 are ignored
    EXPECT_TRUE(lit_leds(w).empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Workbench, DigitPicturesLightThePartsSegments) {
    // One lights the left pair, nine has no bottom, and the dark digit nothing.
    EXPECT_EQ(digit_picture_segments(102), kSegmentE | kSegmentF);
    EXPECT_EQ(digit_picture_segments(110),
              kSegmentA | kSegmentB | kSegmentC | kSegmentF | kSegmentG);
    EXPECT_EQ(digit_picture_segments(117), 0);
    EXPECT_EQ(digit_picture_segments(101), 0); // no such picture
    const WorkbenchPictures& pictures = workbench.pictures();
    EXPECT_EQ(pictures.picture(102).toImage(),
              WorkbenchPictures::draw_segments(kSegmentE | kSegmentF));
    EXPECT_EQ(pictures.picture(100).toImage(), pictures.picture(8063).toImage());
    EXPECT_EQ(pictures.picture(117).toImage(), pictures.picture(8000).toImage());
}

// Every segment pattern, pixel by pixel: a pixel is lit exactly where one of the pattern's
// segments lies, dark red where another segment lies, black elsewhere.
TEST_F(Workbench, SegmentPicturesAreTheirSegmentsPixelByPixel) {
    std::array<QImage, 7> single;
    for (int s = 0; s < 7; ++s) {
        single[static_cast<std::size_t>(s)] = WorkbenchPictures::draw_segments(uint8_t(1 << s));
    }
    const QImage none = WorkbenchPictures::draw_segments(0);
    ASSERT_EQ(none.size(), QSize(48, 91));
    const auto lit_in = [](const QImage& image, int x, int y) {
        return image.pixel(x, y) == kSegmentLit;
    };
    // Each segment is drawn, and no two overlap.
    std::array<QPointF, 7> centre{};
    for (std::size_t s = 0; s < single.size(); ++s) {
        int count = 0;
        for (int y = 0; y < none.height(); ++y) {
            for (int x = 0; x < none.width(); ++x) {
                if (!lit_in(single[s], x, y)) {
                    continue;
                }
                ++count;
                centre[s] += QPointF(x, y);
                for (std::size_t t = s + 1; t < single.size(); ++t) {
                    EXPECT_FALSE(lit_in(single[t], x, y)) << s << " and " << t;
                }
            }
        }
        ASSERT_GT(count, 50) << "segment " << s;
        centre[s] /= count;
    }
    // a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle.
    const auto [a, b, c, d, e, f, g] = centre;
    EXPECT_LT(a.y(), g.y());
    EXPECT_LT(g.y(), d.y());
    EXPECT_GT(b.x(), f.x());
    EXPECT_GT(c.x(), e.x());
    EXPECT_LT(b.y(), c.y());
    EXPECT_LT(f.y(), e.y());

    for (int p = 0; p < kSegmentPatternCount; ++p) {
        const QImage image = workbench.pictures().picture(kSegmentPictureBase + p).toImage();
        ASSERT_EQ(image.size(), QSize(48, 91));
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                QRgb expected = kSegmentBackground;
                for (std::size_t s = 0; s < single.size(); ++s) {
                    if (lit_in(single[s], x, y)) {
                        expected = (p >> s) & 1 ? kSegmentLit : kSegmentDark;
                    }
                }
                wrong += image.pixel(x, y) != expected;
            }
        }
        EXPECT_EQ(wrong, 0) << "pattern " << p;
    }
}

// What a person checks on the switch and LED pictures: the on switch has its lever up and a
// green mark at the top, the off switch is the same switch turned upside down with a red mark,
// and the lit LED is bright green where the unlit one is dark.
TEST_F(Workbench, SwitchAndLedPicturesShowTheirState) {
    const QImage on = picture(kSwitchOnIcon)->toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage off = picture(kSwitchOffIcon)->toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(on.size(), kIconSize);
    ASSERT_EQ(off.size(), kIconSize);
    const auto centre_of = [](const QImage& image, QRgb colour) {
        QPointF sum;
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == colour) {
                    sum += QPointF(x, y);
                    ++count;
                }
            }
        }
        return std::make_pair(count, count > 0 ? sum / count : QPointF(-1, -1));
    };
    const QRgb knob = 0xFFFFFFFF;
    const QRgb green = 0xFF00FF00;
    const QRgb red = 0xFFFF0000;
    const qreal middle = (kIconSize.height() - 1) / 2.0;

    const auto [on_knob, on_knob_at] = centre_of(on, knob);
    const auto [on_green, on_green_at] = centre_of(on, green);
    EXPECT_GT(on_knob, 40);
    EXPECT_LT(on_knob_at.y(), middle - 4) << "the lever is up";
    EXPECT_GT(on_green, 20);
    EXPECT_LT(on_green_at.y(), middle - 4) << "the mark is at the top";
    EXPECT_EQ(centre_of(on, red).first, 0);

    QImage turned = on.mirrored(false, true);
    for (int y = 0; y < turned.height(); ++y) {
        for (int x = 0; x < turned.width(); ++x) {
            if (turned.pixel(x, y) == green) {
                turned.setPixel(x, y, red);
            }
        }
    }
    int differing = 0;
    for (int y = 0; y < off.height(); ++y) {
        for (int x = 0; x < off.width(); ++x) {
            differing += turned.pixel(x, y) != off.pixel(x, y);
        }
    }
    EXPECT_EQ(differing, 0) << "the off switch is the on switch upside down";

    const QImage lit = workbench.pictures().on_led().toImage();
    const QImage unlit = workbench.pictures().off_led().toImage();
    EXPECT_GT(centre_of(lit, kSegmentLit).first, 150);
    EXPECT_EQ(centre_of(unlit, kSegmentLit).first, 0);
    EXPECT_EQ(lit.createAlphaMask(), unlit.createAlphaMask()) << "one LED, lit or not";
}

TEST_F(Workbench, LedBoxShowsTheLedImageAtItsCorner) {
    Workbench_1& w = open();
    machine.write_output_port(kLed8BitPort, 0x01);
    const QImage lit = workbench.pictures().on_led().toImage();
    const QImage unlit = workbench.pictures().off_led().toImage();
    ASSERT_EQ(lit.size(), QSize(32, 32));
    EXPECT_NE(lit, unlit);
    const QImage shown_lit = w.picture2(0)->grab().toImage();
    const QImage shown_unlit = w.picture2(1)->grab().toImage();
    int compared = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (qAlpha(lit.pixel(x, y)) == 255) {
                ASSERT_EQ(shown_lit.pixel(x, y), lit.pixel(x, y)) << x << "," << y;
                ++compared;
            }
            if (qAlpha(unlit.pixel(x, y)) == 255) {
                ASSERT_EQ(shown_unlit.pixel(x, y), unlit.pixel(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(compared, 400);
    // The sources sit outside the visible client area.
    EXPECT_FALSE(w.rect().intersects(w.on_led()->geometry()));
    EXPECT_FALSE(w.rect().intersects(w.off_led()->geometry()));
}

// ---- The output-device check ----------------------------------------------------------------

TEST_F(Workbench, WritingWithTheWindowClosedStopsTheRunAndExplains) {
    MachineMode mode_at_box = MachineMode::None;
    ui.on_box = [&] { mode_at_box = machine.status.machine_mode; };
    run({kLdaImmediate, 0x55, kStaAbsolute, 0xF0, 0x20, kJmpAbsolute, 0x40, 0x05});
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "You are trying to write to the 8-Bit LED Display at port $F020 The device is not "
              "plugged in. I am going to put you into STEP mode for your own protection");
    EXPECT_EQ(ui.boxes[0].title, "Output Device Error");
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(mode_at_box, MachineMode::Step); // switched before the box showed
    EXPECT_EQ(value(kLed8BitPort), 0x55);
    EXPECT_EQ(ui.waits, 1); // the run stopped after the writing instruction
}

TEST_F(Workbench, EachWriteToAnAbsentDeviceShowsTheBoxAgain) {
    open().close(); // clears all six flags
    EXPECT_TRUE(flags_plugged(0));
    // The run drops to STEP at the first write and takes one more step (the terminal port,
    // which has no check) before it waits; Step then makes the second write.
    ui.wait_actions.push_back([this] { press("Step"); });
    run({kLdaImmediate, 0x3C, kStaAbsolute, 0xF0, 0x23, kStaAbsolute, 0xF0, 0x28, kStaAbsolute,
         0xF0, 0x23, kJmpAbsolute, 0x40, 0x0B});
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text,
              "You are trying to write to the Dual 7-Segment Decoded at port $F023 The device is "
              "not plugged in. I am going to put you into STEP mode for your own protection");
    EXPECT_EQ(ui.boxes[1].text, ui.boxes[0].text);
    EXPECT_EQ(value(kTerminalPort), 0x3C);
    EXPECT_EQ(ui.waits, 2);
}

TEST_F(Workbench, WithTheWindowOpenTheLedsFollowAndNoBoxShows) {
    Workbench_1& w = open();
    run({kLdaImmediate, 0x55, kStaAbsolute, 0xF0, 0x20, kJmpAbsolute, 0x00, 0x00});
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(lit_leds(w), (std::vector<int>{0, 2, 4, 6}));
}

TEST_F(Workbench, WindowsPlugInTheirRecordsWhileLoaded) {
    EXPECT_TRUE(flags_plugged(0));
    Workbench_1& w = open();
    EXPECT_TRUE(flags_plugged(kPluggedIn));
    EXPECT_EQ(workbench.open_window(), &w); // opens once
    press("Power");
    press("Power");
    EXPECT_TRUE(flags_plugged(kPluggedIn));
    w.close();
    EXPECT_TRUE(flags_plugged(0));
    EXPECT_EQ(workbench.window(), nullptr);

    // The lone display windows plug in one record each; a second close changes nothing.
    const auto check = [this](PluggedWindow&& window, int record) {
        SCOPED_TRACE(record);
        EXPECT_EQ(devices.output(record).installed, kPluggedIn);
        window.close();
        EXPECT_EQ(devices.output(record).installed, 0);
        devices.output(record).installed = kPluggedIn; // as a second window would
        window.close();
        EXPECT_EQ(devices.output(record).installed, kPluggedIn);
        devices.output(record).installed = 0;
    };
    check(seg7(devices), kSevenSegUnencodedDevice);
    check(seg7dec(devices), kSevenSegDecodedDevice);
    check(d8segdec(devices), kDualSevenSegDevice);
    EXPECT_TRUE(flags_plugged(0));
}

TEST_F(Workbench, WindowHasItsControlsInTheirPlaces) {
    Workbench_1& w = open();
    EXPECT_EQ(w.windowTitle(), "Workbench 1");
    EXPECT_EQ(w.size(), QSize(521, 176)); // 7815 x 2640 twips
    const std::vector<std::pair<QString, QRect>> places = {
        {"Switch_2_bit6", QRect(40, 24, 32, 32)},  {"switch_2_bit7", QRect(8, 24, 32, 32)},
        {"switch_2_bit0", QRect(232, 24, 32, 32)}, {"switch_1_bit0", QRect(232, 80, 32, 32)},
        {"switch_1_bit7", QRect(8, 80, 32, 32)},   {"picture2_0", QRect(232, 136, 33, 33)},
        {"picture2_7", QRect(8, 136, 33, 33)},     {"No_decode", QRect(280, 48, 49, 97)},
        {"Decode", QRect(336, 48, 49, 97)},        {"Dual_1", QRect(400, 48, 57, 97)},
        {"Dual_2", QRect(456, 48, 57, 97)},
    };
    for (const auto& [name, place] : places) {
        const auto* control = w.findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_EQ(control->geometry(), place) << name.toStdString();
    }
    const std::vector<QString> captions = {"8-Bit Switch Bank 2", "8-Bit Switch Bank 1",
                                           "8-Bit LEDs",          " 7-Seg Un-Dec",
                                           " 7-Seg Dec",          "Dual 7-Seg Decoded"};
    for (int i = 0; i < kWorkbenchLabelCount; ++i) {
        EXPECT_EQ(w.Label1(i)->text(), captions[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(w.Label1(1)->geometry().top(), 8); // Bank 1 heads the upper row
    // Everything starts off and dark.
    EXPECT_EQ(shown_on(w, SwitchBank::Upper), 0);
    EXPECT_EQ(shown_on(w, SwitchBank::Lower), 0);
    EXPECT_TRUE(lit_leds(w).empty());
    for (const PictureBox* display : {w.No_decode(), w.Decode(), w.Dual_1(), w.Dual_2()}) {
        EXPECT_EQ(display->picture(), picture(kDigitBlankPicture));
    }
}

// ---- Switches -------------------------------------------------------------------------------

TEST_F(Workbench, SwitchClicksSetTheirPortsBit) {
    struct Case {
        const char* name;
        std::vector<std::pair<SwitchBank, int>> clicks;
        int32_t upper_port; // 0xF000
        int32_t lower_port; // 0xF001
    };
    const std::vector<Case> cases = {
        {"lower bits 0 then 7", {{SwitchBank::Lower, 0}, {SwitchBank::Lower, 7}}, 0, 0x81},
        {"Switch_2_bit6 once", {{SwitchBank::Upper, 6}}, 0x40, 0},
        {"Switch_2_bit6 twice", {{SwitchBank::Upper, 6}, {SwitchBank::Upper, 6}}, 0, 0},
        {"every upper switch",
         {{SwitchBank::Upper, 0},
          {SwitchBank::Upper, 1},
          {SwitchBank::Upper, 2},
          {SwitchBank::Upper, 3},
          {SwitchBank::Upper, 4},
          {SwitchBank::Upper, 5},
          {SwitchBank::Upper, 6},
          {SwitchBank::Upper, 7}},
         0xFF,
         0},
        {"one of each", {{SwitchBank::Upper, 2}, {SwitchBank::Lower, 5}}, 0x04, 0x20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workbench_1& w = open();
        workbench.reset_workbench();
        ui.calls.clear();
        const int yields_before = ui.yields;
        for (const auto& [bank, bit] : c.clicks) {
            click(w, bank, bit);
        }
        // The switches look at nothing but themselves: the power is off.
        EXPECT_EQ(machine.status.power_on, 0);
        EXPECT_EQ(value(kSwitchPanel2Port), c.upper_port);
        EXPECT_EQ(value(kSwitchPanel1Port), c.lower_port);
        EXPECT_EQ(shown_on(w, SwitchBank::Upper), c.upper_port);
        EXPECT_EQ(shown_on(w, SwitchBank::Lower), c.lower_port);
        // Each click yields in its key sound and refreshes the walker's column once.
        EXPECT_EQ(ui.yields - yields_before, static_cast<int>(c.clicks.size()));
        EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "reset_walker_column"),
                  static_cast<long>(c.clicks.size()));
        EXPECT_EQ(workbench.switch_1_states[8], 0);
        EXPECT_EQ(workbench.switch_2_states[8], 0);
    }
}

// Space, Enter and an assistive technology's press flip a switch as a click does.
TEST_F(Workbench, TheKeyboardAndThePressActionFlipASwitch) {
    Workbench_1& w = open();
    workbench.reset_workbench();
    PictureBox* lower = w.switch_control(SwitchBank::Lower, 0);
    QTest::keyClick(lower, Qt::Key_Space);
    EXPECT_EQ(value(kSwitchPanel1Port), 0x01);
    QTest::keyClick(lower, Qt::Key_Return);
    EXPECT_EQ(value(kSwitchPanel1Port), 0);

    QAccessibleInterface* face =
        QAccessible::queryAccessibleInterface(w.switch_control(SwitchBank::Upper, 7));
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_EQ(face->text(QAccessible::Name), "8-Bit Switch Bank 1, bit 7");
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(value(kSwitchPanel2Port), 0x80);
    EXPECT_EQ(shown_on(w, SwitchBank::Upper), 0x80);
}

TEST_F(Workbench, ReopenedWindowShowsSwitchesOffWhateverTheirState) {
    Workbench_1& first = open();
    click(first, SwitchBank::Lower, 3);
    click(first, SwitchBank::Lower, 1);
    first.close();
    EXPECT_EQ(value(kSwitchPanel1Port), 0x0A); // the state and the port outlive the window
    EXPECT_EQ(workbench.switch_1_states[3], 1);

    Workbench_1& second = open();
    EXPECT_EQ(shown_on(second, SwitchBank::Lower), 0);
    EXPECT_EQ(value(kSwitchPanel1Port), 0x0A); // loading writes no port
    click(second, SwitchBank::Lower, 3);
    EXPECT_EQ(shown_on(second, SwitchBank::Lower), 0);
    EXPECT_EQ(value(kSwitchPanel1Port), 0x02);
}

// A click handled in the key sound's yield of another: the interrupted toggle stores what it
// read before yielding, and a window closed and deleted meanwhile is left alone.
TEST_F(Workbench, TogglesSurviveWhatHappensInTheirYield) {
    Workbench_1* w = &open();
    bool nested = false;
    user_yield = [&] {
        if (!nested) {
            nested = true;
            click(*w, SwitchBank::Upper, 4);
        }
    };
    click(*w, SwitchBank::Upper, 4);
    user_yield = nullptr;
    EXPECT_EQ(workbench.switch_2_states[4], 1);
    EXPECT_EQ(value(kSwitchPanel2Port), 0x10);

    w->setAttribute(Qt::WA_DeleteOnClose);
    bool closed = false;
    user_yield = [&] {
        if (!closed) {
            closed = true;
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    QPointer<Workbench_1> guard(w);
    click(*w, SwitchBank::Upper, 0);
    user_yield = nullptr;
    EXPECT_TRUE(guard.isNull());
    EXPECT_EQ(workbench.window(), nullptr);
    EXPECT_EQ(value(kSwitchPanel2Port), 0x11);
}

// ---- reset_workbench ------------------------------------------------------------------------

TEST_F(Workbench, PowerResetsTheWorkbenchOnlyWhileItIsOpen) {
    // Closed: nothing changes, not even the switch states or ports.
    workbench.switch_1_states[2] = 1;
    workbench.switch_2_states[8] = 1;
    value(kSwitchPanel1Port) = 0x04;
    workbench.reset_workbench();
    EXPECT_EQ(workbench.switch_1_states[2], 1);
    EXPECT_EQ(value(kSwitchPanel1Port), 0x04);

    for (const char* power : {"on", "off"}) {
        SCOPED_TRACE(power);
        Workbench_1& w = open();
        machine.write_output_port(kLed8BitPort, 0xFF);
        machine.write_output_port(kSevenSegUnencodedPort, 0x7F);
        machine.write_output_port(kSevenSegDecodedPort, 8);
        machine.write_output_port(kDualSevenSegPort, 0x88);
        click(w, SwitchBank::Upper, 7);
        click(w, SwitchBank::Lower, 0);
        press("Power");
        EXPECT_TRUE(lit_leds(w).empty());
        for (const PictureBox* display : {w.No_decode(), w.Decode(), w.Dual_1(), w.Dual_2()}) {
            EXPECT_EQ(display->picture(), picture(kDigitBlankPicture));
        }
        EXPECT_EQ(shown_on(w, SwitchBank::Upper), 0);
        EXPECT_EQ(shown_on(w, SwitchBank::Lower), 0);
        // Switching off clears memory after the workbench reset: the ports are undefined then.
        const int32_t port_value = machine.status.power_on == 1 ? 0 : kUndefinedValue;
        EXPECT_EQ(value(kSwitchPanel2Port), port_value);
        EXPECT_EQ(value(kSwitchPanel1Port), port_value);
        for (std::size_t k = 0; k < 8; ++k) {
            EXPECT_EQ(workbench.switch_1_states[k], 0);
            EXPECT_EQ(workbench.switch_2_states[k], 0);
        }
        EXPECT_EQ(workbench.switch_2_states[8], 1); // belongs to no switch: left alone
        EXPECT_TRUE(flags_plugged(kPluggedIn));
    }
}

} // namespace
} // namespace tallyrig::testing
