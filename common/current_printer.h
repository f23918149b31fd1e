// The one printer of a program: Printer Setup chooses it, and every Print uses it until it is
// chosen again. Both programs keep theirs here.
#pragma once

#include <QtGlobal>
#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace tallyrig {

class ModalSeam;

class CurrentPrinter {
public:
    explicit CurrentPrinter(ModalSeam& modal);
    ~CurrentPrinter();
    Q_DISABLE_COPY_MOVE(CurrentPrinter)

    // The printer setup dialog; cancelling it leaves the printer as it was.
    void set_up(QWidget* parent);

    // Prints the whole of box on the current printer, margins in twips. Until a printer is
    // chosen the print dialog asks where to print (a desktop may have no printer, and the
    // dialog then offers a PDF file); its choice is kept as the current printer.
    enum class Outcome { Printed, Cancelled, Failed };
    Outcome print(QWidget* parent, const QTextDocument& box, int left, int top, int right,
                  int bottom);

private:
    QPrinter& printer();

    ModalSeam& m_modal;
    std::unique_ptr<QPrinter> m_printer; // made at the first setup or print
    bool m_chosen = false;
};

} // namespace tallyrig
