// The workbench's pictures, drawn by our own code once and kept while the program runs: the
// 7-segment digit and segment-pattern pictures, the two switch icons and the lit and unlit LED.
// The drivers only choose among them; nothing is drawn when a program writes a port.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <array>
#include <cstdint>

namespace tallyrig {

// Picture ids.
inline constexpr int kDigitZeroPicture = 100;    // digit n = 1..15 is 101 + n; there is no 101
inline constexpr int kDigitBlankPicture = 117;   // all segments dark
inline constexpr int kSegmentPictureBase = 8000; // 8000 + p lights the segments of the bits of p
inline constexpr int kSegmentPatternCount = 128;
inline constexpr int kSwitchOffIcon = 2050;
inline constexpr int kSwitchOnIcon = 2060;

// Segment bits of a pattern.
enum Segment : uint8_t {
    kSegmentA = 1 << 0, // top
    kSegmentB = 1 << 1, // upper right
    kSegmentC = 1 << 2, // lower right
    kSegmentD = 1 << 3, // bottom
    kSegmentE = 1 << 4, // lower left
    kSegmentF = 1 << 5, // upper left
    kSegmentG = 1 << 6, // middle
};

inline constexpr QSize kSegmentPictureSize(48, 91);
inline constexpr QSize kIconSize(32, 32); // switch icons and LED images

// Colours of the 7-segment pictures.
inline constexpr QRgb kSegmentBackground = 0xFF000000; // black
inline constexpr QRgb kSegmentLit = 0xFF00FF00;        // bright green
inline constexpr QRgb kSegmentDark = 0xFF800000;       // dark red

// The digit picture of a hexadecimal digit 0..15.
constexpr int digit_picture_id(int digit) {
    return digit == 0 ? kDigitZeroPicture : kDigitZeroPicture + 1 + digit;
}

// The segments a digit picture lights (ids 100 and 102 to 117); none for any other id.
uint8_t digit_picture_segments(int id);

class WorkbenchPictures {
public:
    WorkbenchPictures();

    // A digit picture, a segment-pattern picture or a switch icon; an unknown id gives the
    // all-dark digit.
    const QPixmap& picture(int id) const;
    const QPixmap& on_led() const { return m_on_led; }
    const QPixmap& off_led() const { return m_off_led; }

    // The drawings themselves.
    static QImage draw_segments(uint8_t lit);
    static QImage draw_switch(bool on);
    static QImage draw_led(bool lit);

private:
    // A digit picture is the segment picture of its pattern, so the digits share these.
    std::array<QPixmap, kSegmentPatternCount> m_segments;
    QPixmap m_switch_off;
    QPixmap m_switch_on;
    QPixmap m_on_led;
    QPixmap m_off_led;
};

} // namespace tallyrig
