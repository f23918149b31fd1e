// The data gatherer: switches execution counting on and off, clears the counters and names
// the processed dump that "Output Results" writes beside the program's assembly dump.
#pragma once

#include <QWidget>

class QLineEdit;
class QRadioButton;

namespace tallyrig {

class Machine;

class DataG : public QWidget {
    Q_OBJECT
public:
    explicit DataG(Machine& machine, QWidget* parent = nullptr);

    // The output file box; every change of it names the processed dump.
    QLineEdit* output_file_name() const { return m_output_file_name; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Option1_Click();
    void Option2_Click();
    void Output_Click();
    void Reset_Click();
    void Output_file_name_Change();

    Machine& m_machine;
    QRadioButton* m_off = nullptr;
    QRadioButton* m_on = nullptr;
    QLineEdit* m_output_file_name = nullptr;
};

} // namespace tallyrig
