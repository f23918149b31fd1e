// Opening and saving projects: the layout of the tool windows, the character ROM the terminal
// uses and the multimedia item. Opening a project first offers to save the one that is open,
// closes every window, then restores the new project's windows at their places.
#pragma once

#include "core/folders.h"
#include "core/project_file.h"

#include <QString>

namespace tallyrig {

class DesktopActions;
class MDI;
class ModalSeam;
class UserInterface;
struct CharRomPaths;

inline constexpr const char* kOpenProjectTitle = "Open Project";

class ProjectFiles {
public:
    ProjectFiles(MDI& main, ProjectStatus& status, CharRomPaths& char_rom, const Folders& folders,
                 ModalSeam& modal, DesktopActions& desktop, UserInterface& ui);

    const ProjectStatus& status() const { return m_status; }

    // Opens the project file at path: offers to save the open project, then reads the new
    // one, puts it at the head of the recent files and picks its character ROM. A missing file
    // opens as an empty project, written at its first save.
    void Openrecent_file(const QString& path);

    // Opens the project a recent-file entry names, or says why it cannot: an older entry kept
    // in upper case may match several files.
    void open_recent_entry(const QString& entry);

    // Reopens the open project's windows where it says and takes its multimedia item.
    void load_project_layout();

    // The character ROM the open project names, or the default one.
    void get_char_rom_name();

    // With load_default, the default project of the project folder; otherwise the one the
    // user picks in an open dialog.
    void open_project(bool load_default);

    // Starts the multimedia viewer on the project's item.
    void start_multimedia_viewer();

private:
    // The save prompt for the open project and what its answer asks for; false when the
    // user cancels or the project cannot be saved, and nothing has changed.
    bool close_open_project();
    bool save_open_project();

    MDI& m_main;
    ProjectStatus& m_status;
    CharRomPaths& m_char_rom;
    const Folders& m_folders;
    ModalSeam& m_modal;
    DesktopActions& m_desktop;
    UserInterface& m_ui;
    bool m_busy = false; // a yield inside must not start a second opening
};

} // namespace tallyrig
