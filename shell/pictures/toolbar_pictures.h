// The pictures of the toolbar buttons (the main window's and the message window's) and the
// simulator's own icon, drawn by our code at first use.
#pragma once

#include "common/drawn_pictures.h"

#include <QIcon>
#include <QString>

namespace tallyrig {

// The picture of the toolbar button with this key; a null icon for a key without one.
QIcon toolbar_picture(const QString& key);

// The simulator's icon: a small front panel with its display and keys.
QIcon program_icon();

} // namespace tallyrig
