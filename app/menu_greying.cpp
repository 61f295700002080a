#include "app/menu_greying.h"

#include "app/dispatch.h"
#include "resources/menus.h"

namespace quorby {

bool commandIsBuilt(int code) {
    const CommandEntry* entry = findCommand(code);
    return entry && entry->handler;
}

void greyMenusAtStart(AppState& app) {
    std::size_t count = 0;
    const MenuDef* menus = menuBar(&count);
    for (std::size_t m = 0; m < count; ++m) {
        const MenuDef& menu = menus[m];
        if (menu.code != 0) {
            if (!commandIsBuilt(menu.code)) app.platform->setMenuItemEnabled(menu.code, false);
            continue;
        }
        if (menu.grey) app.platform->setMenuEnabled(int(m), false);
        for (std::size_t i = 0; i < menu.count; ++i) {
            const MenuItemDef& item = menu.items[i];
            const bool greyed = item.kind == kGreyItem || item.kind == kLabel ||
                                (item.kind == kItem && !commandIsBuilt(item.code));
            if (greyed) app.platform->setMenuItemEnabled(item.code, false);
        }
    }
}

}  // namespace quorby
