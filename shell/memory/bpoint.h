// The breakpoint dialog of the memory walker: sets and removes the breakpoint of the address
// typed, or clears them all, and marks the walker's rows. The run loop stops before an
// instruction whose cell carries a breakpoint.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;

namespace tallyrig {

class Machine;
class ModalSeam;

class BPoint : public QWidget {
    Q_OBJECT
public:
    // load_walker opens the walker when it is closed: the dialog writes its grid regardless.
    BPoint(Machine& machine, ModalSeam& modal, std::function<void()> load_walker,
           QWidget* parent = nullptr);

    void Command1_Click(); // set
    void Command3_Click(); // remove
    void Command2_Click(); // clear all

    // Clears every breakpoint of addresses 0 to 65,535 and their marks in the walker.
    void clear_break();

private:
    std::optional<int32_t> address();
    void set_breakpoint(bool set, const char* mark);

    Machine& m_machine;
    ModalSeam& m_modal;
    std::function<void()> m_load_walker;
    QLineEdit* m_address = nullptr;
};

} // namespace tallyrig
