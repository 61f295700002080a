#include "document/main_file_bytes.h"

#include <cstring>

#include "journal/command_commit.h"
#include "state/error_report.h"
#include "state/view_state.h"
#include "document/journal_lifecycle.h"

namespace quorby {

int readMainBytes(AppState& app, FilePos pos, std::uint8_t* out, std::uint32_t count, std::uint32_t* got) {
    *got = 0;
    std::memset(out, 0, count);
    if (app.main.mainHandle == kNoFile) return 1;
    if (app.files->readAt(app.main.mainHandle, pos, out, count, got) != 0) {
        reportError(app, kErrorReading, app.main.mainName);
        return 1;
    }
    return 0;
}

int writeMainBytes(AppState& app, FilePos pos, const std::uint8_t* data, std::uint32_t count) {
    if (app.main.mainHandle == kNoFile) return 1;
    JournalFile& jf = app.journal;
    if (jf.handle != kNoFile) {
        // The header says that the Main File is being written: a later
        // commit carries it, so a program killed after it finds its own
        // change at the next start, not a foreign one. Before the commit the
        // rollback file takes the write back.
        const bool marked = (jf.header.jnlFlags & kJnlMainFileWriting) != 0;
        jf.header.jnlFlags |= kJnlMainFileWriting;
        if (!marked && !keepsPreImages(jf) && commitCommand(jf) != 0) return 1;
        if (beginMainFileWrite(jf, app.main.mainHandle, pos, count) != 0) {
            reportError(app, kErrorWriting, app.main.mainName);
            return 1;
        }
    }
    std::uint32_t done = 0;
    if (app.files->writeAt(app.main.mainHandle, pos, data, count, &done) != 0 || done != count) {
        reportError(app, kErrorWriting, app.main.mainName);
        return 1;
    }
    // The last-write time known is this write's, so that a write by another
    // program before the next one is still seen; the end of the command
    // takes it into the Journal File's header.
    (void)app.files->lastWriteTime(app.main.mainHandle, &app.main.mainTime);
    return 0;
}

std::uint32_t pageCountAt(const AppState& app, FilePos pos) {
    if (pos >= app.main.fileSize) return 0;
    FilePos rest = app.main.fileSize - pos;
    return rest >= FilePos(kPageSize) ? std::uint32_t(kPageSize) : std::uint32_t(rest);
}

int writeHalfRangeIntoMain(AppState& app, FilePos halfPos, const std::uint8_t* half, std::uint32_t from,
                           std::uint32_t to) {
    if (to <= from) return 0;
    const bool drive = app.main.mainKind == MainKind::LogicalDrive || app.main.mainKind == MainKind::PhysicalDrive;
    if (!drive) return writeMainBytes(app, halfPos + from, half + from, to - from);
    const std::uint32_t count = pageCountAt(app, halfPos);
    std::uint8_t sector[kRecordDataSize];
    if (from != 0 || to < count) {
        std::uint32_t got = 0;
        // Never write a sector whose other bytes could not be read.
        if (readMainBytes(app, halfPos, sector, count, &got) != 0 || got != count) return 1;
    }
    std::memcpy(sector + from, half + from, to - from);
    return writeMainBytes(app, halfPos, sector, count);
}

}  // namespace quorby
