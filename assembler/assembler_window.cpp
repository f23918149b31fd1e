#include "assembler/assembler_window.h"

#include "assembler/converter.h"
#include "assembler/insert_menus.h"
#include "assembler/rich_text_reader.h"
#include "assembler/string_table.h"
#include "assembler/toolbar_pictures.h"
#include "common/desktop_actions.h"
#include "common/drawn_pictures.h"
#include "common/frm_about.h"
#include "common/modal_seam.h"
#include "common/screen_units.h"
#include "common/single_instance.h"
#include "core/text_helpers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <QToolBar>
#include <cstdlib>
#include <filesystem>

namespace tallyrig {

namespace {

struct MenuItem {
    const char* menu;    // control name of a new menu; null continues the menu above
    const char* title;   // caption of that menu
    const char* name;    // control name of the item
    const char* caption; // "-" makes a separator
    QKeyCombination shortcut;
    void (Assembler::*command)(); // null: a submenu of templates
};

constexpr QKeyCombination kNoKey{};
constexpr const char* kSeparator = "-";

// Cut, Copy and Paste are the text box's own keys; the menu shows them and, when chosen, hands
// them to the focused control.
constexpr MenuItem kMenuItems[] = {
    {"mnuFile", "&File", "mnuNew", "&New", Qt::CTRL | Qt::Key_N, &Assembler::New_File},
    {nullptr, nullptr, "mnuOpen", "&Open", Qt::CTRL | Qt::Key_O, &Assembler::Open_File},
    {nullptr, nullptr, "mnuSave", "&Save", Qt::CTRL | Qt::Key_S, &Assembler::Save_File},
    {nullptr, nullptr, "mnuSaveas", "&Save &As", kNoKey, &Assembler::Save_File_As},
    {nullptr, nullptr, "Sep1", kSeparator, kNoKey, nullptr},
    {nullptr, nullptr, "mnuAssembler", "A&ssemble", Qt::CTRL | Qt::Key_A, &Assembler::Assemble},
    {nullptr, nullptr, "Sep99", kSeparator, kNoKey, nullptr},
    {nullptr, nullptr, "mnuFont", "&Font", kNoKey, &Assembler::Set_Font},
    {nullptr, nullptr, "Sep5", kSeparator, kNoKey, nullptr},
    {nullptr, nullptr, "mnuPrint_Setup", "Printer Setup", kNoKey, &Assembler::Print_setup},
    {nullptr, nullptr, "mnuPrint", "&Print", Qt::CTRL | Qt::Key_P, &Assembler::Print_File},
    {nullptr, nullptr, "Sep2", kSeparator, kNoKey, nullptr},
    {nullptr, nullptr, "mnuExit", "E&xit", kNoKey, &Assembler::mnuExit_Click},
    {"mnuEdit", "&Edit", "mnuCut", "&Cut", Qt::CTRL | Qt::Key_X, &Assembler::mnuCut_Click},
    {nullptr, nullptr, "mnuCopy", "Cop&y", Qt::CTRL | Qt::Key_C, &Assembler::mnuCopy_Click},
    {nullptr, nullptr, "mnuPaste", "&Paste", Qt::CTRL | Qt::Key_V, &Assembler::mnuPaste_Click},
    {nullptr, nullptr, "mnuFind", "&Find", Qt::CTRL | Qt::Key_F, &Assembler::Find_string},
    {nullptr, nullptr, "mnuNext", "Find &Next", QKeyCombination(Qt::Key_F3), &Assembler::Find_Next},
    {nullptr, nullptr, "mnuGoto_Line", "&Goto Line", Qt::CTRL | Qt::Key_G, &Assembler::goto_line},
    {"mnuInsert", "&Insert", "mnuDirective", "&Directive", kNoKey, nullptr},
    {nullptr, nullptr, "mnuInstruction", "&Instruction", kNoKey, nullptr},
    {nullptr, nullptr, "mnInsert_String", "Insert &String...", kNoKey,
     &Assembler::mnInsert_String_Click},
    {nullptr, nullptr, "mnuInsert_file", "Insert &File...", Qt::CTRL | Qt::Key_I,
     &Assembler::Insert_File},
    {"mnu_window", "&Window", "mnu_Source_FIle", "View Source File", kNoKey,
     &Assembler::View_source_file},
    {nullptr, nullptr, "mnu_View_Listing_FIle", "View List File", kNoKey,
     &Assembler::View_List_File},
    {"mnuhelp", "&Help", "mnuhelpAbout", "H&elp About", kNoKey, &Assembler::Help_About},
};

struct ToolbarButton {
    const char* key;
    const char* tooltip;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {"New", "New File"},           {"Open", "Open File"}, {"Save", "Save File"},
    {"Assemble", "Assemble File"}, {"Print", "Print "},   {"Source", "View Source File"},
    {"List", "View List FIle"},
};

struct KeyCommand {
    const char* key;
    void (Assembler::*command)();
};

// Only the seven buttons above deliver keys; the other rows have no button.
constexpr KeyCommand kToolbarCommands[] = {
    {"New", &Assembler::Init_Editor},      {"Open", &Assembler::Open_File},
    {"Save", &Assembler::Save_File},       {"Assemble", &Assembler::assemble_from_toolbar},
    {"Cut", &Assembler::mnuCut_Click},     {"Find", &Assembler::Find_string},
    {"Find Next", &Assembler::Find_Next},  {"Source", &Assembler::View_source_file},
    {"List", &Assembler::View_List_File},  {"GO", &Assembler::goto_line},
    {"Paste", &Assembler::mnuPaste_Click}, {"Print_Setup", &Assembler::Print_setup},
    {"Print", &Assembler::Print_File},     {"Font", &Assembler::Set_Font},
    {"Help", &Assembler::Help_About},
};

// The editor's title and version in its About box.
constexpr const char* kAboutTitle = "Assembler";
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 6;

const QString kFileFilter = QStringLiteral("Assembler Files (*.asm);;All files (*)");
const QString kDefaultSuffix = QStringLiteral("asm");
const QString kIdleStatus = QStringLiteral(" ");
constexpr int kSavePauseMs = 1000;
constexpr int kAssemblePauseMs = 1000;
constexpr int kToolbarAssemblePauseMs = 10;
constexpr int kPrintMargin = 1440; // one inch on every side
// Goto Line takes a whole number in this range and ignores any other reply.
constexpr int kLowestLine = -32766;
constexpr int kHighestLine = 32767;
constexpr int kRedrawGraceMs = 30;
constexpr double kDesignFontPoints = 9.75;
constexpr int kNewTextFontPoints = 12;
constexpr int kStartWidth = 900;
constexpr int kStartHeight = 680;

QFont courier_new(double points) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(points);
    return font;
}

QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool same_file(const QString& a, const QString& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a.toStdString(), b.toStdString(), ec);
}

} // namespace

