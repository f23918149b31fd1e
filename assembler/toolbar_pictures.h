// The editor's button pictures, 32 by 32, drawn here: ImageList1 of the toolbar.
#pragma once

#include <QPixmap>
#include <QString>

namespace tallyrig {

inline constexpr int kToolbarPictureSize = 32;

// The picture of the toolbar button with this key; an empty picture for any other key.
QPixmap toolbar_picture(const QString& key);

// The program's icon: a source page.
QPixmap program_picture();

} // namespace tallyrig
