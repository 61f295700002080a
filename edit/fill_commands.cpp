#include "edit/fill_commands.h"

#include "edit/choose_char.h"
#include "edit/copy_with_changes.h"
#include "edit/paste_bytes.h"
#include "navigate/page_moves.h"
#include "state/progress.h"
#include "document/page_assembly.h"
#include "document/store_page.h"

namespace quorby {

int fillShownPage(AppState& app, bool allValues, std::uint8_t value) {
    if (app.main.mainHandle == kNoFile) return 1;
    ViewState& v = app.view;
    const std::uint32_t from = v.viewOffset;
    const std::uint32_t to = v.pageLength < from + kPageSize ? v.pageLength : from + kPageSize;
    for (std::uint32_t k = from; k < to; ++k) typeByte(app, int(k), allValues ? std::uint8_t(k - from) : value);
    const int result = storePage(app);
    const int reloaded = loadPagePair(app, v.pagePos);
    redrawView(app);
    return result != 0 || reloaded != 0 ? 1 : 0;
}

int fillSelection(AppState& app) {
    if (app.view.selectionActive == 0) return 1;
    const SelectedRange range = selectedRange(app);
    if (range.to <= range.from) return 1;
    PasteSource source;
    source.fill = app.edit.fillValue;
    return pasteBytes(app, source, range.from, range.to - range.from, kTitleFillWithHexValue, EnlargeAsk::Question);
}

void fillPageWithValueCommand(AppState& app) {
    if (app.main.mainHandle != kNoFile && chooseChar(app) == 0) (void)fillShownPage(app, false, app.edit.fillValue);
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void fillPageWithAllValuesCommand(AppState& app) { (void)fillShownPage(app, true, 0); }

void fillSelectionWithValueCommand(AppState& app) {
    if (app.main.mainHandle != kNoFile && chooseChar(app) == 0) (void)fillSelection(app);
}

}  // namespace quorby
