#include "panel/devices/workbench_1.h"

#include "common/screen_units.h"
#include "panel/devices/workbench_pictures.h"

#include <QLabel>

namespace tallyrig {

namespace {

constexpr int kClientWidth = 7815; // twips
constexpr int kClientHeight = 2640;

// The switch and LED rows: bit 7 on the left, bit 0 on the right.
constexpr int column_of_bit(int bit) {
    return 3480 - 480 * bit;
}
constexpr int kUpperSwitchTop = 360;
constexpr int kLowerSwitchTop = 1200;
constexpr int kSwitchSize = 480;
constexpr int kLedTop = 2040;
constexpr int kLedSize = 500;

constexpr int kDisplayTop = 720;
constexpr int kDisplayHeight = 1455;
constexpr int kLedImageTop = 1920;
constexpr int kLedImageSize = 565;

struct LabelPlace {
    int left;
    int top;
    int width;
    int height;
    const char* caption;
};

// Label1(0) to Label1(5). The upper bank is captioned Bank 1, the lower Bank 2.
constexpr std::array<LabelPlace, kWorkbenchLabelCount> kLabels = {{
    {120, 960, 1815, 255, "8-Bit Switch Bank 2"},
    {120, 120, 1815, 255, "8-Bit Switch Bank 1"},
    {120, 1800, 975, 255, "8-Bit LEDs"},
    {4200, 240, 735, 375, " 7-Seg Un-Dec"},
    {5040, 240, 615, 375, " 7-Seg Dec"},
    {6120, 240, 1455, 375, "Dual 7-Seg Decoded"},
}};

QString switch_name(SwitchBank bank, int bit) {
    if (bank == SwitchBank::Upper && bit == 6) {
        return QStringLiteral("Switch_2_bit6");
    }
    return QStringLiteral("switch_%1_bit%2").arg(bank == SwitchBank::Lower ? 1 : 2).arg(bit);
}

} // namespace

Workbench_1::Workbench_1(WorkbenchDevices& devices, QWidget* parent)
    : PluggedWindow({&devices.tables().input(kSwitchBank1Device),
                     &devices.tables().input(kSwitchBank2Device),
                     &devices.tables().output(kLed8BitDevice),
                     &devices.tables().output(kSevenSegUnencodedDevice),
                     &devices.tables().output(kSevenSegDecodedDevice),
                     &devices.tables().output(kDualSevenSegDevice)},
                    parent) {
    setObjectName(QStringLiteral("Workbench_1"));
    setWindowTitle(QStringLiteral("Workbench 1"));
    setFixedSize(twips_rect(0, 0, kClientWidth, kClientHeight).size());
    const WorkbenchPictures& pictures = devices.pictures();

    QFont caption_font = font();
    caption_font.setPixelSize(11);
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        const LabelPlace& place = kLabels[i];
        auto* label = new QLabel(QString::fromLatin1(place.caption), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setGeometry(twips_rect(place.left, place.top, place.width, place.height));
        label->setFont(caption_font);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_labels[i] = label;
    }

    for (const SwitchBank bank : {SwitchBank::Upper, SwitchBank::Lower}) {
        const int top = bank == SwitchBank::Upper ? kUpperSwitchTop : kLowerSwitchTop;
        auto& row = bank == SwitchBank::Upper ? m_upper_switches : m_lower_switches;
        // Made from the left, bit 7 first, so Tab walks a row as it reads.
        for (int bit = kSwitchesPerBank - 1; bit >= 0; --bit) {
            auto* control =
                new PictureBox(switch_name(bank, bit),
                               twips_rect(column_of_bit(bit), top, kSwitchSize, kSwitchSize), this);
            control->set_picture(pictures.picture(kSwitchOffIcon));
            control->setCursor(Qt::PointingHandCursor);
            control->answer_keyboard(
                QStringLiteral("%1, bit %2")
                    .arg(QString::fromLatin1(kLabels[bank == SwitchBank::Upper ? 1 : 0].caption))
                    .arg(bit));
            // The devices, not the window, handle the click: the window may close in its yields.
            connect(control, &PictureBox::clicked, this,
                    [&devices, bank, bit] { devices.switch_click(bank, bit); });
            row[static_cast<std::size_t>(bit)] = control;
        }
    }

    for (int k = 0; k < kSwitchesPerBank; ++k) {
        auto* led = new PictureBox(QStringLiteral("picture2_%1").arg(k),
                                   twips_rect(column_of_bit(k), kLedTop, kLedSize, kLedSize), this);
        led->set_picture(pictures.off_led());
        m_leds[static_cast<std::size_t>(k)] = led;
    }

    m_no_decode = add_display("No_decode", 4200, 735);
    m_decode = add_display("Decode", 5040, 735);
    m_dual_1 = add_display("Dual_1", 6000, 855);
    m_dual_2 = add_display("Dual_2", 6840, 855);
    for (PictureBox* display : {m_no_decode, m_decode, m_dual_1, m_dual_2}) {
        display->set_picture(pictures.picture(kDigitBlankPicture));
    }

    // The sources of the LED display, outside the visible client area.
    m_on_led = new PictureBox(QStringLiteral("on_led"),
                              twips_rect(7920, kLedImageTop, kLedImageSize, kLedImageSize), this);
    m_on_led->set_picture(pictures.on_led());
    m_off_led = new PictureBox(QStringLiteral("off_led"),
                               twips_rect(8520, kLedImageTop, kLedImageSize, kLedImageSize), this);
    m_off_led->set_picture(pictures.off_led());
}

PictureBox* Workbench_1::add_display(const char* name, int left, int width) {
    auto* display = new PictureBox(QString::fromLatin1(name),
                                   twips_rect(left, kDisplayTop, width, kDisplayHeight), this);
    display->set_back_colour(QColor::fromRgb(kSegmentBackground));
    return display;
}

PictureBox* Workbench_1::switch_control(SwitchBank bank, int bit) const {
    const auto& row = bank == SwitchBank::Upper ? m_upper_switches : m_lower_switches;
    return row[static_cast<std::size_t>(bit)];
}

} // namespace tallyrig
