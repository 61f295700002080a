#pragma once
// The menu bar and the accelerator table: texts, hints and command codes.
#include <cstddef>
#include <cstdint>
#include "core/command_codes.h"
#include "core/keys.h"

namespace quorby {

enum MenuItemKind : std::uint8_t {
    kItem,        // a command
    kGreyItem,    // greyed when the menu is built
    kLabel,       // a disabled label ("LAST OPENED FILES:")
    kRecentFiles, // the place of the ten last opened files (kCmdLastOpenedFile1 .. kCmdLastOpenedFile10)
    kSeparator,
};

struct MenuItemDef {
    const char* text;
    const char* hint;  // shown right-aligned, or nullptr
    int code;
    MenuItemKind kind;
};

struct MenuDef {
    const char* title;
    const MenuItemDef* items;
    std::size_t count;
    bool grey;          // the whole menu starts greyed (the AVI menu)
    int code;           // a menu-bar item of its own: its code (else 0)
};

// The nine menus and the menu bar's own item, in menu-bar order.
const MenuDef* menuBar(std::size_t* count);
inline constexpr int kMenuFile = 0, kMenuEdit = 1, kMenuGoto = 2, kMenuSearch = 3, kMenuCompare = 4,
                     kMenuAvi = 5, kMenuSpecials = 6, kMenuView = 7, kMenuHelp = 8;

// Finds a menu item by its exact text ("Save &File"); nullptr if none.
const MenuItemDef* findMenuItem(const char* text);

struct AcceleratorDef {
    Key key;
    std::uint32_t modifiers;
    int code;
};

const AcceleratorDef* accelerators(std::size_t* count);
// The accelerator code for a key with modifiers, or 0.
[[nodiscard]] int acceleratorCode(Key key, std::uint32_t modifiers);

}  // namespace quorby
