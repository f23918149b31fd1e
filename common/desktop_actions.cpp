#include "common/desktop_actions.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

namespace tallyrig {

Launch SystemDesktopActions::start_program(const QString& program, const QString& working_folder) {
    return start_program_with_arguments(program, {}, working_folder);
}

Launch SystemDesktopActions::start_program_with_arguments(const QString& program,
                                                          const QStringList& arguments,
                                                          const QString& working_folder) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(working_folder);
    if (process.startDetached()) {
        return {};
    }
    return Launch::failed(process.errorString());
}

Launch SystemDesktopActions::open_document(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return Launch::failed(QStringLiteral("the file is missing"));
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return {};
    }
    // Without a desktop session Qt hands documents to xdg-open; its absence is the usual cause.
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) {
        return Launch::failed(QStringLiteral("no desktop launcher (xdg-open) is installed"));
    }
    return Launch::failed(QStringLiteral("the desktop launcher (xdg-open) refused it"));
}

QString SystemDesktopActions::find_program(const QStringList& names) {
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

void SystemDesktopActions::end_program() {
    std::fflush(nullptr);
    std::_Exit(0);
}

void SystemDesktopActions::beep() {
    QApplication::beep();
}

} // namespace tallyrig
