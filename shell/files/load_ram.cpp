// Load RAM: the RAM image the assembler wrote goes into memory, and its name gives the names of
// the data gatherer's dump files.
#include "common/modal_seam.h"
#include "core/machine.h"
#include "core/ram_image.h"
#include "core/text_helpers.h"
#include "shell/mdi.h"
#include "shell/qt_user_interface.h"
#include "shell/tools/data_g.h"
#include "shell/views/view_text.h"

#include <QDir>
#include <QLineEdit>

namespace tallyrig {

void MDI::load_ram_command() {
    if (QDir::setCurrent(qtext(m_folders.data_folder.string()))) {
        load_ram_file();
    }
}

void MDI::load_ram_file() {
    if (!m_machine.power_is_on()) {
        m_modal.message_box(this,
                            QStringLiteral(" You are trying to write to memory but the Tallyrig is "
                                           "not switched on. Try applying power first!"),
                            QStringLiteral("Memory Module Load Error"), MessageIcon::Information,
                            MessageButtons::Ok);
        return;
    }
    const QString chosen = m_modal.open_file_name(this, QStringLiteral("Load RAM File"),
                                                  qtext(m_folders.work_folder.string()),
                                                  QStringLiteral("RAM file(*.ram)"));
    const std::optional<RamImageResult> loaded = m_machine.load_ram_image(chosen.toStdString());
    if (!loaded) {
        return;
    }
    const RamImageResult& result = *loaded;
    if (!result.ok) {
        const QString text =
            result.bytes_stored == 0
                ? QStringLiteral(" The RAM file %1 could not be loaded. %2 Nothing was stored.")
                      .arg(chosen, qtext(result.problem))
                : QStringLiteral(" The RAM file %1 could not be loaded completely. %2 "
                                 "%3 bytes were stored before that point.")
                      .arg(chosen, qtext(result.problem))
                      .arg(result.bytes_stored);
        m_modal.message_box(this, text, QStringLiteral("Memory Module Load Error"),
                            MessageIcon::Exclamation, MessageButtons::Ok);
    }
    if (m_machine.walker_open()) {
        m_ui.update_memory_walker(kRamStart, kWalkerScreenRefreshRows);
    }
    if (DataG* gatherer = data_gatherer()) {
        gatherer->output_file_name()->setText(qtext(m_machine.files.pad_file_path));
    }
    m_ui.yield();
}

} // namespace tallyrig
