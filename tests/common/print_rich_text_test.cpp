// Printing rich text page by page inside margins, read back from the PDF it makes.
#include "common/current_printer.h"
#include "common/print_rich_text.h"
#include "tests/support/pdf_file.h"
#include "tests/support/scripted_modal.h"
#include "tests/support/temp_folder.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <regex>

namespace tallyrig::testing {
namespace {

constexpr int kInch = 1440;

struct RectangleCase {
    QSize paper;
    QPoint offset;
    QMargins margins;
    QRect expected;
};

class DrawingRectangle : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(DrawingRectangle, IsMeasuredFromThePaperEdgesLessThePrintableOffset) {
    const RectangleCase& c = GetParam();
    EXPECT_EQ(drawing_rectangle(c.paper, c.offset, c.margins), c.expected);
}

// Letter paper in twips: 8.5 by 11 inches.
INSTANTIATE_TEST_SUITE_P(
    Twips, DrawingRectangle,
    ::testing::Values(
        // A printable area a quarter inch in: an inch of margin is 1080 twips into it.
        RectangleCase{{12240, 15840},
                      {360, 360},
                      {kInch, kInch, kInch, kInch},
                      QRect(QPoint(1080, 1080), QSize(12240 - 2 * kInch, 15840 - 2 * kInch))},
        RectangleCase{{12240, 15840},
                      {0, 0},
                      {kInch, 720, 2 * kInch, 0},
                      QRect(QPoint(kInch, 720), QSize(12240 - 3 * kInch, 15840 - 720))},
        RectangleCase{{12240, 15840},
                      {200, 100},
                      {0, 0, 0, 0},
                      QRect(QPoint(-200, -100), QSize(12240, 15840))}));

class PrintRichText : public ::testing::Test {
protected:
    PrintRichText() {
        font.setStyleHint(QFont::TypeWriter);
        document.setDefaultFont(font);
    }

    QString pdf_path() const {
        return QString::fromStdString((folder.path() / "out.pdf").string());
    }

    // Prints document to the PDF file through the print dialog, as a program's first print.
    bool print(int margin = kInch) {
        modal.print_to_pdf = pdf_path();
        return CurrentPrinter(modal).print(nullptr, document, margin, margin, margin, margin) ==
               CurrentPrinter::Outcome::Printed;
    }

    void add_lines(int count) {
        QTextCursor cursor(&document);
        for (int n = 1; n <= count; ++n) {
            cursor.insertText(QStringLiteral("line %1\n").arg(n));
        }
    }

    // Lines of the document's font that fit between one-inch margins on the PDF's pages.
    double lines_per_page(const PdfPages& pages) const {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const double line_points =
            QFontMetricsF(font, &printer).height() * 72.0 / printer.logicalDpiY();
        return (pages.height_points - 2 * 72.0) / line_points;
    }

    TempFolder folder;
    ScriptedModal modal;
    QFont font{QStringLiteral("Courier New"), 10};
    QTextDocument document;
};

TEST_F(PrintRichText, AnEmptyTextPrintsOnePage) {
    ASSERT_TRUE(print());
    EXPECT_EQ(read_pdf_pages(pdf_path().toStdString()).count, 1);
    EXPECT_EQ(modal.print_dialogs, 1);
}

// Two and a half pages' worth of lines, so that a line more or less on a page cannot change
// the count: the last half page is printed, and no page comes after it.
TEST_F(PrintRichText, ALongTextPrintsThePagesItsLayoutNeeds) {
    add_lines(1);
    ASSERT_TRUE(print());
    const double per_page = lines_per_page(read_pdf_pages(pdf_path().toStdString()));
    ASSERT_GT(per_page, 20);

    document.clear();
    add_lines(static_cast<int>(std::lround(per_page * 2.5)));
    ASSERT_TRUE(print());
    EXPECT_EQ(read_pdf_pages(pdf_path().toStdString()).count, 3);
}

// Copying or searching the PDF finds each line once, on its own page, in order.
TEST_F(PrintRichText, EachLineIsWrittenOnceOnItsOwnPage) {
    constexpr int kLines = 150;
    add_lines(kLines);
    ASSERT_TRUE(print());
    const std::vector<std::string> pages = read_pdf_text(pdf_path().toStdString());
    ASSERT_GE(pages.size(), 2u) << "is pdftotext (poppler-utils) installed?";
    std::vector<int> found;
    for (const std::string& page : pages) {
        static const std::regex line(R"(line (\d+))");
        for (auto it = std::sregex_iterator(page.begin(), page.end(), line);
             it != std::sregex_iterator(); ++it) {
            found.push_back(std::stoi((*it)[1]));
        }
    }
    std::vector<int> expected(kLines);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(found.size(), expected.size());
    EXPECT_EQ(found, expected);
}

// One printer per program: Printer Setup chooses it, and every print goes there until it is
// chosen again. The first print without one asks once, and its choice is kept.
TEST_F(PrintRichText, EveryPrintGoesToThePrinterLastChosen) {
    add_lines(3);
    const QString first = pdf_path();
    const QString second = QString::fromStdString((folder.path() / "second.pdf").string());
    CurrentPrinter printer(modal);
    const auto print_now = [&] {
        return printer.print(nullptr, document, kInch, kInch, kInch, kInch);
    };

    modal.print_to_pdf = first;
    EXPECT_EQ(print_now(), CurrentPrinter::Outcome::Printed);
    std::filesystem::remove(first.toStdString());
    modal.print_to_pdf.clear();
    EXPECT_EQ(print_now(), CurrentPrinter::Outcome::Printed); // asks no more
    EXPECT_EQ(modal.print_dialogs, 1);
    EXPECT_TRUE(std::filesystem::exists(first.toStdString()));

    modal.set_up_pdf = second;
    printer.set_up(nullptr);
    modal.set_up_pdf.clear();
    printer.set_up(nullptr); // cancelled: the printer stays
    EXPECT_EQ(print_now(), CurrentPrinter::Outcome::Printed);
    EXPECT_EQ(print_now(), CurrentPrinter::Outcome::Printed);
    EXPECT_EQ(modal.printer_dialogs, 2);
    EXPECT_EQ(modal.print_dialogs, 1);
    EXPECT_EQ(read_pdf_pages(second.toStdString()).count, 1);
}

TEST_F(PrintRichText, NothingIsPrintedWhenCancelledOrWithoutRoom) {
    add_lines(3);
    modal.print_to_pdf.clear();
    EXPECT_EQ(CurrentPrinter(modal).print(nullptr, document, kInch, kInch, kInch, kInch),
              CurrentPrinter::Outcome::Cancelled);
    // Margins wider than any paper leave nothing to print on.
    EXPECT_FALSE(print(40 * kInch));
    EXPECT_FALSE(std::filesystem::exists(pdf_path().toStdString()));
}

TEST_F(PrintRichText, APrinterThatCannotPrintFails) {
    add_lines(3);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((folder.path() / "no" / "x.pdf").string()));
    EXPECT_FALSE(print_rich_text(document, printer, kInch, kInch, kInch, kInch));
}

TEST_F(PrintRichText, TheTextOnScreenIsLeftAsItWas) {
    add_lines(200);
    const QString before = document.toPlainText();
    const int screen_pages = document.pageCount();
    ASSERT_TRUE(print());
    EXPECT_EQ(document.toPlainText(), before);
    EXPECT_EQ(document.pageCount(), screen_pages);
    EXPECT_EQ(document.documentLayout()->paintDevice(), nullptr);
}

} // namespace
} // namespace tallyrig::testing
