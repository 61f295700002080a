#include "document/shown_state.h"

#include <cstring>

#include "journal/change_bins.h"
#include "journal/journal_dump.h"
#include "document/page_assembly.h"

namespace quorby {

namespace {

constexpr const char* kDash = " \xE2\x80\x94 ";  // " — "
constexpr const char* kProgramName = "Quorby";

bool mainFileOpen(const MainFileState& mainFile) { return mainFile.mainHandle != kNoFile && !mainFile.mainName.empty(); }

bool previewShown(const PageRecords& records) { return records.reviewState != 0 || records.unchangedFileShown; }

// The drive text "  Drive  A: /dev/sdb1" without its leading blanks.
std::string driveName(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? text : text.substr(first);
}

ChangeBinMarks overviewMarks() {
    ChangeBinMarks marks;
    marks.changed = kOverviewChanged;
    marks.unwritten = kOverviewUnwritten;
    return marks;
}

void walkJournal(AppState& app) {
    OverviewState& o = app.overview;
    o.unwritten = false;
    std::memset(o.changes, 0, sizeof o.changes);
    const bool checked = o.checkedKnown && o.checkedAt == app.journal.changeCount &&
                         o.checkedSpan == app.main.fileSize && o.checkedJournal == app.journal.name;
    o.checkedKnown = false;
    if (checked) {
        std::memcpy(o.changes, o.checkedChanges, sizeof o.changes);
        o.unwritten = o.checkedUnwritten;
    } else if (journalIsOpen(app)) {
        std::uint64_t unwrittenPages = 0;
        // A journal that cannot be read has been reported; the strip shows what was walked.
        (void)walkChangedPages(app.journal, app.main.fileSize, o.changes, kOverviewBins, overviewMarks(),
                               &unwrittenPages);
        o.unwritten = unwrittenPages > 0;
    }
    o.changesKnown = true;
    o.changesAt = app.journal.changeCount;
    o.changesSpan = app.main.fileSize;
    o.changesJournal = app.journal.name;
}

void refreshJournalChanges(AppState& app) {
    if (!journalChangesCurrent(app)) walkJournal(app);
}

void followCaption(AppState& app) {
    if (!mainFileOpen(app.main)) return;
    const std::string caption = mainFileCaption(app);
    if (caption == app.shell.caption) return;
    app.shell.caption = caption;
    // The version review and the view of F5 keep their own caption; this one
    // comes back when they end.
    if (!previewShown(app.records)) app.platform->setCaption(caption);
}

OverviewStrip composeStrip(AppState& app) {
    OverviewStrip strip;
    if (!mainFileOpen(app.main)) return strip;
    strip.fileOpen = true;
    const OverviewState& o = app.overview;
    const FilePos span = app.main.fileSize;
    if (o.changesSpan == span) std::memcpy(strip.marks, o.changes, sizeof strip.marks);
    if (o.foundSpan == span)
        for (int k = 0; k < kOverviewBins; ++k) strip.marks[k] |= o.found[k];
    const FilePos cursor = app.view.pagePos + app.view.viewOffset + app.view.cursorOffset;
    strip.marks[binOfPosition(cursor, span, kOverviewBins)] |= kOverviewCursor;
    return strip;
}

void followOverview(AppState& app) {
    const OverviewStrip strip = composeStrip(app);
    OverviewState& o = app.overview;
    if (o.shownOnce && o.shown.fileOpen == strip.fileOpen && std::memcmp(o.shown.marks, strip.marks, sizeof strip.marks) == 0)
        return;
    o.shown = strip;
    o.shownOnce = true;
    app.platform->showOverview(strip);
}

}  // namespace

std::string mainFileCaption(AppState& app) {
    const std::string& name = app.main.mainName;
    const std::string mark = holdsUnwrittenChanges(app) ? "*" : "";
    if (app.main.mainKind != MainKind::File) return driveName(name) + mark + kDash + kProgramName;
    const std::size_t slash = name.find_last_of('/');
    if (slash == std::string::npos) return name + mark + kDash + kProgramName;
    const std::string directory = slash == 0 ? "/" : name.substr(0, slash);
    return name.substr(slash + 1) + mark + kDash + directory + kDash + kProgramName;
}

void showMainFileCaption(AppState& app) {
    app.overview.changesKnown = false;
    if (!mainFileOpen(app.main)) return;
    app.shell.caption = mainFileCaption(app);
    if (!previewShown(app.records)) app.platform->setCaption(app.shell.caption);
}

bool holdsUnwrittenChanges(AppState& app) {
    if (!journalIsOpen(app) || (app.journal.header.jnlFlags & kJnlUnwrittenChanges) == 0) return false;
    refreshJournalChanges(app);
    return app.overview.unwritten;
}

bool journalChangesCurrent(const AppState& app) {
    const OverviewState& o = app.overview;
    return o.changesKnown && o.changesAt == app.journal.changeCount && o.changesSpan == app.main.fileSize &&
           o.changesJournal == app.journal.name;
}

void noteStoredPage(AppState& app, FilePos page, bool unwritten, bool wasCurrent) {
    if (!wasCurrent) return;
    OverviewState& o = app.overview;
    std::uint8_t& bin = o.changes[binOfPosition(page, o.changesSpan, kOverviewBins)];
    bin |= kOverviewChanged;
    if (unwritten) {
        bin |= kOverviewUnwritten;
        o.unwritten = true;
    }
    o.changesAt = app.journal.changeCount;
}

void noteWalkStillCurrent(AppState& app, bool wasCurrent) {
    if (wasCurrent) app.overview.changesAt = app.journal.changeCount;
}

CheckedChanges overviewChangesToCheck(AppState& app) {
    app.overview.checkedKnown = false;  // the check writes over the bins kept so far
    CheckedChanges changes;
    changes.span = app.main.fileSize;
    changes.bins = app.overview.checkedChanges;
    changes.binCount = kOverviewBins;
    changes.marks = overviewMarks();
    return changes;
}

void noteCheckedChanges(AppState& app, const CheckedChanges& changes) {
    OverviewState& o = app.overview;
    o.checkedKnown = changes.walked;
    o.checkedUnwritten = changes.unwrittenPages > 0;
    o.checkedAt = app.journal.changeCount;
    o.checkedSpan = changes.span;
    o.checkedJournal = app.journal.name;
}

void noteAllChangesWritten(AppState& app, bool wasCurrent) {
    if (!wasCurrent) return;
    OverviewState& o = app.overview;
    for (std::uint8_t& bin : o.changes) bin &= std::uint8_t(~kOverviewUnwritten);
    o.unwritten = false;
    o.changesKnown = true;
    o.changesAt = app.journal.changeCount;
}

void followShownState(AppState& app) {
    if (mainFileOpen(app.main)) refreshJournalChanges(app);
    followCaption(app);
    followOverview(app);
}

FilePos overviewBinPage(const AppState& app, int bin) {
    const FilePos start = binStart(bin, app.main.fileSize, kOverviewBins);
    return start / kPageSize * kPageSize;
}

}  // namespace quorby
