// Load RAM: asks for the RAM image the assembler wrote and stores it into memory; the image
// names the data gatherer's dump files.
#pragma once

#include "core/folders.h"

class QWidget;

namespace tallyrig {

class Machine;
class ModalSeam;

// False when nothing was read: the power is off (a box says so) or no file was chosen. A load
// that stops part way says so in a box and still answers true, for the bytes it stored.
bool load_ram_file(QWidget* parent, Machine& machine, ModalSeam& modal, const Folders& folders);

} // namespace tallyrig
