// The message window: the simulator's only log. The micro-step narration appends its coloured,
// indented lines here while the machine is stepped; the toolbar prints, clears and searches it.
#pragma once

#include "core/user_interface.h"

#include <QString>
#include <QWidget>
#include <vector>

class QPlainTextEdit;
class QStatusBar;
class QToolBar;

namespace tallyrig {

class Machine;
class CurrentPrinter;
class ModalSeam;

// The window's size when it loads, in twips.
inline constexpr int kMessageWindowWidth = 5000;
inline constexpr int kMessageWindowHeight = 3600;
// Printing leaves an inch on every side.
inline constexpr int kMessagePrintMargin = 1440;

class message : public QWidget {
    Q_OBJECT
public:
    message(Machine& machine, ModalSeam& modal, CurrentPrinter& printer, QWidget* parent = nullptr);

    // Puts text at the end of the log in the given style; the caret follows it. The text is
    // written into the box by write_pending, before any event is handled.
    void append_text(const QString& text, const TextStyle& style);
    // Writes what was appended since the last call, in one edit.
    void write_pending();

    // Prints the log with an inch of margin on every side; a failure abandons the print.
    void Print_File();

    // The toolbar's keys: "Print", "Clear", "Find"; any other key does nothing.
    void toolbar_button_click(const QString& key);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_toolbar();
    void clear_log();
    void find_string();
    QSize outer_size() const;

    struct Piece {
        QString text;
        TextStyle style;
    };

    Machine& m_machine;
    ModalSeam& m_modal;
    CurrentPrinter& m_printer;
    QToolBar* m_toolbar = nullptr;
    QPlainTextEdit* m_table = nullptr;
    QStatusBar* m_status = nullptr;
    // One step narrates dozens of pieces; the box takes them in one edit, laid out once.
    std::vector<Piece> m_pending;
    bool m_write_posted = false;
};

} // namespace tallyrig