TextBoxSize text_box_size(int outer_width, int outer_height, int status_height, int allowance) {
    return {std::abs(outer_width - kWidthAllowance),
            std::max(0, std::abs(outer_height - allowance) - status_height)};
}

Assembler::Assembler(const std::filesystem::path& program_path, ModalSeam& modal,
                     DesktopActions& desktop, SingleInstance& instance, QWidget* parent)
    : QMainWindow(parent), m_folders(derive_folders(program_path)), m_modal(modal),
      m_desktop(desktop), m_library(QString::fromStdString(
                              (program_path.parent_path() / kAssemblerLibraryName).string())) {
    setObjectName(QStringLiteral("Assembler"));
    setWindowTitle(QString::fromLatin1(kEditorCaption));
    m_pause = [this](int milliseconds) {
        // The pause blocks, but a dialog that has just closed leaves its area to be redrawn:
        // the window system is given a moment to say so, so the pause shows the whole window.
        repaint();
        const int grace = std::min(milliseconds, kRedrawGraceMs);
        QThread::msleep(static_cast<unsigned long>(grace));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        repaint();
        QThread::msleep(static_cast<unsigned long>(milliseconds - grace));
    };

    auto* area = new QWidget(this);
    setCentralWidget(area);
    m_text_box = new QPlainTextEdit(area);
    m_text_box->setObjectName(QStringLiteral("RichTextBox1"));
    m_text_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text_box->setFont(courier_new(kDesignFontPoints));
    m_text_box->installEventFilter(this);
    build_menus();
    build_toolbar();
    m_status = new QLabel(kIdleStatus, this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(m_status, 1);
    resize(kStartWidth, kStartHeight);

    if (instance.claim()) {
        instance.on_raise_request([this] { raise_for_later_copy(); });
    } else {
        instance.ask_earlier_copy_to_raise();
    }
    Init_Editor();
}

Assembler::~Assembler() = default;

void Assembler::build_menus() {
    QMenu* menu = nullptr;
    for (const MenuItem& item : kMenuItems) {
        if (item.menu != nullptr) {
            menu = menuBar()->addMenu(QString::fromLatin1(item.title));
            menu->setObjectName(QString::fromLatin1(item.menu));
        }
        if (QLatin1String(item.caption) == QLatin1String(kSeparator)) {
            menu->addSeparator()->setObjectName(QString::fromLatin1(item.name));
            continue;
        }
        if (item.command == nullptr) {
            add_template_menu(menu, item.name, item.caption);
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.shortcut != kNoKey) {
            action->setShortcut(QKeySequence(item.shortcut));
        }
        connect(action, &QAction::triggered, this, item.command);
    }
    m_view_list = findChild<QAction*>(QStringLiteral("mnu_View_Listing_FIle"));
    // Only assembling enables it, once there is a list file to view.
    m_view_list->setEnabled(false);
}

void Assembler::add_template_menu(QMenu* parent, const char* name, const char* caption) {
    const QString menu_name = QString::fromLatin1(name);
    const TemplateMenu& directives = directive_menu();
    if (menu_name == qstring(directives.name)) {
        QMenu* menu = parent->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(menu_name);
        add_template_items(menu, directives);
        return;
    }
    QMenu* instructions = parent->addMenu(QString::fromLatin1(caption));
    instructions->setObjectName(menu_name);
    for (const TemplateMenu& mode : instruction_menus()) {
        QMenu* menu = instructions->addMenu(qstring(mode.caption));
        menu->setObjectName(qstring(mode.name));
        add_template_items(menu, mode);
    }
}

void Assembler::add_template_items(QMenu* menu, const TemplateMenu& templates) {
    for (const TemplateItem& item : templates.items) {
        QAction* action = menu->addAction(qstring(item.caption));
        action->setObjectName(QString::fromStdString(template_item_name(templates, item)));
        const int16_t id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { getstring(id); });
    }
}

