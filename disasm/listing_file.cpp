#include "disasm/listing_file.h"

#include <cstring>

#include "state/error_report.h"

namespace quorby::disasm {

int writeListingFile(AppState& app, const std::string& path) {
    FileHandle handle = kNoFile;
    if (app.files->open(path, OpenMode::Truncate, &handle) != 0) {
        reportError(app, kErrorWriting, path);
        return 1;
    }
    const std::string& name = app.main.mainName;
    const std::string& listing = app.disasm.listing;
    struct Part {
        const char* data;
        std::size_t size;
    };
    const Part parts[] = {
        {kListingFileTitle, std::strlen(kListingFileTitle)},
        {name.data(), name.size()},
        {"\r\n\r\n", 4},
        {listing.data(), listing.size()},
    };
    int result = 0;
    FilePos at = 0;
    for (const Part& part : parts) {
        std::uint32_t done = 0;
        if (part.size != 0 &&
            (app.files->writeAt(handle, at, part.data, std::uint32_t(part.size), &done) != 0 ||
             done != part.size)) {
            reportError(app, kErrorWriting, path);
            result = 1;
        }
        at += part.size;
    }
    app.files->close(handle);
    return result;
}

int saveListing(AppState& app) {
    FileDialogRequest request;
    request.save = true;
    request.title = "Save Assembler Listing";
    request.filterName = "all Files";
    request.filterPattern = "*.*";
    Platform& platform = *app.platform;
    platform.setModelessVisible(ModelessWindow::Disassembly, false);
    const FileDialogResult chosen = platform.fileDialog(request);
    platform.setModelessVisible(ModelessWindow::Disassembly, true);
    if (!chosen.accepted || chosen.path.empty()) return 1;
    if (app.files->exists(chosen.path)) {
        MessageBoxDescription box;
        box.text = "File already exists. Shall it be deleted?";
        box.caption = "Overwrite File?";
        box.buttons = MsgButtons::YesNo;
        box.icon = MsgIcon::Question;
        if (platform.messageBox(box) != MsgAnswer::Yes) return 1;
    }
    return writeListingFile(app, chosen.path);
}

}  // namespace quorby::disasm
