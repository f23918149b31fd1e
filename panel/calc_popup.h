// The key editor of one programmable key: its code shown, its caption, caption colour and
// tooltip edited. Apply writes them into the key table, relabels every key and closes the
// editor; closing it any other way drops the edits. The key file changes only when the table
// is saved. A right click on another key retargets the open editor.
#pragma once

#include "core/user_interface.h"
#include "panel/button_definitions.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tallyrig {

class Calculator;

class Calc_popup : public QWidget {
    Q_OBJECT
public:
    Calc_popup(ButtonDefinitions& buttons, Calculator& panel, UserInterface& ui,
               QWidget* parent = nullptr);

    // Only "Apply" does anything: the fields go into the record of the key being edited.
    void command_pass(const QString& cmd);

    // Once, when the editor opens: the colour list takes the colour of the key being edited,
    // with a yield before and after. Later retargets keep the list's choice.
    void load();
    // The code, caption and tooltip of the key being edited.
    void show_key();

    bool loaded() const { return m_loaded; }

    QLabel* code_text() const { return m_code_text; }
    QLineEdit* Annotation_text() const { return m_annotation_text; }
    QComboBox* Color_text() const { return m_color_text; }
    QLineEdit* Description_text() const { return m_description_text; }
    QPushButton* Apply() const { return m_apply; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ButtonDefinition& record();

    ButtonDefinitions& m_buttons;
    Calculator& m_panel;
    UserInterface& m_ui;
    bool m_loaded = true;

    QLabel* m_code_text = nullptr;
    QLineEdit* m_annotation_text = nullptr;
    QComboBox* m_color_text = nullptr;
    QLineEdit* m_description_text = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace tallyrig