void Assembler::build_toolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(kToolbarPictureSize, kToolbarPictureSize));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const ToolbarButton& button : kToolbarButtons) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action = m_toolbar->addAction(editor_picture(key), key);
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setData(key);
        connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
}

void Assembler::Toolbar1_ButtonClick(const QString& key) {
    for (const KeyCommand& entry : kToolbarCommands) {
        if (key == QLatin1String(entry.key)) {
            (this->*entry.command)();
            return;
        }
    }
}

void Assembler::lay_out_text_box(int allowance) {
    // The allowances stand for the frame, menu bar and toolbar around the text box, whose size
    // differs between desktops: the outer size is reckoned from the area below the toolbar, so
    // that a resize fills that area exactly. The text box starts at its top.
    const QWidget* area = centralWidget();
    const int status_height = statusBar()->height() * kTwipsPerPixel;
    const int outer_width = area->width() * kTwipsPerPixel + kWidthAllowance;
    const int outer_height = area->height() * kTwipsPerPixel + status_height + kResizeAllowance;
    const TextBoxSize size = text_box_size(outer_width, outer_height, status_height, allowance);
    m_text_box->setGeometry(0, 0, twips_to_pixels(size.width), twips_to_pixels(size.height));
}

void Assembler::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    lay_out_text_box(kResizeAllowance);
}

