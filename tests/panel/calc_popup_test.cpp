#include "common/caption_colour.h"
#include "core/text_helpers.h"
#include "panel/calc_popup.h"
#include "tests/panel/panel_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>
#include <map>
#include <vector>

namespace tallyrig::testing {
namespace {

class KeyEditor : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        panel->show();
        key_file = read_file(root.folders.config_folder / "Newbuttons.ini");
    }

    void right_click(int n) {
        QWidget* key = panel->programmable_key(n);
        const QPointF inside(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, inside, key->mapToGlobal(inside),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(key, &press);
    }
    Calc_popup& editor() {
        Calc_popup* open = panel->key_editor();
        if (open == nullptr) {
            throw std::runtime_error("the key editor is not open");
        }
        return *open;
    }
    void type_into(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    void apply() {
        QTest::mouseClick(editor().Apply(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const ButtonDefinition& record(int n) const {
        return buttons.records[static_cast<std::size_t>(n)];
    }

    std::string key_file;
};

TEST_F(KeyEditor, ShowsTheKeyWithEveryCaptionAndTooltip) {
    buttons.records[15].color = kColorBlue;
    right_click(15);
    Calc_popup& e = editor();
    EXPECT_EQ(e.code_text()->text(), "$0A");
    EXPECT_EQ(e.Annotation_text()->text(), "A"); // without the padding blanks
    EXPECT_EQ(e.Description_text()->text(), "Hexadecimal digit A (code $0A)");
    EXPECT_EQ(e.Color_text()->currentText(), "Blue");
    // The code is shown only.
    EXPECT_EQ(e.code_text()->textInteractionFlags(), Qt::NoTextInteraction);
    EXPECT_EQ(e.findChildren<QLineEdit*>().size(), 2);

    const std::vector<std::pair<QString, QString>> captions = {{"Label1", "Code:"},
                                                               {"Label2", "Annotation:"},
                                                               {"Label3", "Color:"},
                                                               {"Label4", "Description"}};
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(e.findChild<QLabel*>(name)->text(), caption);
    }
    EXPECT_EQ(e.Apply()->text(), "Apply");
    EXPECT_EQ(e.Apply()->toolTip(), "Apply the change ");
    EXPECT_EQ(e.Annotation_text()->toolTip(), "Button Annotation text ( 5 characters max)");
    EXPECT_EQ(e.Description_text()->toolTip(), "ToolTip Description 32 char max");
    EXPECT_EQ(e.Color_text()->toolTip(),
              "Select a color for the Annotation text on the calculator button");
    QStringList colours;
    for (int i = 0; i < e.Color_text()->count(); ++i) {
        colours << e.Color_text()->itemText(i);
    }
    EXPECT_EQ(colours, QStringList({"Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan"}));
}

TEST_F(KeyEditor, ApplyRelabelsOnlyThatKeyAndLeavesTheKeyFile) {
    right_click(12);
    const QString key_11 = panel->programmable_key(11)->text();
    type_into(editor().Annotation_text(), "Ab");
    type_into(editor().Description_text(), QString(40, 'x'));
    editor().Color_text()->setCurrentIndex(kColorGreen);
    for (const char* other : {"Use_dfault", "apply", ""}) {
        editor().command_pass(QString::fromLatin1(other)); // only "Apply" does anything
    }
    EXPECT_EQ(record(12).annotation, "OR   ");
    apply();
    EXPECT_EQ(panel->key_editor(), nullptr); // Apply closes the editor
    EXPECT_EQ(record(12).annotation, "Ab   ");
    EXPECT_EQ(record(12).description, std::string(32, 'x'));
    EXPECT_EQ(record(12).color, kColorGreen);
    EXPECT_EQ(record(12).code, 0x7C); // the code stays
    EXPECT_EQ(panel->programmable_key(12)->text(), "Ab");
    EXPECT_EQ(panel->programmable_key(12)->toolTip(), QString(32, 'x'));
    EXPECT_EQ(panel->programmable_key_colour(12), 0xFF00u);
    EXPECT_EQ(panel->programmable_key(11)->text(), key_11);
    EXPECT_EQ(read_file(root.folders.config_folder / "Newbuttons.ini"), key_file);
}

TEST_F(KeyEditor, ApplyKeepsAnUntouchedColourEvenOneOutsideTheList) {
    for (const int16_t colour : {int16_t{kColorMagenta}, int16_t{9}}) {
        SCOPED_TRACE(colour);
        buttons.records[30].color = colour;
        right_click(30);
        EXPECT_EQ(editor().Color_text()->currentIndex(), colour == 9 ? -1 : colour);
        apply();
        EXPECT_EQ(record(30).color, colour);
    }
}

TEST_F(KeyEditor, CaptionsAreFittedInCharacters) {
    right_click(3);
    type_into(editor().Annotation_text(), QString::fromUtf8("Äbcdefg"));
    EXPECT_EQ(editor().Annotation_text()->text(), QString::fromUtf8("Äbcde"));
    type_into(editor().Description_text(), QString::fromUtf8("µs"));
    apply();
    EXPECT_EQ(record(3).annotation, "Äbcde");
    EXPECT_EQ(record(3).description, "µs" + std::string(30, ' '));
    EXPECT_EQ(panel->programmable_key(3)->text(), QString::fromUtf8("Äbcde"));
}

struct CaptionInk {
    bool inside = true; // no ink at the outer edge of the key's label area
    // The contrast against the face that a quarter of the caption's pixels reach: the strokes'
    // cores or their outline, not the blend at their edges.
    double stroke_contrast = 0;
};

// Measures a key as a screenshot shows it: the face is its commonest colour, the caption every
// pixel of the label area far from it.
CaptionInk measure_caption(QPushButton* key) {
    const QImage image = key->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const QRgb face = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                          return a.second < b.second;
                      })->first;
    QStyleOptionButton option;
    option.initFrom(key);
    option.text = key->text();
    const QRect label = key->style()->subElementRect(QStyle::SE_PushButtonContents, &option, key);
    // The face may shade a little from top to bottom; a caption differs from it by far more.
    const auto ink = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        return std::max({std::abs(qRed(p) - qRed(face)), std::abs(qGreen(p) - qGreen(face)),
                         std::abs(qBlue(p) - qBlue(face))}) > 48;
    };
    CaptionInk result;
    std::vector<double> contrasts;
    for (int y = label.top(); y <= label.bottom(); ++y) {
        for (int x = label.left(); x <= label.right(); ++x) {
            if (!ink(x, y))
                continue;
            // The rounded corners of the key's rim reach into the label area's corners.
            const bool beside_corner = y < label.top() + 3 || y > label.bottom() - 3;
            if ((x == label.left() || x == label.right()) && !beside_corner)
                result.inside = false;
            contrasts.push_back(contrast_ratio(QColor(image.pixel(x, y)), QColor(face)));
        }
    }
    if (!contrasts.empty()) {
        const auto quarter = contrasts.begin() + static_cast<std::ptrdiff_t>(contrasts.size() / 4);
        std::nth_element(contrasts.begin(), quarter, contrasts.end(), std::greater<>());
        result.stroke_contrast = *quarter;
    }
    return result;
}

// Whatever the editor allows reads on the key: five letters stay whole on a square key, and
// the caption's outline stands out from the light face at 3:1 or more in every colour.
TEST_F(KeyEditor, EveryCaptionItAllowsReadsWholeOnItsKey) {
    for (const int n : {12, 61, 64}) { // square, short wide and tall wide keys
        for (const char* caption : {"MOVED", "XORAB", "WWWWW", "i"}) {
            for (int colour = kColorBlack; colour <= kColorCyan; ++colour) {
                right_click(n);
                type_into(editor().Annotation_text(), QString::fromLatin1(caption));
                editor().Color_text()->setCurrentIndex(colour);
                apply();
                const CaptionInk ink = measure_caption(panel->programmable_key(n));
                EXPECT_TRUE(ink.inside) << "key " << n << " cuts " << caption;
                EXPECT_GE(ink.stroke_contrast, 3.0)
                    << "key " << n << " " << caption << " in colour " << colour;
            }
        }
    }
}

// A second right click moves the editor to another key; the colour list keeps its choice,
// and Apply writes to the key shown last.
TEST_F(KeyEditor, SecondRightClickRetargetsTheOpenEditor) {
    right_click(12);
    Calc_popup* first = &editor();
    editor().Color_text()->setCurrentIndex(kColorCyan);
    type_into(editor().Annotation_text(), "lost");
    right_click(20);
    EXPECT_EQ(&editor(), first);
    EXPECT_EQ(buttons.edit_button_index, 20);
    EXPECT_EQ(editor().code_text()->text(), "$0D");
    EXPECT_EQ(editor().Annotation_text()->text(), "D");
    EXPECT_EQ(editor().Description_text()->text(), "Hexadecimal digit D (code $0D)");
    EXPECT_EQ(editor().Color_text()->currentIndex(), kColorCyan);
    apply();
    EXPECT_EQ(record(20).color, kColorCyan);
    EXPECT_EQ(record(12).annotation, "OR   ");
    EXPECT_EQ(record(12).color, kColorRed);

    // Key 70 opens on a move with the right button held.
    QWidget* key = panel->programmable_key(70);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), key->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(key, &move);
    EXPECT_EQ(editor().code_text()->text(),
              QString::fromStdString(Statemc_pad2_hex(hex_text(record(70).code))));
}

