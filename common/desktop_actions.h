// What the programs ask of the desktop: start a program, open a document with its default
// handler, find a program on the search path, end at once, beep. Tests replace it with a
// recorder.
#pragma once

#include <QString>
#include <QStringList>
#include <utility>

namespace tallyrig {

// What became of a start or an open; when it failed, why, in words a user can act on.
struct Launch {
    bool done = true;
    QString why;

    static Launch failed(QString why) { return {false, std::move(why)}; }
    explicit operator bool() const { return done; }
};

class DesktopActions {
public:
    virtual ~DesktopActions() = default;

    // Starts a program with no arguments in the given working folder.
    virtual Launch start_program(const QString& program, const QString& working_folder) = 0;

    // The same with arguments; a desktop that cannot pass them starts nothing.
    virtual Launch start_program_with_arguments(const QString& /*program*/,
                                                const QStringList& /*arguments*/,
                                                const QString& /*working_folder*/) {
        return Launch::failed(QStringLiteral("this desktop cannot pass arguments"));
    }

    // Opens a document with the desktop's default handler.
    virtual Launch open_document(const QString& path) = 0;

    // The full path of the first of the names found on the search path; empty when none is.
    virtual QString find_program(const QStringList& names) = 0;

    // Ends the program at once: no window is unloaded and nothing is saved.
    virtual void end_program() = 0;

    // The desktop's own beep.
    virtual void beep() = 0;
};

class SystemDesktopActions : public DesktopActions {
public:
    Launch start_program(const QString& program, const QString& working_folder) override;
    Launch start_program_with_arguments(const QString& program, const QStringList& arguments,
                                        const QString& working_folder) override;
    Launch open_document(const QString& path) override;
    QString find_program(const QStringList& names) override;
    void end_program() override;
    void beep() override;
};

} // namespace tallyrig