bool Assembler::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+A is Assemble here, not the text box's Select All.
    if (watched == m_text_box && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_A)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QString Assembler::work_folder() const {
    return QString::fromStdString(m_folders.work_folder.string());
}

void Assembler::set_pause(std::function<void(int)> pause) {
    m_pause = std::move(pause);
}

void Assembler::pause(int milliseconds) {
    m_pause(milliseconds);
}

void Assembler::set_status(const QString& text) {
    m_status->setText(text);
}

QString Assembler::status_text() const {
    return m_status->text();
}

QString Assembler::current_text() const {
    QString text = m_text_box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

bool Assembler::text_changed() const {
    return m_text_box->document()->isModified() && current_text() != m_clean.text;
}

void Assembler::mark_clean(const QByteArray& bytes, const SourceFormat& format, bool from_file) {
    m_clean = {current_text(), bytes, format, from_file};
    m_text_box->document()->setModified(false);
}

bool Assembler::may_replace_text() {
    if (!text_changed()) {
        return true;
    }
    switch (m_modal.message_box(this,
                                QStringLiteral("The text has changed since it was opened or "
                                               "saved. Do you want to save it first?"),
                                QString(), MessageIcon::Exclamation, MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        return save_text() == SaveOutcome::Saved;
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

void Assembler::Init_Editor() {
    if (!may_replace_text()) {
        return;
    }
    lay_out_text_box(kNewAllowance);
    m_text_box->clear();
    // Text typed into the new file comes in the larger size.
    QTextCharFormat format;
    format.setFont(courier_new(kNewTextFontPoints));
    m_text_box->setCurrentCharFormat(format);
    m_file.has_name = 0;
    m_file.filename.clear();
    m_file.list_filename.clear();
    mark_clean({}, SourceFormat{}, false);
    set_status(kIdleStatus);
}

void Assembler::New_File() {
    Init_Editor();
}

std::optional<Assembler::ReadText> Assembler::read_text(const QString& path, bool formatted) {
    FileBytes file = read_source_file(path);
    QString problem = file.problem;
    std::optional<ReadText> read;
    if (problem.isEmpty()) {
        read = ReadText{decode_source(file.bytes), std::move(file.bytes), {}, false};
        const std::string_view bytes(read->bytes.constData(),
                                     static_cast<size_t>(read->bytes.size()));
        if (formatted && is_rich_text(bytes)) {
            RichText rich = read_rich_text(bytes);
            read->source.text = QString::fromStdU16String(rich.text);
            read->runs = std::move(rich.runs);
            read->rich = true;
        }
        problem = too_long_to_show(read->source.text);
        if (read->runs.size() > kMaxShownFormatRuns) {
            problem = QStringLiteral("its format changes more than %1 times, more than the "
                                     "editor can show quickly")
                          .arg(kMaxShownFormatRuns);
        }
    }
    if (!problem.isEmpty()) {
        set_status(QStringLiteral("Could not open %1: %2").arg(path, problem));
        return std::nullopt;
    }
    return read;
}

bool Assembler::load_file(const QString& path) {
    const std::optional<ReadText> read = read_text(path, true);
    if (!read) {
        return false;
    }
    // A file comes in the text box's own font, whatever New chose for typing.
    m_text_box->document()->setPlainText(read->source.text);
    apply_runs(read->runs);
    m_text_box->moveCursor(QTextCursor::Start);
    // Saving writes plain text: a rich-text file's bytes are never written back as they came.
    if (read->rich) {
        mark_clean({}, SourceFormat{}, false);
    } else {
        mark_clean(read->bytes, read->source.format, true);
    }
    return true;
}

void Assembler::apply_runs(const std::vector<RichTextRun>& runs) {
    // The formats are part of what was opened, not an edit to undo; one edit block lays the
    // text out once, not once a run.
    QTextDocument* document = m_text_box->document();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const RichTextRun& run : runs) {
        QTextCharFormat format;
        format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run.italic);
        format.setFontUnderline(run.underline);
        if (run.points > 0) {
            format.setFontPointSize(run.points);
        }
        if (run.colour) {
            format.setForeground(QColor(static_cast<QRgb>(*run.colour)));
        }
        cursor.setPosition(static_cast<int>(run.start));
        cursor.setPosition(static_cast<int>(run.start + run.length), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(true);
}

void Assembler::Open_File() {
    if (!may_replace_text()) {
        return;
    }
    const QString path =
        m_modal.open_file_name(this, QStringLiteral("Open"), work_folder(), kFileFilter);
    if (path.isEmpty() || !load_file(path)) {
        return;
    }
    m_file.filename = path;
    m_file.has_name = 1;
    m_saved_source_name.clear();
    set_status(QStringLiteral("Open File:") + path);
    m_text_box->setFocus();
    m_text_box->moveCursor(QTextCursor::Start);
    m_file.list_filename = QString::fromStdString(list_file_name(path.toStdString()));
    remove_stale_list_file();
}

void Assembler::remove_stale_list_file() {
    // An old list file would pass for the new text's; the file just opened is never one.
    const QString& list = m_file.list_filename;
    if (names_a_file(list) && !same_file(list, m_file.filename)) {
        QFile::remove(list);
    }
}

Assembler::SaveOutcome Assembler::write_text(const QString& path) {
    const QString text = current_text();
    SourceFormat format = m_clean.format;
    // Unchanged text goes back as the very bytes it came from.
    const QByteArray bytes =
        m_clean.from_file && text == m_clean.text ? m_clean.bytes : encode_source(text, format);
    const QString problem = write_source_file(path, bytes, m_write_calls);
    if (!problem.isEmpty()) {
        set_status(QStringLiteral("Could not save %1: %2").arg(path, problem));
        return SaveOutcome::Failed;
    }
    mark_clean(bytes, format, true);
    return SaveOutcome::Saved;
}

Assembler::SaveOutcome Assembler::save_text() {
    SaveOutcome outcome = SaveOutcome::Cancelled;
    if (m_file.has_name == 1) {
        outcome = write_text(m_file.filename);
        if (outcome == SaveOutcome::Saved) {
            set_status(QStringLiteral("Save open file to the disc"));
            pause(kSavePauseMs);
        }
    } else {
        outcome = save_text_as();
    }
    // A failure's reason stays in the status bar.
    if (outcome != SaveOutcome::Failed) {
        set_status(kIdleStatus);
    }
    return outcome;
}

void Assembler::Save_File() {
    save_text();
}

Assembler::SaveOutcome Assembler::save_text_as() {
    const QString path = m_modal.save_file_name(this, QStringLiteral("Save As"), work_folder(),
                                                kFileFilter, kDefaultSuffix);
    if (path.isEmpty()) {
        return SaveOutcome::Cancelled;
    }
    const SaveOutcome outcome = write_text(path);
    if (outcome != SaveOutcome::Saved) {
        return outcome;
    }
    m_file.filename = path;
    m_file.has_name = 1;
    m_saved_source_name.clear();
    set_status(QStringLiteral("Save File As:") + path);
    pause(kSavePauseMs);
    m_file.list_filename = QString::fromStdString(list_file_name(path.toStdString()));
    return outcome;
}

void Assembler::Save_File_As() {
    save_text_as();
}

void Assembler::Insert_File() {
    const QString path =
        m_modal.open_file_name(this, QStringLiteral("Open"), work_folder(), kFileFilter);
    if (path.isEmpty()) {
        return;
    }
    // A file inserted is read as text, a rich-text one too.
    const std::optional<ReadText> read = read_text(path, false);
    if (!read) {
        return;
    }
    // Every line read comes in with CR LF, the last one too.
    QString lines;
    for (const QString& line : text_lines(read->source.text)) {
        lines += line + QStringLiteral("\r\n");
    }
    if (lines.isEmpty()) {
        return;
    }
    QTextCursor cursor = m_text_box->textCursor();
    cursor.insertText(lines);
    m_text_box->setTextCursor(cursor);
}

void Assembler::insert_line(const QString& text) {
    QTextCursor cursor = m_text_box->textCursor();
    cursor.insertText(text + QStringLiteral("\r\n"));
    m_text_box->setTextCursor(cursor);
}

void Assembler::getstring(int16_t index) {
    const auto text = string_table_text(index);
    if (!text) {
        return;
    }
    m_instruction = qstring(*text);
    insert_line(m_instruction);
}

void Assembler::View_List_File() {
    if (!names_a_file(m_file.list_filename)) {
        m_modal.message_box(this,
                            QStringLiteral(" List file does not exist. To create a list file you "
                                           "first have to save and then assemble the source "
                                           "file!."),
                            QString(), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    if (!may_replace_text() || !load_file(m_file.list_filename)) {
        return;
    }
    // Viewed again, the list is only read afresh: the source it came from stays the one kept.
    if (!showing_list()) {
        m_saved_source_name = m_file.filename;
    }
    m_file.filename = m_file.list_filename;
}

bool Assembler::showing_list() const {
    return !m_saved_source_name.isEmpty() && !m_file.filename.isEmpty() &&
           m_file.filename == m_file.list_filename;
}

bool Assembler::show_saved_source() {
    // A source that has gone from the disk is reported, and the list stays on show.
    if (!load_file(m_saved_source_name)) {
        return false;
    }
    m_file.filename = m_saved_source_name;
    m_saved_source_name.clear();
    return true;
}

void Assembler::View_source_file() {
    if (!names_a_file(m_file.filename)) {
        m_modal.message_box(
            this, QStringLiteral("You must first open the Source file using the Open command"),
            QString(), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    if (!showing_list() || !may_replace_text()) {
        return;
    }
    show_saved_source();
}

void Assembler::Help_About() {
    const AboutInfo info{.window_name = QStringLiteral("About"),
                         .title = QString::fromLatin1(kAboutTitle),
                         .major = kVersionMajor,
                         .minor = kVersionMinor,
                         .revision = kVersionRevision};
    m_about = new frmAbout(info, m_modal, m_desktop, this);
    m_about->setWindowModality(Qt::ApplicationModal);
    m_about->show();
}

void Assembler::mnInsert_String_Click() {
    m_converter = new Converter(
        m_modal, [this](const QString& text) { insert_line(text); }, this);
    m_converter->setAttribute(Qt::WA_DeleteOnClose);
    m_converter->setWindowModality(Qt::ApplicationModal);
    m_converter->show();
}

void Assembler::send_keystroke(Qt::Key key) {
    // The focused control performs its own clipboard command.
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != this) {
        target = m_text_box;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier);
    QCoreApplication::sendEvent(target, &release);
}

void Assembler::assemble_from_toolbar() {
    set_status(kIdleStatus);
    set_status(QStringLiteral("Assembling...."));
    pause(kToolbarAssemblePauseMs);
    Assemble();
}

void Assembler::Assemble() {
    set_status(kIdleStatus);
    set_status(QStringLiteral("Assembling...."));
    pause(kAssemblePauseMs);
    // The list is what assembling writes, never what it reads: with the list on show, the
    // source it was made from is assembled and its new list shown.
    const bool list_on_show = showing_list();
    if (list_on_show && !may_replace_text()) {
        set_status(kIdleStatus);
        return;
    }
    const bool on_disk = names_a_file(list_on_show ? m_saved_source_name : m_file.filename);
    if (!list_on_show) {
        if (!on_disk) {
            set_status(
                QStringLiteral(" You need to save your file first, before I can assemble it!"));
            m_desktop.beep();
        }
        // A text that could not be written is not assembled: the file on the disk is not the
        // text on show. The reason stays in the status bar. A cancelled Save As still
        // assembles, with no file, and the library says it cannot open it.
        if (save_text() == SaveOutcome::Failed) {
            return;
        }
    }
    if (const QString problem = m_library.bind(); !problem.isEmpty()) {
        set_status(problem);
        return;
    }
    const ParseOutputs outputs =
        m_library.parse(list_on_show ? m_saved_source_name : m_file.filename);
    const bool have_list = names_a_file(m_file.list_filename);
    m_view_list->setEnabled(have_list);
    if (list_on_show) {
        // Without a new list there is nothing to show in the old one's place but the source.
        if (have_list) {
            load_file(m_file.list_filename);
        } else {
            show_saved_source();
        }
    }
    if (outputs.error_code <= 0) {
        set_status(on_disk ? QStringLiteral(" Cool Beans! Your file was assembled without error!")
                           : QStringLiteral(" Your file was assembled successfully"));
        return;
    }
    const auto message = string_table_text(kAssemblerMessageBase + outputs.error_code);
    set_status(QStringLiteral("ASSEMBLER ERROR :") + QStringLiteral(" on line : ") +
               QString::number(outputs.line_no) + QStringLiteral(" ") +
               (message ? qstring(*message)
                        : QStringLiteral("(assembler error %1)").arg(outputs.error_code)));
    m_desktop.beep();
    if (showing_list()) {
        goto_list_row(outputs.line_no);
    } else {
        goto_error(outputs.line_no);
    }
}

void Assembler::goto_list_row(int32_t line_no) {
    // A list row begins with its source line's number in five digits.
    const QString number = QStringLiteral("%1 ").arg(line_no, 5, 10, QLatin1Char('0'));
    QTextCursor cursor(m_text_box->document());
    for (QTextBlock row = m_text_box->document()->begin(); line_no > 0 && row.isValid();
         row = row.next()) {
        if (row.text().startsWith(number)) {
            cursor.setPosition(row.position());
            break;
        }
    }
    m_text_box->setTextCursor(cursor);
    m_text_box->setFocus();
}

void Assembler::goto_error(int32_t line_no) {
    // Lines are the text's blocks, so the walk from line end to line end is one look-up.
    QTextCursor cursor(m_text_box->document());
    if (line_no > 1) {
        const QTextBlock line = m_text_box->document()->findBlockByNumber(line_no - 1);
        cursor.setPosition(line.isValid() ? line.position() : text_length());
    }
    m_text_box->setTextCursor(cursor);
    m_text_box->setFocus();
}

int Assembler::text_length() const {
    return m_text_box->document()->characterCount() - 1;
}

bool Assembler::find_text(int from, int to, bool whole_word) {
    if (m_sFind.isEmpty()) {
        return false;
    }
    const QTextDocument::FindFlags flags =
        whole_word ? QTextDocument::FindWholeWords : QTextDocument::FindFlags();
    const QTextCursor found = m_text_box->document()->find(m_sFind, from, flags);
    if (found.isNull() || found.selectionEnd() > to) {
        return false;
    }
    m_text_box->setTextCursor(found);
    m_text_box->setFocus();
    return true;
}

void Assembler::Find_string() {
    m_sFind = m_modal.input_box(this, QStringLiteral("Find what?"), QString(), m_sFind)
                  .value_or(QString());
    const QTextCursor selection = m_text_box->textCursor();
    if (selection.hasSelection()) {
        find_text(selection.selectionStart(), selection.selectionEnd());
    } else {
        find_text(0, text_length());
    }
}

void Assembler::Find_Next() {
    // One past the end, not at it: a match that begins right after the last one is skipped.
    QTextCursor cursor = m_text_box->textCursor();
    const int caret = std::min(cursor.selectionEnd() + 1, text_length());
    cursor.setPosition(caret);
    m_text_box->setTextCursor(cursor);
    find_text(caret, text_length());
}

void Assembler::goto_line() {
    const QString reply =
        m_modal.input_box(this, QStringLiteral("Goto Line ?"), QString(), QString())
            .value_or(QString());
    if (reply.isEmpty()) {
        return;
    }
    bool whole = false;
    const int line = reply.trimmed().toInt(&whole);
    if (!whole || line < kLowestLine || line > kHighestLine) {
        return;
    }
    goto_error(line);
}

void Assembler::Set_Font() {
    // The dialog opens on the font of the selection's first character, or of text typed next.
    QTextCursor cursor = m_text_box->textCursor();
    QTextCursor first(m_text_box->document());
    first.setPosition(cursor.selectionStart());
    if (cursor.hasSelection()) {
        first.movePosition(QTextCursor::NextCharacter);
    }
    const QTextCharFormat shown =
        cursor.hasSelection() ? first.charFormat() : m_text_box->currentCharFormat();
    const QFont initial = shown.font().resolve(m_text_box->document()->defaultFont());
    // The dialog lists only installed families and their styles: it is shown the face that
    // stands in on screen, style included, or it would pick the family's first style, which
    // may be an oblique one.
    const QFontInfo shown_face(initial);
    QFont offered = initial;
    offered.setFamilies({shown_face.family()});
    offered.setStyleName(shown_face.styleName());
    const QFont font = m_modal.font_dialog(this, offered).value_or(initial);
    // The colour the dialog may offer is not taken.
    QTextCharFormat format;
    format.setFontFamilies({font.family()});
    // The dialog shows whole points: a size it was not given another of stays as it was.
    const bool size_kept = qRound(font.pointSizeF()) == qRound(initial.pointSizeF());
    const double size = size_kept ? initial.pointSizeF() : font.pointSizeF();
    if (size > 0) {
        format.setFontPointSize(size);
    }
    format.setFontWeight(font.weight());
    format.setFontItalic(font.italic());
    format.setFontStrikeOut(font.strikeOut());
    format.setFontUnderline(font.underline());
    m_text_box->mergeCurrentCharFormat(format);
}

void Assembler::Print_setup() {
    m_printer.set_up(this);
}

void Assembler::Print_File() {
    set_status(QStringLiteral("Printing File :") + m_file.filename);
    QCoreApplication::processEvents();
    const bool failed =
        m_printer.print(this, *m_text_box->document(), kPrintMargin, kPrintMargin, kPrintMargin,
                        kPrintMargin) == CurrentPrinter::Outcome::Failed;
    // A print that failed says so rather than passing for done.
    const QString name =
        m_file.filename.isEmpty() ? QString() : QStringLiteral(" ") + m_file.filename;
    set_status(failed ? QStringLiteral("Could not print") + name : QString());
}

void Assembler::fixup_end() {
    // First a .END that ends its line, then any .END, which gets a line break after it.
    m_sFind = QStringLiteral(".END\r\n");
    const QTextDocument* document = m_text_box->document();
    for (QTextCursor found =
             document->find(QStringLiteral(".END"), 0, QTextDocument::FindWholeWords);
         !found.isNull();
         found = document->find(QStringLiteral(".END"), found, QTextDocument::FindWholeWords)) {
        if (found.atBlockEnd() && found.block().next().isValid()) {
            m_text_box->setTextCursor(found);
            return;
        }
    }
    m_sFind = QStringLiteral(".END");
    if (find_text(0, text_length(), true)) {
        QTextCursor cursor = m_text_box->textCursor();
        cursor.setPosition(cursor.selectionEnd());
        cursor.insertText(QStringLiteral("\n"));
        m_text_box->setTextCursor(cursor);
    }
}

void Assembler::mnuExit_Click() {
    close();
}

void Assembler::closeEvent(QCloseEvent* event) {
    if (!may_replace_text()) {
        event->ignore();
        return;
    }
    event->accept();
}

void Assembler::raise_for_later_copy() {
    showNormal();
    raise();
    activateWindow();
}

} // namespace tallyrig
