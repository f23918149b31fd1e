// The Insert menu's two submenus of templates, as data: every item's caption is its mnemonic,
// and choosing it inserts the string-table line of its id.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tallyrig {

struct TemplateItem {
    std::string_view caption;
    int16_t id;
    std::string_view name = {}; // the control name, where it is not the prefix and the caption
};

struct TemplateMenu {
    std::string_view name;
    std::string_view caption;
    std::string_view item_prefix;
    std::span<const TemplateItem> items;
};

// "&Directive": its items directly.
const TemplateMenu& directive_menu();
// "&Instruction": one submenu per addressing mode, in menu order.
std::span<const TemplateMenu> instruction_menus();

// The item's control name: the menu's prefix and the caption without its "." unless the item
// names itself.
std::string template_item_name(const TemplateMenu& menu, const TemplateItem& item);

} // namespace tallyrig
