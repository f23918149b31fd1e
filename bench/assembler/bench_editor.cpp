// The editor's speed: from starting the program to its window up and running, opening a
// 10,000-line source and the largest file and longest lines it accepts, inserting a template,
// assembling a 5,000-line source (its pauses not waited), and printing a hundred pages of
// source to a PDF file.
#include "assembler/assembler_window.h"
#include "common/single_instance.h"
#include "tests/support/pdf_file.h"
#include "tests/support/scripted_modal.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QThread>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace tallyrig {
namespace {

constexpr int kSourceLines = 10000;
constexpr int kAssembledLines = 5000;
constexpr int kPrintedPages = 100;
constexpr int kTemplateId = 500;

// An editor with a source of the given number of lines open, and the library beside it.
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
    SingleInstance instance;
    std::unique_ptr<Assembler> window;

    explicit Editor(int lines)
        : instance(QStringLiteral("tallyrig-editor-bench-%1-%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(lines)) {
        const std::filesystem::path base(root.path().toStdString());
        std::filesystem::create_directories(base / "work");
        std::filesystem::create_directories(base / "bin");
        std::filesystem::copy_file(std::filesystem::path(TALLYRIG_STAGE_DIR) / "bin" / "libasm.so",
                                   base / "bin" / "libasm.so");
        const std::filesystem::path source = base / "work" / "long.asm";
        std::ofstream out(source, std::ios::binary);
        out << "          .ORG   $4000 # The start address of the program\r\n";
        for (int i = 1; i < lines - 1; ++i) {
            out << "L" << i << ":    LDA   [$" << std::hex << (0x5000 + i) << std::dec
                << "] # line " << i << "\r\n";
        }
        out << "          .END   0 # The end ofthe program\r\n";
        out.close();
        source_path = QString::fromStdString(source.string());
        window = std::make_unique<Assembler>(base / "bin" / "assembler", modal, desktop, instance);
        window->set_pause([](int) {});
        open();
        window->resize(900, 680);
        window->show();
        QApplication::processEvents();
    }
};

std::map<int, std::unique_ptr<Editor>>& editor_slots() {
    static std::map<int, std::unique_ptr<Editor>> editors;
    return editors;
}

Editor& editor(int lines = kSourceLines) {
    std::unique_ptr<Editor>& slot = editor_slots()[lines];
    if (!slot) {
        slot = std::make_unique<Editor>(lines);
    }
    return *slot;
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

// Opens the bytes as a file of the work folder, painted, on each run; the long source after.
void open_and_paint(benchmark::State& state, Editor& e, const char* name,
                    const std::string& bytes) {
    const QString path = QDir(e.root.path()).filePath(QStringLiteral("work/") + name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    for (auto _ : state) {
        e.modal.file_answers = {path};
        e.window->Open_File();
        e.window->repaint();
    }
    if (e.window->FIle_status().filename != path) {
        state.SkipWithError(e.window->status_text().toStdString().c_str());
    }
    e.open();
}

// Open, painted, of a file of the given size in lines of the given length (CR LF included): the
// largest file and the longest line the editor accepts, each to show within two seconds.
void BM_OpenLargestAccepted(benchmark::State& state) {
    Editor& e = editor();
    const auto total = static_cast<size_t>(state.range(0));
    const auto line_length = static_cast<size_t>(state.range(1));
    std::string line(line_length - 2, ';');
    line += "\r\n";
    std::string bytes;
    bytes.reserve(total);
    while (bytes.size() + line.size() <= total) {
        bytes += line;
    }
    open_and_paint(state, e, "large.asm", bytes);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_OpenLargestAccepted)
    ->Args({kMaxShownBytes, 40})
    ->Args({kMaxShownBytes, kMaxShownLine + 2})
    ->Args({kMaxShownLine + 2, kMaxShownLine + 2})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Open, painted, of a rich-text file whose format changes as often as the editor accepts, in
// lines of a source's length.
void BM_OpenRichTextOfMostFormats(benchmark::State& state) {
    Editor& e = editor();
    std::string bytes = "{\\rtf1\\ansi ";
    // Each piece is two runs: its bold or italic part and the plain part after it.
    for (int64_t n = 0; n < state.range(0) / 2; ++n) {
        bytes += n % 2 == 0 ? "\\b LDA\\b0  [$5000]" : "\\i  # a remark\\i0\\par\r\n";
    }
    bytes += "}";
    open_and_paint(state, e, "formats.rtf", bytes);
}
BENCHMARK(BM_OpenRichTextOfMostFormats)
    ->Arg(static_cast<int64_t>(kMaxShownFormatRuns))
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

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

// Assemble from the menu on a saved source: the text saved, the library's parse, the list
// file looked for, the outcome shown; with the argument 1 the window is painted after each.
void BM_AssembleFiveThousandLines(benchmark::State& state) {
    Editor& e = editor(kAssembledLines);
    const bool paint = state.range(0) == 1;
    for (auto _ : state) {
        e.window->Assemble();
        if (paint) {
            e.window->repaint();
        }
    }
    if (e.window->status_text() != " Cool Beans! Your file was assembled without error!") {
        state.SkipWithError(e.window->status_text().toStdString().c_str());
    }
}
BENCHMARK(BM_AssembleFiveThousandLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Print to a PDF file, the source lines in the editor's own font filling a hundred pages.
void BM_PrintHundredPages(benchmark::State& state) {
    Editor& e = editor(kAssembledLines);
    QPlainTextEdit* text = e.window->text_box();
    const QString pdf = QDir(e.root.path()).filePath(QStringLiteral("source.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const double line_points = QFontMetricsF(text->document()->defaultFont(), &printer).height() *
                               72.0 / printer.logicalDpiY();
    const double page_points = printer.pageLayout().fullRect(QPageLayout::Point).height() - 144;
    const int lines = static_cast<int>((kPrintedPages - 0.5) * page_points / line_points);
    QStringList source;
    for (int n = 1; n <= lines; ++n) {
        source << QStringLiteral("L%1:    LDA   [$%2] # line %1").arg(n).arg(0x5000 + n, 0, 16);
    }
    text->document()->setPlainText(source.join('\n'));
    e.modal.print_to_pdf = pdf;
    for (auto _ : state) {
        e.window->Print_File();
    }
    const int pages = testing::read_pdf_pages(pdf.toStdString()).count;
    state.counters["pages"] = pages;
    if (pages != kPrintedPages) {
        state.SkipWithError("the text did not fill a hundred pages");
    }
    e.open();
}
BENCHMARK(BM_PrintHundredPages)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tallyrig

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tallyrig::editor_slots().clear();
    return 0;
}
