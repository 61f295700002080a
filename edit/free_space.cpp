// Free-space checks before operations that write large amounts.
#include "state/error_report.h"
#include "edit/free_space.h"

namespace quorby {

bool hasFreeSpace(AppState& app, const std::string& path, FilePos bytes) {
    DiskSpace space;
    if (app.files->diskSpace(path, &space) != 0) return false;
    return space.freeBytes > bytes;
}

int requireFreeSpace(AppState& app, const std::string& path, FilePos bytes) {
    DiskSpace space;
    if (app.files->diskSpace(path, &space) != 0) {
        reportError(app, kErrorReading, path);
        return 1;
    }
    if (space.freeBytes > bytes) return 0;
    MessageBoxDescription box;
    if (space.totalBytes <= bytes) {
        box.text = "There is not enough free Space on the Drive vor this Action!\nPlease choose another Drive !";
        box.caption = "Not enough Space on this Drive !";
    } else {
        box.text = "There is not enough free Space on the Drive vor this Action!\nPlease choose another Drive\n\n"
                   "or delete unused Files !";
        box.caption = "Not enough free Space !";
    }
    app.platform->messageBox(box);
    return 1;
}

}  // namespace quorby