TEST_F(KeyEditor, ClosingWithoutApplyDiscardsTheEdits) {
    const ButtonDefinition before = record(12);
    right_click(12);
    type_into(editor().Annotation_text(), "gone");
    editor().Color_text()->setCurrentIndex(kColorYellow);
    editor().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(panel->key_editor(), nullptr);
    EXPECT_EQ(record(12).annotation, before.annotation);
    EXPECT_EQ(record(12).color, before.color);
    EXPECT_EQ(panel->programmable_key(12)->text(), "OR");

    // Opened again, it shows the key as it is; closing the front panel closes it too.
    right_click(12);
    EXPECT_EQ(editor().Annotation_text()->text(), "OR");
    EXPECT_EQ(editor().Color_text()->currentIndex(), kColorRed);
    panel->close();
    EXPECT_EQ(panel->key_editor(), nullptr);
}

// Opening yields twice; an editor closed in those yields is not touched again.
TEST_F(KeyEditor, AnEditorClosedWhileOpeningStaysClosed) {
    int yields = 0;
    ui.on_yield = [&] {
        if (++yields == 1 && panel->key_editor() != nullptr) {
            panel->key_editor()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    right_click(12);
    ui.on_yield = nullptr;
    EXPECT_EQ(yields, 1);
    EXPECT_EQ(panel->key_editor(), nullptr);
    right_click(12);
    EXPECT_EQ(editor().Annotation_text()->text(), "OR");
}

} // namespace
} // namespace tallyrig::testing
