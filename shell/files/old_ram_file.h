// Load RAM for the older RAM image layout (decimal addresses and bytes). No menu item or
// control reaches it; it stays as a routine.
#pragma once

#include "core/folders.h"

class QWidget;

namespace tallyrig {

class Machine;
class ModalSeam;

void load_old_ram_file(QWidget* parent, Machine& machine, ModalSeam& modal, const Folders& folders);

} // namespace tallyrig
