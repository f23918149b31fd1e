#include "common/print_rich_text.h"

#include "common/screen_units.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <memory>

namespace tallyrig {

namespace {

int twips_to_device(int twips, int dpi) {
    return static_cast<int>(static_cast<int64_t>(twips) * dpi / kTwipsPerInch);
}

// Each line is drawn on the page its top lies on, and only there: the whole text drawn
// clipped to the page would also carry, invisibly, the next page's first line at its foot,
// and copying or searching the print would find it twice. Starts at block and returns the
// block the next page starts at, so no page looks at the blocks before it again.
QTextBlock draw_page(QPainter& painter, const QTextDocument& document, QTextBlock block, qreal top,
                     qreal bottom) {
    const QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (; block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (box.top() >= bottom) {
            return block;
        }
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal line_top = box.top() + line.y();
            if (line_top >= top && line_top < bottom) {
                line.draw(&painter, box.topLeft());
            }
        }
        if (box.bottom() > bottom) {
            return block; // its later lines are on the next page
        }
    }
    return block;
}

} // namespace

QRect drawing_rectangle(QSize paper, QPoint offset, QMargins margins) {
    const QPoint top_left(margins.left() - offset.x(), margins.top() - offset.y());
    const QPoint bottom_right((paper.width() - margins.right()) - offset.x(),
                              (paper.height() - margins.bottom()) - offset.y());
    return {top_left, QSize(bottom_right.x() - top_left.x(), bottom_right.y() - top_left.y())};
}

bool print_rich_text(const QTextDocument& box, QPrinter& printer, int left, int top, int right,
                     int bottom) {
    // Everything below is in the printer's pixels, its origin at the printable area.
    const int dpi_x = printer.logicalDpiX();
    const int dpi_y = printer.logicalDpiY();
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
    const QMargins margins(twips_to_device(left, dpi_x), twips_to_device(top, dpi_y),
                           twips_to_device(right, dpi_x), twips_to_device(bottom, dpi_y));
    const QRect drawing =
        drawing_rectangle(paper.size(), printable.topLeft() - paper.topLeft(), margins);
    const QRect page(QPoint(0, 0), printable.size());
    if (drawing.isEmpty()) {
        return false;
    }

    // The box keeps its own layout for the screen; the printer's copy is laid out in pages
    // of the drawing rectangle, each line on one page.
    const std::unique_ptr<QTextDocument> copy(box.clone());
    copy->documentLayout()->setPaintDevice(&printer);
    copy->setDocumentMargin(0);
    QTextOption wrapping = copy->defaultTextOption();
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    copy->setDefaultTextOption(wrapping);
    copy->setPageSize(drawing.size());

    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // Pages the print dialog was asked for; all of them unless a range was chosen there.
    const int first = std::max(printer.fromPage(), 1) - 1;
    const int end =
        printer.toPage() > 0 ? std::min(printer.toPage(), copy->pageCount()) : copy->pageCount();
    const int height = drawing.height();
    QTextBlock next = copy->begin();
    for (int n = first; n < std::max(end, first + 1); ++n) {
        if (n > first && !printer.newPage()) {
            printer.abort();
            return false;
        }
        painter.save();
        painter.setClipRect(drawing.intersected(page));
        painter.translate(drawing.left(), drawing.top() - n * height);
        // Text without a colour of its own prints black.
        painter.setPen(Qt::black);
        const qreal top = static_cast<qreal>(n) * height;
        next = draw_page(painter, *copy, next, top, top + height);
        painter.restore();
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace tallyrig
