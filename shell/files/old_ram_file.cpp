#include "shell/files/old_ram_file.h"

#include "common/modal_seam.h"
#include "core/machine.h"
#include "core/ram_image.h"
#include "core/text_helpers.h"

namespace tallyrig {

void load_old_ram_file(QWidget* parent, Machine& machine, ModalSeam& modal,
                       const Folders& folders) {
    const QString chosen = modal.open_file_name(
        parent, QStringLiteral(" Load RAM to file"),
        QString::fromStdString(folders.work_folder.string()), QStringLiteral("RAM file(*.ram)"));
    if (chosen.isEmpty()) {
        return;
    }
    const OldRamImageResult result = machine.load_old_ram_image(chosen.toStdString());
    // The walker shows what was stored as it shows every byte, in hexadecimal.
    if (result.bytes_stored > 0) {
        machine.ui().update_memory_walker(result.start_address, result.bytes_stored - 1);
    }
    if (!result.ok) {
        QString text = QStringLiteral(" The RAM file has been damaged, sorry ");
        if (!result.mark_missing) {
            text += QString::fromStdString(result.problem);
        }
        modal.message_box(parent, text, QString(), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    machine.ui().update_memory_walker(machine.cpu.program_counter, kWalkerRefreshRows);
    modal.message_box(parent,
                      QString::number(result.bytes_stored) +
                          QStringLiteral(" Bytes of RAM data have been loaded starting at "
                                         "address ") +
                          QString::fromStdString(Statemc_pad_hex(hex_text(result.start_address))),
                      QString(), MessageIcon::None, MessageButtons::Ok);
}

} // namespace tallyrig
