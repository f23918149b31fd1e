// The pictures of the memory walker's toolbar, drawn here rather than loaded from files.
#pragma once

#include <QIcon>
#include <QString>

namespace tallyrig {

inline constexpr int kWalkerPictureSize = 20;

// The picture of the toolbar button with this key ("BREAK", "RAM", ...); an empty icon for
// any other key.
QIcon walker_picture(const QString& key);

} // namespace tallyrig
