#pragma once
// The menu bar built from the program's menu table (resources/menus.h):
// texts with their mnemonics, hints right-aligned after a tab, greyed items,
// the list of last opened files. Every item reports its command code; no
// shortcuts are registered (the accelerator table decides about keys).
#include <QList>
#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace quorby {

class MenuBuilder final : public QObject {
    Q_OBJECT
public:
    using CommandHandler = std::function<void(int code)>;

    MenuBuilder(QMenuBar* bar, CommandHandler handler);

    // The menu at an index of the menu bar (kMenuFile ...), or nullptr.
    QMenu* menu(int index) const;
    int menuCount() const { return int(menus_.size()); }
    // All actions with that code (a code may appear twice: kCmdActualContent, kCmdRedoPreview).
    QList<QAction*> actionsFor(int code) const;
    void setItemEnabled(int code, bool enabled);
    void setItemChecked(int code, bool checked);
    void setMenuEnabled(int index, bool enabled);
    void setRecentFiles(const std::vector<std::string>& entries);

private:
    QAction* addCommand(QMenu* menu, const char* text, const char* hint, int code);

    QMenuBar* bar_;
    CommandHandler handler_;
    std::vector<QMenu*> menus_;
    QList<QAction*> commandActions_;
    QMenu* recentMenu_ = nullptr;
    QAction* recentAnchor_ = nullptr;   // the item the recent files follow
    QList<QAction*> recentActions_;
};

}  // namespace quorby
