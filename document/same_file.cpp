#include "document/same_file.h"

namespace quorby {

bool sameFile(FileIo& files, const std::string& a, const std::string& b) {
    FileIdentity ia, ib;
    if (files.fileIdentity(a, &ia) == 0 && files.fileIdentity(b, &ib) == 0) return ia == ib;
    return files.canonicalPath(a) == files.canonicalPath(b);
}

bool isOpenMainOrJournal(AppState& app, const std::string& name) {
    FileIo& files = *app.files;
    if (app.main.mainHandle != kNoFile) {
        if (sameFile(files, name, app.main.mainName)) return true;
        if (!app.main.devicePath.empty() && sameFile(files, name, app.main.devicePath)) return true;
    }
    return app.journal.handle != kNoFile && sameFile(files, name, app.journal.name);
}

}  // namespace quorby
