#include "shell/views/message.h"

#include "common/current_printer.h"
#include "common/modal_seam.h"
#include "common/screen_units.h"
#include "core/machine.h"
#include "shell/pictures/toolbar_pictures.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <cstdlib>

namespace tallyrig {

namespace {

// What the text leaves of the window, in twips: at load, and at every resize.
constexpr int kLoadWidthLeft = 500;
constexpr int kLoadHeightLeft = 900;
constexpr int kWidthLeft = 250;
constexpr int kHeightLeft = 1000;

struct ToolbarButton {
    const char* key;
    const char* tooltip;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {"Print", "Print the Message Table"},
    {"Clear", "Clear the Window"},
    {"Find", "Find a string"},
};

bool same_style(const TextStyle& a, const TextStyle& b) {
    return a.font_size == b.font_size && a.colour == b.colour && a.bold == b.bold;
}

QTextCharFormat char_format(const TextStyle& style) {
    QTextCharFormat format;
    format.setFontPointSize(style.font_size);
    format.setForeground(bgr_colour(style.colour));
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    return format;
}

} // namespace

message::message(Machine& machine, ModalSeam& modal, CurrentPrinter& printer, QWidget* parent)
    : QWidget(parent), m_machine(machine), m_modal(modal), m_printer(printer) {
    setObjectName(QStringLiteral("message"));
    setWindowTitle(QStringLiteral("Message Window"));

    build_toolbar();
    m_table = new QPlainTextEdit(this);
    m_table->setObjectName(QStringLiteral("message_table"));
    // The log is the machine's narration: it can be read, selected and searched, not edited.
    m_table->setReadOnly(true);
    m_table->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A log of a long session would keep every line twice.
    m_table->setUndoRedoEnabled(false);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_table->setFont(font);
    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);

    m_machine.window_opened(MachineWindow::MessageWindow, true);
    m_table->resize(twips_to_pixels(kMessageWindowWidth - kLoadWidthLeft),
                    twips_to_pixels(kMessageWindowHeight - kLoadHeightLeft));
}

void message::build_toolbar() {
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolbarButton& button : kToolbarButtons) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action = m_toolbar->addAction(toolbar_picture(key), key);
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setData(key);
        connect(action, &QAction::triggered, this, [this, key] { toolbar_button_click(key); });
    }
}

void message::closeEvent(QCloseEvent* event) {
    m_machine.window_opened(MachineWindow::MessageWindow, false);
    QWidget::closeEvent(event);
}

// The rules measure the window from its outer edges, as the frame around it is drawn.
QSize message::outer_size() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget()) != nullptr ? parentWidget()->size()
                                                                   : frameGeometry().size();
}

void message::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QWidget* frame = parentWidget() != nullptr ? parentWidget() : this;
    if (frame->isMinimized()) {
        return;
    }
    const int toolbar_height = m_toolbar->sizeHint().height();
    const int status_height = m_status->sizeHint().height();
    m_toolbar->setGeometry(0, 0, width(), toolbar_height);
    m_status->setGeometry(0, height() - status_height, width(), status_height);
    const QSize outer = outer_size();
    m_table->setGeometry(0, toolbar_height, std::abs(outer.width() - twips_to_pixels(kWidthLeft)),
                         std::abs(outer.height() - twips_to_pixels(kHeightLeft)) - status_height);
}

void message::append_text(const QString& text, const TextStyle& style) {
    if (!m_pending.empty() && same_style(m_pending.back().style, style)) {
        m_pending.back().text += text;
    } else {
        m_pending.push_back({text, style});
    }
    // Whatever runs the event loop next writes it, should the user interface not do so first.
    if (!m_write_posted) {
        m_write_posted = true;
        QTimer::singleShot(0, this, &message::write_pending);
    }
}

void message::write_pending() {
    m_write_posted = false;
    if (m_pending.empty()) {
        return;
    }
    QTextCursor cursor(m_table->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const Piece& piece : m_pending) {
        cursor.insertText(piece.text, char_format(piece.style));
    }
    cursor.endEditBlock();
    m_pending.clear();
    m_table->setTextCursor(cursor);
}

void message::toolbar_button_click(const QString& key) {
    if (key == QLatin1String("Print")) {
        Print_File();
    } else if (key == QLatin1String("Clear")) {
        clear_log();
    } else if (key == QLatin1String("Find")) {
        find_string();
    }
}

void message::Print_File() {
    // The window repaints after the click before the print dialog takes over.
    QCoreApplication::processEvents();
    write_pending();
    m_printer.print(this, *m_table->document(), kMessagePrintMargin, kMessagePrintMargin,
                    kMessagePrintMargin, kMessagePrintMargin);
}

// The caret is left at the start, so the next line starts an empty window.
void message::clear_log() {
    m_pending.clear();
    m_table->clear();
}

// Case is ignored and a match may lie inside a word; with text selected only the selection is
// searched. An empty or cancelled answer changes nothing.
void message::find_string() {
    const std::optional<QString> answer =
        m_modal.input_box(this, QStringLiteral("Find what?"), QString(), QString());
    if (!answer || answer->isEmpty()) {
        return;
    }
    write_pending();
    const QTextCursor selection = m_table->textCursor();
    const bool within = selection.hasSelection();
    const QTextCursor found =
        m_table->document()->find(*answer, within ? selection.selectionStart() : 0);
    if (found.isNull() || (within && found.selectionEnd() > selection.selectionEnd())) {
        return;
    }
    m_table->setTextCursor(found);
    m_table->setFocus();
}

} // namespace tallyrig
