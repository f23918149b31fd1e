// Printing a rich text page by page inside margins, with its fonts and colours. Both programs
// print through here: the simulator its message window, the editor its source.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QPrinter;
class QTextDocument;
class QWidget;

namespace tallyrig {

// The rectangle the text is drawn in, relative to the printable area that starts offset into
// the paper: margins are measured from the paper's edges. All in one unit.
QRect drawing_rectangle(QSize paper, QPoint offset, QMargins margins);

// Prints the whole of box on printer, margins in twips. False when nothing could be printed
// (no printer, a file that cannot be written, margins that leave no room); the job is then
// abandoned.
bool print_rich_text(const QTextDocument& box, QPrinter& printer, int left, int top, int right,
                     int bottom);

} // namespace tallyrig
