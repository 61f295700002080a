#include "inspect/pointers_dialog.h"

#include <cstdio>

namespace quorby {

namespace {

struct FieldAdder {
    DialogDescription& described;
    int nextId;
    int column;
    int row;

    void add(const char* name, const std::string& value) {
        DialogControl label;
        label.id = nextId++;
        label.text = name;
        label.column = column;
        label.row = row;
        DialogControl shown = label;
        shown.id = nextId++;
        shown.text = value;
        shown.column = column + 1;
        described.controls.push_back(label);
        described.controls.push_back(shown);
        ++row;
    }
};

void addGroup(DialogDescription& described, int id, const char* title, int column, int row) {
    DialogControl group;
    group.id = id;
    group.kind = ControlKind::Group;
    group.text = title;
    group.column = column;
    group.row = row;
    described.controls.push_back(group);
}

// A record copy's pointers; all zero when the page has no record.
void addRecordCopy(FieldAdder& f, const JournalRecord& r, bool present) {
    auto ptr = [present](FilePos p) { return pointerText(present ? p : 0); };
    f.add("JAdr", ptr(r.jAdr));
    f.add("PrevPtr", ptr(r.prevPtr));
    f.add("NextPtr", ptr(r.nextPtr));
    f.add("PJnl", ptr(r.pJnl));
    f.add("NJnl", ptr(r.nJnl));
    f.add("PUndo", ptr(r.pUndo));
    f.add("NUndo", ptr(r.nUndo));
    f.add("Flag/anz.", pointerText(present ? (std::uint64_t(r.flag) << 32) | r.anz : 0));
}

}  // namespace

std::string pointerText(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%04X %04X  %04X %04X", unsigned(value >> 48) & 0xFFFF,
                  unsigned(value >> 32) & 0xFFFF, unsigned(value >> 16) & 0xFFFF, unsigned(value) & 0xFFFF);
    return text;
}

std::string wordText(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", unsigned(value));
    return text;
}

DialogDescription buildPointersDialog(const AppState& app) {
    const PageRecords& r = app.records;
    const JournalHeader& h = app.journal.header;
    DialogDescription described;
    described.title = kPointersDialogTitle;
    described.okId = kPointersClose;
    described.cancelId = kPointersClose;

    FieldAdder main{described, 100, 0, 0};
    main.add("AnfPtr", pointerText(app.view.pagePos));
    main.add("MidPtr", pointerText(app.view.midPtr));
    main.add("JPrevPtr", pointerText(r.jPrevPtr));
    main.add("JNextPtr", pointerText(r.jNextPtr));
    main.add("Undo", pointerText(h.undo));
    main.add("First", pointerText(h.first));
    main.add("JPrevAdr", pointerText(r.jPrevAdr));
    main.add("JNextAdr", pointerText(r.jNextAdr));

    addGroup(described, 10, "JData1", 2, 0);
    FieldAdder first{described, 200, 2, 1};
    addRecordCopy(first, r.jData[0], (r.jReadFlag & kFirstHalfHasRecord) != 0);
    addGroup(described, 11, "JData2", 4, 0);
    FieldAdder second{described, 300, 4, 1};
    addRecordCopy(second, r.jData[1], (r.jReadFlag & kSecondHalfHasRecord) != 0);

    FieldAdder words{described, 400, 0, 10};
    words.add("ModFlag", wordText(app.shell.modeFlags));
    words.add("JReadFlag", wordText(r.jReadFlag));

    DialogControl close;
    close.id = kPointersClose;
    close.kind = ControlKind::Button;
    close.text = "Close";
    close.column = 5;
    close.row = 12;
    described.controls.push_back(close);
    return described;
}

void showPointersAndFlags(AppState& app) {
    if (app.shell.modeFlags & kModePointersDialog) return;
    app.shell.modeFlags |= kModePointersDialog;
    DialogDescription described = buildPointersDialog(app);
    app.platform->runDialog(described);
    app.shell.modeFlags &= ~std::uint32_t(kModePointersDialog);
}

}  // namespace quorby
