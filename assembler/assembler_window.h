// The editor's one window: the source text, its menus and toolbar, the status bar, and the
// record of the file on show, which is the source, a list file, or untitled text.
#pragma once

#include "assembler/assembler_library.h"
#include "assembler/converter.h"
#include "assembler/rich_text_reader.h"
#include "assembler/source_file.h"
#include "common/current_printer.h"
#include "common/frm_about.h"
#include "core/folders.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QToolBar;

namespace tallyrig {

class DesktopActions;
class ModalSeam;
class SingleInstance;
struct TemplateMenu;

// The caption, and so the title an earlier copy is found by.
inline constexpr const char* kEditorCaption = "Assembler Editor";

using FileStatusFlag = int16_t;

// The file on show. While the list file is on show, filename is the list file.
struct FileStatus {
    QString filename;            // empty while untitled
    QString list_filename;       // list_file_name of the source
    FileStatusFlag has_name = 0; // 1 after Open or Save As, 0 after New
};

// The text box's size in twips from the window's outer size: the window less 100 wide, and
// less the allowance and the status bar high (1,400 on a resize, 1,200 after New, so New
// leaves it taller until the next resize). A height that would be negative is 0.
struct TextBoxSize {
    int width = 0;
    int height = 0;
};
TextBoxSize text_box_size(int outer_width, int outer_height, int status_height, int allowance);

inline constexpr int kResizeAllowance = 1400;
inline constexpr int kNewAllowance = 1200;
inline constexpr int kWidthAllowance = 100;

class Assembler : public QMainWindow {
    Q_OBJECT
public:
    // The folders and the assembler library are found from the program's own path. Finds an
    // earlier copy through instance and raises it; this copy runs on either way.
    Assembler(const std::filesystem::path& program_path, ModalSeam& modal, DesktopActions& desktop,
              SingleInstance& instance, QWidget* parent = nullptr);
    ~Assembler() override;

    // The file commands. Each one that would replace changed text asks first whether to save
    // it, and stays when the user cancels.
    void Init_Editor();
    void New_File();
    void Open_File();
    void Save_File();
    void Save_File_As();
    void Insert_File();
    void View_List_File();
    void View_source_file();
    void Help_About();

    // Inserts the string-table line of a template id, and a line break, at the caret.
    void getstring(int16_t index);
    // Inserts the text and a line break at the caret in place of the selection; the caret
    // stays after them.
    void insert_line(const QString& text);

    // Performs a toolbar key's command; compared exactly, an unknown key does nothing.
    void Toolbar1_ButtonClick(const QString& key);

    // Menu items without a routine of their own. Cut, Copy and Paste hand their keystroke to
    // the focused control, which performs its own clipboard command.
    void mnuCut_Click() { send_keystroke(Qt::Key_X); }
    void mnuCopy_Click() { send_keystroke(Qt::Key_C); }
    void mnuPaste_Click() { send_keystroke(Qt::Key_V); }
    void mnInsert_String_Click();
    void mnuExit_Click();
    // The toolbar's Assemble: the status text drawn, a short pause, then Assemble.
    void assemble_from_toolbar();

    // Saves the text on show and assembles that file through the library; the outcome is in
    // the status bar, and an error's line gets the caret. With the list on show, the source
    // it was made from is assembled instead, unsaved, and the new list shown.
    void Assemble();
    // The caret to the start of the line (1 is the first; a line beyond the last is the end
    // of the text), nothing selected, the text focused.
    void goto_error(int32_t line_no);

    // Searching ignores case and finds text inside words; a match is selected, and without
    // one the caret and selection stay. Find asks for the text and searches the selection, or
    // the whole text when nothing is selected; Find Next searches on from one character past
    // the end of the selection.
    void Find_string();
    void Find_Next();
    void goto_line();
    // The font dialog's font goes to the selection, or to text typed next; also when the
    // dialog is cancelled, when it is the font it was opened with.
    void Set_Font();
    // Chooses the printer Print uses; until then Print asks where to print.
    void Print_setup();
    void Print_File();
    // Makes sure the .END line ends in a line break; no command calls it.
    void fixup_end();

    // How the window waits out its pauses, after the status text is drawn; tests record them.
    void set_pause(std::function<void(int milliseconds)> pause);
    // The system calls a save makes; tests make them fail as a full disk would.
    void set_write_calls(const WriteCalls& calls) { m_write_calls = calls; }

    const FileStatus& FIle_status() const { return m_file; }
    const QString& saved_source_name() const { return m_saved_source_name; }
    const QString& instruction() const { return m_instruction; }
    const QString& sFind() const { return m_sFind; }
    QString status_text() const;
    QPlainTextEdit* text_box() const { return m_text_box; }
    Converter* converter_window() const { return m_converter; }
    frmAbout* about_window() const { return m_about; }

    // True when the text differs from what was last opened, saved or created.
    bool text_changed() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The file as last opened or saved: an unchanged text is written back as these bytes.
    struct CleanText {
        QString text;
        QByteArray bytes;
        SourceFormat format;
        bool from_file = false;
    };

    void build_menus();
    void add_template_items(QMenu* menu, const TemplateMenu& templates);
    void add_template_menu(QMenu* parent, const char* name, const char* caption);
    void build_toolbar();
    void lay_out_text_box(int allowance);

    QString work_folder() const;
    void set_status(const QString& text);
    void pause(int milliseconds);
    QString current_text() const;
    void mark_clean(const QByteArray& bytes, const SourceFormat& format, bool from_file);

    // False when the user keeps the changed text (Cancel, or a save that did not happen).
    bool may_replace_text();
    struct ReadText {
        SourceText source;
        QByteArray bytes;
        std::vector<RichTextRun> runs; // the formats of a rich-text file's text
        bool rich = false;
    };
    // A file's text, if it can be read and shown quickly; else the reason is in the status bar.
    // Formatted, a rich-text file gives its text and formats, not its markup.
    std::optional<ReadText> read_text(const QString& path, bool formatted);
    void apply_runs(const std::vector<RichTextRun>& runs);
    // Reads a file into the text box; false, with the reason in the status bar, when it cannot.
    bool load_file(const QString& path);
    enum class SaveOutcome { Saved, Cancelled, Failed };
    // Writes the text to path; on failure the reason is in the status bar.
    SaveOutcome write_text(const QString& path);
    SaveOutcome save_text();
    SaveOutcome save_text_as();
    void remove_stale_list_file();
    // The list file on show, in place of the source kept in saved_source_name.
    bool showing_list() const;
    // Back from the list to its source; false, with the reason in the status bar, when the
    // source cannot be read.
    bool show_saved_source();
    // The caret to the list's row of a source line, or to the start when it has none.
    void goto_list_row(int32_t line_no);

    void send_keystroke(Qt::Key key);
    int text_length() const;
    // Selects the first match of sFind lying within from..to; false when there is none.
    bool find_text(int from, int to, bool whole_word = false);
    void raise_for_later_copy();

    const Folders m_folders;
    ModalSeam& m_modal;
    DesktopActions& m_desktop;
    AssemblerLibrary m_library;

    FileStatus m_file;
    QString m_saved_source_name;
    QString m_instruction;
    QString m_sFind;
    CurrentPrinter m_printer{m_modal};
    CleanText m_clean;
    std::function<void(int)> m_pause;
    WriteCalls m_write_calls;

    QPlainTextEdit* m_text_box = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_view_list = nullptr;
    QPointer<Converter> m_converter;
    QPointer<frmAbout> m_about;
};

} // namespace tallyrig
