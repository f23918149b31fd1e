// The editor's button pictures and icon, drawn here: ImageList1 of the toolbar.
#pragma once

#include <QIcon>
#include <QString>

namespace tallyrig {

// The picture of the toolbar button with this key; a null icon for any other key.
QIcon editor_picture(const QString& key);

// The editor's icon: a page of source.
QIcon editor_icon();

} // namespace tallyrig
