// What the shell asks of the desktop: start a program, open a document with its default
// handler, find a program on the search path, end at once. Tests replace it with a recorder.
#pragma once

#include <QString>
#include <QStringList>

namespace tallyrig {

class DesktopActions {
public:
    virtual ~DesktopActions() = default;

    // Starts a program with no arguments in the given working folder; false when it cannot.
    virtual bool start_program(const QString& program, const QString& working_folder) = 0;

    // The same with arguments; a desktop that cannot pass them starts nothing.
    virtual bool start_program_with_arguments(const QString& /*program*/,
                                              const QStringList& /*arguments*/,
                                              const QString& /*working_folder*/) {
        return false;
    }

    // Opens a document with the desktop's default handler; false when it cannot.
    virtual bool open_document(const QString& path) = 0;

    // The full path of the first of the names found on the search path; empty when none is.
    virtual QString find_program(const QStringList& names) = 0;

    // Ends the program at once: no window is unloaded and nothing is saved.
    virtual void end_program() = 0;
};

class SystemDesktopActions : public DesktopActions {
public:
    bool start_program(const QString& program, const QString& working_folder) override;
    bool start_program_with_arguments(const QString& program, const QStringList& arguments,
                                      const QString& working_folder) override;
    bool open_document(const QString& path) override;
    QString find_program(const QStringList& names) override;
    void end_program() override;
};

} // namespace tallyrig
