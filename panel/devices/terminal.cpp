#include "panel/devices/terminal.h"

#include "core/machine.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/text_terminal.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace tallyrig {

namespace {

constexpr const char* kCaption = "Text Terminal";
constexpr QRgb kBlack = qRgb(0, 0, 0);

// The picture the window is built with, until a file replaces it.
constexpr int kOwnPictureWidth = 640;
constexpr int kOwnPictureHeight = 125;

constexpr int kGlyphRows = kGlyphCount / kGlyphColumns;
constexpr int kMargin = 8;
constexpr int kFrameWidth = 3;

} // namespace

// text_screen0: shows the screen picture. Drawing only marks it, once until it is painted, so a
// scroll that draws 544 glyphs is painted once, the next time the event loop runs. A hidden
// screen is painted whole when it shows again.
class ScreenView : public QWidget {
public:
    ScreenView(const QImage& picture, QWidget* parent) : QWidget(parent), m_picture(picture) {
        setObjectName("text_screen0");
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kTerminalScreenWidth, kTerminalScreenHeight);
    }

    void mark() {
        if (!m_marked) {
            m_marked = true;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        m_marked = false;
        QPainter painter(this);
        painter.drawImage(event->rect(), m_picture, event->rect());
    }

private:
    const QImage& m_picture;
    bool m_marked = false;
};

Terminal::Terminal(Machine& machine, DeviceTables& devices, TextTerminal& terminal,
                   const CharRomPaths& char_rom, QWidget* parent)
    : QWidget(parent), m_machine(machine), m_devices(devices), m_terminal(terminal),
      m_char_rom(char_rom), m_rom_char(kOwnPictureWidth, kOwnPictureHeight, QImage::Format_RGB32),
      m_screen(kTerminalScreenWidth, kTerminalScreenHeight, QImage::Format_RGB32) {
    setObjectName("Terminal");
    setWindowTitle(kCaption);
    m_rom_char.fill(kBlack);
    m_screen.fill(kBlack);
    stretch_glyphs();

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel3D1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(kFrameWidth);
    panel->setGeometry(kMargin, kMargin, kTerminalScreenWidth + 2 * kFrameWidth,
                       kTerminalScreenHeight + 2 * kFrameWidth);
    m_text_screen0 = new ScreenView(m_screen, panel);
    m_text_screen0->move(kFrameWidth, kFrameWidth);
    setFixedSize(panel->width() + 2 * kMargin, panel->height() + 2 * kMargin);

    m_devices.output_devices[kTerminalDevice].installed = kPluggedIn;
    m_terminal.terminal_state = TerminalState{};
}

Terminal::~Terminal() = default;

void Terminal::load() {
    load_char_rom_picture();
    if (!m_machine.power_is_on()) {
        return;
    }
    m_text_screen0->show();
    m_text_screen0->mark();
    m_machine.ui().yield();
    // The window may be closed in the yields from here on: nothing of it is touched after this.
    m_terminal.init_text_terminal();
}

// A file that is no such picture leaves the window's own blank one, so the screen stays black.
void Terminal::load_char_rom_picture() {
    const QImage picture = load_char_rom(m_char_rom.char_rom_path);
    if (picture.isNull()) {
        m_machine.ui().message_box("The character ROM " + m_char_rom.char_rom_path.string() +
                                       " is not a picture of 64 by 8 glyphs of 10 by 15 pixels. "
                                       "The terminal shows no text.",
                                   "Init Character ROM", MessageIcon::Exclamation,
                                   MessageButtons::Ok);
    } else {
        m_rom_char = picture.convertToFormat(QImage::Format_RGB32);
    }
    stretch_glyphs();
}

// The stretch repeats each glyph's first column and first row, which the glyphs leave blank,
// so every dot keeps its size and the text stays crisp.
void Terminal::stretch_glyphs() {
    m_glyphs = QImage(kGlyphColumns * kTerminalGlyphWidth, kGlyphRows * kTerminalGlyphHeight,
                      QImage::Format_RGB32);
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        const int left = (glyph % kGlyphColumns) * kTerminalGlyphWidth;
        const int top = (glyph / kGlyphColumns) * kTerminalGlyphHeight;
        for (int y = 0; y < kTerminalGlyphHeight; ++y) {
            const auto* source = reinterpret_cast<const QRgb*>(
                m_rom_char.constScanLine(glyph_y(glyph) + y * kGlyphHeight / kTerminalGlyphHeight));
            auto* target = reinterpret_cast<QRgb*>(m_glyphs.scanLine(top + y)) + left;
            for (int x = 0; x < kTerminalGlyphWidth; ++x) {
                target[x] = source[glyph_x(glyph) + x * kGlyphWidth / kTerminalGlyphWidth];
            }
        }
    }
}

void Terminal::draw_glyph(int glyph, int column, int row) {
    const int left = column * kTerminalCellWidth;
    const int top = row * kTerminalCellHeight;
    if (left < 0 || top < 0 || left >= kTerminalScreenWidth || top >= kTerminalScreenHeight) {
        return;
    }
    const auto width =
        static_cast<std::size_t>(std::min(kTerminalGlyphWidth, kTerminalScreenWidth - left));
    const int height = std::min(kTerminalGlyphHeight, kTerminalScreenHeight - top);
    // Whole scanlines are fetched once per glyph: this runs some 200,000 times a second.
    const qsizetype target_stride = m_screen.bytesPerLine();
    uchar* target = m_screen.bits() + top * target_stride + left * qsizetype{sizeof(QRgb)};
    if (glyph < 0 || glyph >= kGlyphCount) {
        for (int y = 0; y < height; ++y, target += target_stride) {
            std::fill_n(reinterpret_cast<QRgb*>(target), width, kBlack);
        }
    } else {
        const qsizetype source_stride = m_glyphs.bytesPerLine();
        const uchar* source =
            m_glyphs.constBits() + (glyph / kGlyphColumns) * kTerminalGlyphHeight * source_stride +
            (glyph % kGlyphColumns) * kTerminalGlyphWidth * qsizetype{sizeof(QRgb)};
        for (int y = 0; y < height; ++y, target += target_stride, source += source_stride) {
            std::memcpy(target, source, width * sizeof(QRgb));
        }
    }
    m_text_screen0->mark();
}

void Terminal::show_screen() {
    setWindowTitle(kCaption);
    m_text_screen0->show();
    m_text_screen0->mark();
}

void Terminal::blank_screen() {
    m_screen.fill(kBlack);
    m_text_screen0->show();
    m_text_screen0->mark();
}

void Terminal::closeEvent(QCloseEvent* event) {
    m_devices.output_devices[kTerminalDevice].installed = 0;
    QWidget::closeEvent(event);
}

} // namespace tallyrig
