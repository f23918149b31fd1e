#include "common/desktop_actions.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

namespace tallyrig {

bool SystemDesktopActions::start_program(const QString& program, const QString& working_folder) {
    return start_program_with_arguments(program, {}, working_folder);
}

bool SystemDesktopActions::start_program_with_arguments(const QString& program,
                                                        const QStringList& arguments,
                                                        const QString& working_folder) {
    return QProcess::startDetached(program, arguments, working_folder);
}

bool SystemDesktopActions::open_document(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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

} // namespace tallyrig
