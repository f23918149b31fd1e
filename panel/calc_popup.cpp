#include "panel/calc_popup.h"

#include "core/text_helpers.h"
#include "panel/calculator.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

namespace tallyrig {

namespace {

// In ColorIndex order: an entry's position is its index.
const char* const kColourNames[] = {"Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan"};

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

Calc_popup::Calc_popup(ButtonDefinitions& buttons, Calculator& panel, UserInterface& ui,
                       QWidget* parent)
    : QWidget(parent, Qt::Tool), m_buttons(buttons), m_panel(panel), m_ui(ui) {
    setObjectName(QStringLiteral("Calc_popup"));
    setWindowTitle(QStringLiteral("Key Editor"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    const auto add_label = [&](const char* name, const char* caption, int row) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setObjectName(QString::fromLatin1(name));
        grid->addWidget(label, row, 0);
    };

    add_label("Label1", "Code:", 0);
    m_code_text = new QLabel(this);
    m_code_text->setObjectName(QStringLiteral("code_text"));
    m_code_text->setTextInteractionFlags(Qt::NoTextInteraction);
    grid->addWidget(m_code_text, 0, 1);

    add_label("Label2", "Annotation:", 1);
    m_annotation_text = new QLineEdit(this);
    m_annotation_text->setObjectName(QStringLiteral("Annotation_text"));
    m_annotation_text->setMaxLength(static_cast<int>(kAnnotationWidth));
    m_annotation_text->setToolTip(QStringLiteral("Button Annotation text ( 5 characters max)"));
    grid->addWidget(m_annotation_text, 1, 1);

    add_label("Label3", "Color:", 2);
    m_color_text = new QComboBox(this);
    m_color_text->setObjectName(QStringLiteral("Color_text"));
    for (const char* name : kColourNames) {
        m_color_text->addItem(QString::fromLatin1(name));
    }
    m_color_text->setCurrentIndex(-1);
    m_color_text->setToolTip(
        QStringLiteral("Select a color for the Annotation text on the calculator button"));
    grid->addWidget(m_color_text, 2, 1);

    add_label("Label4", "Description", 3);
    m_description_text = new QLineEdit(this);
    m_description_text->setObjectName(QStringLiteral("Description_text"));
    m_description_text->setMaxLength(static_cast<int>(kDescriptionWidth));
    m_description_text->setToolTip(QStringLiteral("ToolTip Description 32 char max"));
    m_description_text->setMinimumWidth(m_description_text->fontMetrics().horizontalAdvance(
        QString(static_cast<qsizetype>(kDescriptionWidth), 'M')));
    grid->addWidget(m_description_text, 3, 1);

    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("Apply"));
    m_apply->setToolTip(QStringLiteral("Apply the change "));
    grid->addWidget(m_apply, 4, 1, Qt::AlignRight);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        QPointer<Calc_popup> self(this);
        command_pass(QStringLiteral("Apply"));
        if (self != nullptr) {
            close();
        }
    });
}

ButtonDefinition& Calc_popup::record() {
    const int n = std::clamp<int>(m_buttons.edit_button_index, 0, kProgrammableKeyCount);
    return m_buttons.records[static_cast<std::size_t>(n)];
}

void Calc_popup::load() {
    QPointer<Calc_popup> self(this);
    m_ui.yield();
    if (self == nullptr || !m_loaded) {
        return;
    }
    // An index outside the list selects nothing; Apply then keeps the key's colour.
    const int16_t colour = record().color;
    m_color_text->setCurrentIndex(colour >= 0 && colour < m_color_text->count() ? colour : -1);
    m_ui.yield();
}

void Calc_popup::show_key() {
    const ButtonDefinition& key = record();
    m_code_text->setText(qtext(Statemc_pad2_hex(hex_text(key.code))));
    m_annotation_text->setText(qtext(trim_blanks(key.annotation)));
    m_description_text->setText(qtext(trim_blanks(key.description)));
}

void Calc_popup::command_pass(const QString& cmd) {
    if (cmd != QLatin1String("Apply")) {
        return;
    }
    ButtonDefinition& key = record();
    key.annotation = fit_field(m_annotation_text->text().toStdString(), kAnnotationWidth);
    if (m_color_text->currentIndex() >= 0) {
        key.color = static_cast<int16_t>(m_color_text->currentIndex());
    }
    key.description = fit_field(m_description_text->text().toStdString(), kDescriptionWidth);
    m_panel.apply_button_definitions();
    m_ui.yield();
}

void Calc_popup::closeEvent(QCloseEvent* event) {
    m_loaded = false;
    QWidget::closeEvent(event);
}

} // namespace tallyrig
