// Load RAM: the RAM image the assembler wrote goes into memory, and its name gives the names of
// the data gatherer's dump files.
#include "shell/files/load_ram.h"

#include "common/modal_seam.h"
#include "core/machine.h"
#include "shell/views/view_text.h"

namespace tallyrig {

bool load_ram_file(QWidget* parent, Machine& machine, ModalSeam& modal, const Folders& folders) {
    if (!machine.power_is_on()) {
        modal.message_box(parent,
                          QStringLiteral(" You are trying to write to memory but the Tallyrig is "
                                         "not switched on. Try applying power first!"),
                          QStringLiteral("Memory Module Load Error"), MessageIcon::Information,
                          MessageButtons::Ok);
        return false;
    }
    const QString chosen = modal.open_file_name(parent, QStringLiteral("Load RAM File"),
                                                qtext(folders.work_folder.string()),
                                                QStringLiteral("RAM file(*.ram)"));
    const std::optional<RamImageResult> loaded = machine.load_ram_image(chosen.toStdString());
    if (!loaded) {
        return false;
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
        modal.message_box(parent, text, QStringLiteral("Memory Module Load Error"),
                          MessageIcon::Exclamation, MessageButtons::Ok);
    }
    if (machine.walker_open()) {
        machine.ui().update_memory_walker(kRamStart, kWalkerScreenRefreshRows);
    }
    return true;
}

} // namespace tallyrig
