#include "shell/files/project_files.h"

#include "common/desktop_actions.h"
#include "common/modal_seam.h"
#include "common/screen_units.h"
#include "core/file_io.h"
#include "core/machine_state.h"
#include "core/recent_files.h"
#include "core/text_helpers.h"
#include "core/user_interface.h"
#include "panel/char_rom.h"
#include "shell/mdi.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <climits>

namespace tallyrig {

namespace {

constexpr const char* kMainWindowTag = "MDI";
constexpr const char* kDefaultProjectName = "/default.prj";
constexpr const char* kMultimediaViewer = "reelshow";
constexpr const char* kMultimediaNotUsed = "Not Used";

int16_t twips(int pixels) {
    return static_cast<int16_t>(std::clamp(pixels_to_twips(pixels), static_cast<int>(INT16_MIN),
                                           static_cast<int>(INT16_MAX)));
}

std::string path_text(const QString& path) {
    return path.toStdString();
}

} // namespace

ProjectFiles::ProjectFiles(MDI& main, ProjectStatus& status, CharRomPaths& char_rom,
                           const Folders& folders, ModalSeam& modal, DesktopActions& desktop,
                           UserInterface& ui)
    : m_main(main), m_status(status), m_char_rom(char_rom), m_folders(folders), m_modal(modal),
      m_desktop(desktop), m_ui(ui) {}

void ProjectFiles::Openrecent_file(const QString& path) {
    if (m_busy) {
        return;
    }
    const QScopedValueRollback busy(m_busy, true);
    if (m_status.is_open) {
        if (!close_open_project()) {
            return;
        }
        // The front panel is the machine itself, and no control brings it back once closed.
        if (!m_main.front_panel_loaded()) {
            m_main.open_front_panel();
        }
    }
    m_status.path = path_text(path);
    load_project_layout();
    add_recent_file(m_folders.settings_file(), m_status.path);
    m_main.read_recent_files();
    get_char_rom_name();
    m_status.is_open = true;
}

void ProjectFiles::open_recent_entry(const QString& entry) {
    const RecentFileTarget target = recent_file_target(path_text(entry));
    if (!target.ambiguous) {
        Openrecent_file(QString::fromStdString(target.path));
        return;
    }
    m_modal.message_box(&m_main,
                        QStringLiteral(" The recent project %1 matches more than one file whose "
                                       "names differ from it only in case. Open the one you mean "
                                       "with Open Project.")
                            .arg(entry),
                        QString::fromLatin1(kOpenProjectTitle), MessageIcon::Exclamation,
                        MessageButtons::Ok);
}

bool ProjectFiles::close_open_project() {
    const MessageAnswer answer = m_modal.message_box_with_default(
        &m_main,
        QStringLiteral("I am just about to open a new project File. Do you wish to save the "
                       "currently open project?"),
        QString::fromLatin1(kOpenProjectTitle), MessageIcon::Question, MessageButtons::YesNoCancel,
        MessageAnswer::No);
    if (answer == MessageAnswer::Cancel) {
        return false;
    }
    if (answer == MessageAnswer::Yes && !save_open_project()) {
        return false;
    }
    m_main.unload_windows(true);
    m_status.is_open = false;
    m_status.path.clear();
    return true;
}

// The file is written whole and renamed into place, so a failed save leaves the old project
// as it was, and the windows stay open for the user to decide.
bool ProjectFiles::save_open_project() {
    m_ui.yield();
    std::vector<ProjectWindow> windows;
    const QList<QWidget*> loaded = m_main.loaded_windows();
    for (auto it = loaded.crbegin(); it != loaded.crend(); ++it) {
        QWidget* window = *it;
        const QString tag = MDI::window_tag(window);
        if (tag == QLatin1String(kMainWindowTag)) {
            continue;
        }
        windows.push_back({tag.toStdString(), twips(window->y()), twips(window->x()),
                           twips(window->width()), twips(window->height())});
    }
    if (write_project_file(m_status.path, windows)) {
        m_ui.yield();
        return true;
    }
    m_modal.message_box(&m_main,
                        QStringLiteral(" The project file %1 could not be saved. The open project "
                                       "and its windows stay as they are.")
                            .arg(QString::fromStdString(m_status.path)),
                        QString::fromLatin1(kOpenProjectTitle), MessageIcon::Exclamation,
                        MessageButtons::Ok);
    return false;
}

void ProjectFiles::load_project_layout() {
    const ProjectReadResult read = read_project_file(m_status.path);
    if (!read.problem.empty()) {
        m_modal.message_box(&m_main,
                            QStringLiteral(" The project file %1 cannot be read. It opens as an "
                                           "empty project.")
                                .arg(QString::fromStdString(m_status.path)),
                            QString::fromLatin1(kOpenProjectTitle), MessageIcon::Exclamation,
                            MessageButtons::Ok);
    }
    const ProjectFile& project = read.project;
    if (!project.multimedia_lab.empty()) {
        m_status.multimedia_lab = project.multimedia_lab;
        m_status.multimedia_lab_copy = project.multimedia_lab;
    }
    for (const ProjectWindow& saved : project.windows) {
        QWidget* window = m_main.open_window_by_tag(QString::fromStdString(saved.name));
        if (window == nullptr) {
            continue;
        }
        window->resize(twips_to_pixels(saved.width), twips_to_pixels(saved.height));
        window->move(twips_to_pixels(saved.left), twips_to_pixels(saved.top));
        window->show();
    }
}

void ProjectFiles::get_char_rom_name() {
    const std::string name = read_project_file(m_status.path).project.char_rom_name;
    if (name.empty()) {
        m_char_rom.char_rom_path = m_char_rom.default_char_rom_path;
        return;
    }
    if (file_exists(name) == kTrue) {
        m_char_rom.char_rom_path = name;
        return;
    }
    m_modal.message_box(&m_main,
                        QStringLiteral("I am unable to find the character ROM that is referenced "
                                       "in your project.I will use the system default"),
                        QStringLiteral("Init Character ROM"), MessageIcon::None,
                        MessageButtons::Ok);
    m_char_rom.char_rom_path = m_char_rom.default_char_rom_path;
}

void ProjectFiles::open_project(bool load_default) {
    if (!load_default) {
        // A name that does not exist yet starts a new project, written at its first save.
        const QString chosen = m_modal.open_or_new_file_name(
            &m_main, QStringLiteral(" Open Project"),
            QString::fromStdString(m_folders.work_folder.string()),
            QStringLiteral("Project file(*.prj)"), QStringLiteral("prj"));
        if (!chosen.isEmpty()) {
            Openrecent_file(chosen);
        }
        return;
    }
    const std::string file = m_status.project_folder + kDefaultProjectName;
    if (file_exists(file) != kTrue) {
        m_modal.message_box(&m_main,
                            QStringLiteral("I tried to load the 'default.prj' file It appears to "
                                           "be missing. You may need to reload your software"),
                            QString::fromLatin1(kOpenProjectTitle), MessageIcon::Critical,
                            MessageButtons::Ok);
        m_status.is_open = false;
        return;
    }
    m_status.path = file;
    load_project_layout();
    get_char_rom_name();
    m_status.is_open = true;
}

void ProjectFiles::start_multimedia_viewer() {
    if (!m_status.is_open) {
        return;
    }
    if (m_status.multimedia_lab_copy != kMultimediaNotUsed) {
        const QString viewer =
            QString::fromStdString((m_folders.root_folder / kMultimediaViewer).string());
        QStringList arguments;
        if (!m_status.multimedia_lab.empty()) {
            arguments << QString::fromStdString(m_status.multimedia_lab);
        }
        if (m_desktop.start_program_with_arguments(
                viewer, arguments, QString::fromStdString(m_folders.root_folder.string()))) {
            return;
        }
    }
    m_modal.message_box(&m_main,
                        QStringLiteral("I am unable to find the Tallyrig multimedia viewer or one "
                                       "of its components"),
                        QStringLiteral("Zobble Multimedia Help"), MessageIcon::None,
                        MessageButtons::OkCancel);
}

} // namespace tallyrig
