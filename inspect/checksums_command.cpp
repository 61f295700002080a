#include "inspect/checksums_command.h"

#include <cinttypes>
#include <cstdio>

#include "document/store_page.h"
#include "navigate/page_moves.h"
#include "resources/dialog_controls.h"
#include "search/compare_scan.h"
#include "state/compare_sources.h"
#include "state/error_report.h"
#include "state/progress.h"
#include "state/work_buffer_access.h"

namespace quorby::inspect {
namespace {

constexpr const char* kTitleChecksums = "          C H E C K S U M S         ";
constexpr std::uint32_t kWindowSize = 1024;  // the banner's pace counts windows of this size
static_assert(kChecksumBlockSize <= kBlockBufferSize, "a block of the pass lives in the block buffer");

// The content as the view shows it: the Main File with the Journal File's
// changes laid over it, unreadable sectors as zeros.
class ShownContent : public ChecksumReader {
public:
    explicit ShownContent(AppState& app) : source_(mainCompareSource(app)) { restartChain(); }
    int read(FilePos pos, std::uint8_t* out, std::uint32_t n, ReadGaps* gaps) override {
        return readSourceBytes(source_, pos, out, n, chain_, 0, gaps);
    }
    // The Journal File changed between two blocks: its chain is walked afresh.
    void restartChain() { chain_ = source_.journal ? source_.journal->header.first : kEmptyPtr; }
    const CompareSource& source() const { return source_; }

private:
    CompareSource source_;
    FilePos chain_ = kEmptyPtr;
};

std::string hexNumber(FilePos value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIX64, std::uint64_t(value));
    return text;
}

DialogDescription resultWindow(const ChecksumResult& result) {
    DialogDescription d;
    d.title = kChecksumsTitle;
    d.okId = kChecksumsOk;
    d.cancelId = kChecksumsOk;
    auto& c = d.controls;
    auto field = [&c](int id, const std::string& value, int column, int row, int chars) {
        DialogControl e = dialogControl(id, ControlKind::Edit, "", column, row);
        e.value = value;
        e.chars = chars;
        c.push_back(e);
    };
    c.push_back(dialogControl(kChecksumsNameFirst - 2, ControlKind::Label, "Start", 0, 0));
    field(kChecksumsStart, hexNumber(result.start), 1, 0, 18);
    c.push_back(dialogControl(kChecksumsNameFirst - 1, ControlKind::Label, "Length", 0, 1));
    field(kChecksumsLength, hexNumber(result.length) + " (" + std::to_string(result.length) + " Bytes)", 1, 1, 36);
    int row = 2;
    for (int i = 0; i < kChecksumAlgorithmCount; ++i) {
        if ((result.algorithms & checksumAlgorithms()[i].bit) == 0) continue;
        c.push_back(dialogControl(kChecksumsNameFirst + i, ControlKind::Label, checksumAlgorithms()[i].name, 0, row));
        field(kChecksumsDigestFirst + i, result.digests[i], 1, row, 64);
        ++row;
    }
    const std::string zeros = unreadableZerosLine(result.unreadable);
    if (!zeros.empty()) c.push_back(dialogControl(kChecksumsUnreadable, ControlKind::Label, zeros, 1, row++));
    c.push_back(dialogControl(kChecksumsOk, ControlKind::Button, "OK", 1, row));
    return d;
}

}  // namespace

void checksumRange(const AppState& app, FilePos* start, FilePos* length) {
    const ViewState& v = app.view;
    const FilePos size = app.main.fileSize;
    *start = 0;
    *length = size;
    if (v.selectionActive == 0 || v.selectionEnd <= v.selectionStart || v.selectionStart >= size) return;
    *start = v.selectionStart;
    *length = (v.selectionEnd < size ? v.selectionEnd : size) - v.selectionStart;
}

std::string unreadableZerosLine(const ByteRanges& ranges) {
    if (ranges.count == 0) return {};
    return std::to_string(ranges.count) + (ranges.count == 1 ? " unreadable range" : " unreadable ranges") +
           " read as zeros: " + rangeListText(ranges, 4);
}

ChecksumOutcome computeChecksums(AppState& app, unsigned algorithms, ChecksumResult& result) {
    result = ChecksumResult{};
    if (app.main.mainHandle == kNoFile) return ChecksumOutcome::NotRun;
    // The checksums are of what the view shows: typed bytes go to the journal first.
    if (storeTypedChangesFirst(app) != 0) return ChecksumOutcome::Failed;
    FilePos start = 0, length = 0;
    checksumRange(app, &start, &length);
    ChecksumPass pass;
    if (startChecksumPass(pass, start, length, algorithms) != 0) return ChecksumOutcome::Failed;
    ShownContent content(app);
    const FileHandle handle = app.main.mainHandle;
    const FilePos size = app.main.fileSize;
    std::uint64_t journalChanges = app.journal.changeCount;
    std::uint8_t* block = blockBuffer(app);

    startProgress(app, kTitleChecksums);
    ChecksumStep step = ChecksumStep::More;
    {
        ProgressRange range(app, pass.start, pass.end);
        for (;;) {
            step = checksumNextBlock(pass, content, block);
            if (step != ChecksumStep::More) break;
            range.reached(pass.next);
            if (pollProgressSteps(app, pass.blockSize / kWindowSize) || app.main.mainHandle != handle ||
                app.main.fileSize != size) {
                redrawView(app);
                return ChecksumOutcome::Interrupted;
            }
            // A command in between changed the Journal File.
            if (app.journal.changeCount != journalChanges) {
                journalChanges = app.journal.changeCount;
                content.restartChain();
            }
        }
    }
    redrawView(app);
    if (step == ChecksumStep::Failed) {
        reportError(app, kErrorReading, app.main.mainName);
        return ChecksumOutcome::Failed;
    }
    return finishChecksumPass(pass, result) != 0 ? ChecksumOutcome::Failed : ChecksumOutcome::Done;
}

void checksumsCommand(AppState& app) {
    if (!app.platform) return;
    ChecksumResult result;
    if (computeChecksums(app, kAllChecksums, result) != ChecksumOutcome::Done) return;
    DialogDescription window = resultWindow(result);
    app.platform->runDialog(window);
}

}  // namespace quorby::inspect
