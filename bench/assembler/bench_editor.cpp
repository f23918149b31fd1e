// The editor's speed: from starting the program to its window up and running, opening a
// 10,000-line source, and inserting a template into it.
#include "assembler/assembler.h"
#include "common/single_instance.h"
#include "tests/support/scripted_modal.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tallyrig {
namespace {

constexpr int kSourceLines = 10000;
constexpr int kTemplateId = 500;

struct Editor {
    // Opens the long source through the Open dialog.
    void open() {
        modal.file_answers = {source_path};
        window->Open_File();
    }

    QTemporaryDir root;
    testing::ScriptedModal modal;
    testing::RecordingDesktop desktop;
    QString source_path;
    SingleInstance instance{
        QStringLiteral("tallyrig-editor-bench-%1").arg(QCoreApplication::applicationPid())};
    std::unique_ptr<Assembler> window;

    Editor() {
        const std::filesystem::path base(root.path().toStdString());
        std::filesystem::create_directories(base / "work");
        const std::filesystem::path source = base / "work" / "long.asm";
        std::ofstream out(source, std::ios::binary);
        out << "          .ORG   $4000 # The start address of the program\r\n";
        for (int i = 1; i < kSourceLines - 1; ++i) {
            out << "L" << i << ":    LDA   [$" << std::hex << (0x5000 + i) << std::dec
                << "] # line " << i << "\r\n";
        }
        out << "          .END   0 # The end ofthe program\r\n";
        out.close();
        source_path = QString::fromStdString(source.string());
        window = std::make_unique<Assembler>(derive_folders(base / "bin" / "assembler"), modal,
                                             desktop, instance);
        window->set_pause([](int) {});
        open();
        window->resize(900, 680);
        window->show();
        QApplication::processEvents();
    }
};

std::unique_ptr<Editor>& editor_slot() {
    static std::unique_ptr<Editor> slot;
    return slot;
}

Editor& editor() {
    if (!editor_slot()) {
        editor_slot() = std::make_unique<Editor>();
    }
    return *editor_slot();
}

// From starting the program to its event loop running with the window shown: a later copy's
// raise request is handled there, and the earlier copy then closes the connection.
void BM_StartToWindowShown(benchmark::State& state) {
    const QString program = QString::fromStdString(
        (std::filesystem::path(TALLYRIG_STAGE_DIR) / "bin" / "assembler").string());
    for (auto _ : state) {
        QTemporaryDir temp;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), temp.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess process;
        process.setProcessEnvironment(env);
        const QString name =
            QDir(temp.path())
                .filePath(SingleInstance::name_for(QString::fromLatin1(kEditorCaption)));
        QElapsedTimer clock;
        clock.start();
        process.start(program);
        QLocalSocket socket;
        bool answered = false;
        while (!answered && clock.elapsed() < 10000) {
            socket.connectToServer(name);
            if (socket.waitForConnected(5)) {
                answered = socket.waitForDisconnected(5000);
            } else {
                socket.abort();
                QThread::usleep(200);
            }
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        process.kill();
        process.waitForFinished();
        if (!answered) {
            state.SkipWithError("the editor did not come up");
            break;
        }
    }
}
BENCHMARK(BM_StartToWindowShown)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Open, with the window painted once loaded.
void BM_OpenTenThousandLines(benchmark::State& state) {
    Editor& e = editor();
    for (auto _ : state) {
        e.open();
        e.window->repaint();
    }
    if (e.window->text_box()->blockCount() < kSourceLines) {
        state.SkipWithError("the source was not opened");
    }
}
BENCHMARK(BM_OpenTenThousandLines)->Unit(benchmark::kMillisecond);

// One template into the middle of the long source; with the argument 1 the text is painted
// after each, as the screen would show it.
void BM_InsertTemplate(benchmark::State& state) {
    Editor& e = editor();
    e.open();
    QPlainTextEdit* text = e.window->text_box();
    QTextCursor middle = text->textCursor();
    middle.setPosition(text->document()->findBlockByNumber(kSourceLines / 2).position());
    text->setTextCursor(middle);
    e.window->repaint();
    const bool paint = state.range(0) == 1;
    for (auto _ : state) {
        e.window->getstring(kTemplateId);
        if (paint) {
            text->viewport()->repaint();
        }
    }
}
BENCHMARK(BM_InsertTemplate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tallyrig

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tallyrig::editor_slot().reset();
    return 0;
}
