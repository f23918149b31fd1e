#include "panel/char_rom.h"

#include "core/text_helpers.h"

#include <QImageReader>
#include <QString>

namespace tallyrig {

bool init_char_rom(const Folders& folders, CharRomPaths& paths, UserInterface& ui) {
    paths.default_char_rom_path = folders.config_folder / kDefaultCharRomName;
    paths.char_rom_path = paths.default_char_rom_path;
    if (file_exists(paths.default_char_rom_path.string()) == -1)
        return true;
    ui.message_box("I am unable to find the default character ROM at the following location" +
                       paths.default_char_rom_path.string(),
                   "Init Character ROM", MessageIcon::None, MessageButtons::Ok);
    return false;
}

QImage load_char_rom(const std::filesystem::path& file) {
    QImageReader reader(QString::fromStdString(file.string()));
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    const int needed_width = kGlyphColumns * kGlyphWidth;
    const int needed_height = (kGlyphCount / kGlyphColumns) * kGlyphHeight;
    if (picture.isNull() || picture.width() < needed_width || picture.height() < needed_height) {
        return {};
    }
    return picture;
}

} // namespace tallyrig
