// The find-address dialog of the memory walker: scrolls the walker to the address typed and
// stays open for the next one.
#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;

namespace tallyrig {

class Machine;
class ModalSeam;

class find_add : public QWidget {
    Q_OBJECT
public:
    // load_walker opens the walker when it is closed: the dialog scrolls it regardless.
    find_add(Machine& machine, ModalSeam& modal, std::function<void()> load_walker,
             QWidget* parent = nullptr);

    void Find_Command_Click();
    void Cancel_Command_Click();

private:
    Machine& m_machine;
    ModalSeam& m_modal;
    std::function<void()> m_load_walker;
    QLineEdit* m_address = nullptr;
};

} // namespace tallyrig
