#include "platform/qt/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "core/settings_record.h"
#include "platform/qt/glyph_map.h"
#include "resources/menus.h"

namespace quorby {

namespace {

constexpr int kFirstRecentCode = 2;
constexpr const char* kCodeProperty = "quorbyCode";

QString itemText(const char* text, const char* hint) {
    QString shown = QString::fromLatin1(text);
    if (hint) shown += QLatin1Char('\t') + QString::fromLatin1(hint);
    return shown;
}

}  // namespace

MenuBuilder::MenuBuilder(QMenuBar* bar, CommandHandler handler)
    : QObject(bar), bar_(bar), handler_(std::move(handler)) {
    std::size_t count = 0;
    const MenuDef* defs = menuBar(&count);
    for (std::size_t m = 0; m < count; ++m) {
        const MenuDef& def = defs[m];
        if (def.code != 0) {
            addCommand(nullptr, def.title, nullptr, def.code);
            continue;
        }
        QMenu* menu = bar_->addMenu(QString::fromLatin1(def.title));
        menus_.push_back(menu);
        for (std::size_t i = 0; i < def.count; ++i) {
            const MenuItemDef& item = def.items[i];
            switch (item.kind) {
            case kSeparator: menu->addSeparator(); break;
            case kRecentFiles:
                recentMenu_ = menu;
                recentAnchor_ = menu->actions().isEmpty() ? nullptr : menu->actions().back();
                break;
            case kLabel:
            case kGreyItem:
                addCommand(menu, item.text, item.hint, item.code)->setEnabled(false);
                break;
            case kItem: addCommand(menu, item.text, item.hint, item.code); break;
            }
        }
        if (def.grey) menu->menuAction()->setEnabled(false);
    }
}

QAction* MenuBuilder::addCommand(QMenu* menu, const char* text, const char* hint, int code) {
    QAction* action = menu ? menu->addAction(itemText(text, hint)) : bar_->addAction(itemText(text, hint));
    action->setProperty(kCodeProperty, code);
    connect(action, &QAction::triggered, this, [this, code] { handler_(code); });
    commandActions_.append(action);
    return action;
}

QMenu* MenuBuilder::menu(int index) const {
    if (index < 0 || index >= int(menus_.size())) return nullptr;
    return menus_[std::size_t(index)];
}

QList<QAction*> MenuBuilder::actionsFor(int code) const {
    QList<QAction*> found;
    for (QAction* action : commandActions_)
        if (action->property(kCodeProperty).toInt() == code) found.append(action);
    return found;
}

void MenuBuilder::setItemEnabled(int code, bool enabled) {
    for (QAction* action : actionsFor(code)) action->setEnabled(enabled);
}

void MenuBuilder::setItemChecked(int code, bool checked) {
    for (QAction* action : actionsFor(code)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

void MenuBuilder::setMenuEnabled(int index, bool enabled) {
    if (QMenu* m = menu(index)) m->menuAction()->setEnabled(enabled);
}

void MenuBuilder::setRecentFiles(const std::vector<std::string>& entries) {
    if (!recentMenu_) return;
    for (QAction* old : recentActions_) {
        commandActions_.removeOne(old);
        recentMenu_->removeAction(old);
        old->deleteLater();
    }
    recentActions_.clear();
    // Insert before the item that followed the anchor when the menu was built.
    QList<QAction*> all = recentMenu_->actions();
    qsizetype anchorIndex = recentAnchor_ ? all.indexOf(recentAnchor_) : -1;
    QAction* before = anchorIndex + 1 < all.size() ? all[anchorIndex + 1] : nullptr;
    for (std::size_t i = 0; i < entries.size() && i < std::size_t(kLastOpenedCount); ++i) {
        const std::string& entry = entries[i];
        if (entry.empty()) continue;
        const int code = kFirstRecentCode + int(i);
        auto* action = new QAction(fromLogicText(entry), recentMenu_);
        action->setProperty(kCodeProperty, code);
        connect(action, &QAction::triggered, this, [this, code] { handler_(code); });
        recentMenu_->insertAction(before, action);
        recentActions_.append(action);
        commandActions_.append(action);
    }
}

}  // namespace quorby
