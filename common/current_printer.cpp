#include "common/current_printer.h"

#include "common/modal_seam.h"
#include "common/print_rich_text.h"

#include <QPrinter>

namespace tallyrig {

CurrentPrinter::CurrentPrinter(ModalSeam& modal) : m_modal(modal) {}

CurrentPrinter::~CurrentPrinter() = default;

QPrinter& CurrentPrinter::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_printer;
}

void CurrentPrinter::set_up(QWidget* parent) {
    if (m_modal.printer_setup(parent, printer())) {
        m_chosen = true;
    }
}

CurrentPrinter::Outcome CurrentPrinter::print(QWidget* parent, const QTextDocument& box, int left,
                                              int top, int right, int bottom) {
    if (!m_chosen) {
        if (!m_modal.print_dialog(parent, printer())) {
            return Outcome::Cancelled;
        }
        m_chosen = true;
    }
    const bool printed = print_rich_text(box, printer(), left, top, right, bottom);
    // A range of pages is asked for one print, not for every print after it.
    printer().setPrintRange(QPrinter::AllPages);
    printer().setFromTo(0, 0);
    return printed ? Outcome::Printed : Outcome::Failed;
}

} // namespace tallyrig
