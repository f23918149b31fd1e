// An editor window on a temporary install root, its dialogs answered by a script, its pauses
// recorded instead of waited, and an earlier-copy name of its own.
#pragma once

#include "assembler/assembler_window.h"
#include "common/single_instance.h"
#include "tests/support/scripted_modal.h"
#include "tests/support/temp_install.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

// Test messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tallyrig::testing {

// A unique earlier-copy name, so tests never meet each other or a running editor.
inline QString test_instance_name() {
    static int serial = 0;
    return QStringLiteral("tallyrig-editor-test-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++serial);
}

struct Pause {
    int milliseconds;
    QString status; // the status text while it lasted
    bool operator==(const Pause&) const = default;
};

inline void PrintTo(const Pause& pause, std::ostream* out) {
    *out << pause.milliseconds << " ms \"" << pause.status.toStdString() << '"';
}

// The assembler library as built and staged.
inline const std::filesystem::path kStagedLibrary =
    std::filesystem::path(TALLYRIG_STAGE_DIR) / "bin" / "libasm.so";

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        instance_name = test_instance_name();
        instance = std::make_unique<SingleInstance>(instance_name);
        editor = std::make_unique<Assembler>(program, modal, desktop, *instance);
        editor->set_pause([this](int ms) { pauses.push_back({ms, editor->status_text()}); });
        editor->show();
    }
    void TearDown() override {
        editor.reset();
        instance.reset();
    }

    // Puts a library in the program's own folder under the name the editor loads.
    void install_library(const std::filesystem::path& library = kStagedLibrary) const {
        std::filesystem::copy_file(library, library_path(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::path library_path() const { return program.parent_path() / "libasm.so"; }

    QString work_folder() const { return QString::fromStdString(folders.work_folder.string()); }
    QString work(const char* name) const {
        return QString::fromStdString((folders.work_folder / name).string());
    }
    QString write_work(const char* name, std::string_view bytes) const {
        write_file(folders.work_folder / name, bytes);
        return work(name);
    }
    static std::string bytes_of(const QString& path) { return read_file(path.toStdString()); }

    // Opens a file through the Open dialog.
    void open(const QString& path) {
        modal.file_answers = {path};
        editor->Open_File();
    }
    // Types the text as keys, Return at each "\n".
    void type(const QString& text) {
        const QStringList lines = text.split('\n');
        for (qsizetype n = 0; n < lines.size(); ++n) {
            if (n > 0) {
                QTest::keyClick(editor->text_box(), Qt::Key_Return);
            }
            QTest::keyClicks(editor->text_box(), lines[n]);
        }
    }
    void caret_to_start() { editor->text_box()->moveCursor(QTextCursor::Start); }
    QString text() const { return editor->text_box()->toPlainText(); }
    const FileStatus& file() const { return editor->FIle_status(); }

    TempInstall install;
    const Folders& folders = install.folders;
    const std::filesystem::path program = install.root / "bin" / "assembler";
    ScriptedModal modal;
    RecordingDesktop desktop;
    QString instance_name;
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<Assembler> editor;
    std::vector<Pause> pauses;
};

} // namespace tallyrig::testing
