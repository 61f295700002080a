#include "resources/menus.h"

#include <cstring>
#include <iterator>

namespace quorby {

namespace {

const MenuItemDef kFile[] = {
    {"&Open", "Strg-o", kCmdOpen, kItem},
    {"Open &Drive", "Strg-L", kCmdOpenDrive, kItem},
    {"&Enlarge and Decrease", nullptr, kCmdEnlargeAndDecrease, kItem},
    {"&New", nullptr, kCmdNew, kGreyItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Save selected Data", nullptr, kCmdSaveSelection, kItem},
    {"Save Page", nullptr, kCmdSavePage, kItem},
    {"Save &File", nullptr, kCmdSaveFile, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Save &selected Data as", nullptr, kCmdSaveSelectionAs, kItem},
    {"Save &Page as", nullptr, kCmdSavePageAs, kItem},
    {"Save File &as", nullptr, kCmdSaveFileAs, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Append selected Data to other File", nullptr, kCmdAppendSelectionToFile, kItem},
    {"Append Page to other File", nullptr, kCmdAppendPageToFile, kItem},
    {"Append File to other File", nullptr, kCmdAppendFileToFile, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Save &Journal-File as", nullptr, kCmdSaveJournalAs, kItem},
    {"Open other Journal-File", nullptr, kCmdOpenOtherJournal, kItem},
    {"Delete Journal-File", nullptr, kCmdDeleteJournal, kItem},
    {"Restore Original File", nullptr, kCmdRestoreOriginal, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"LAST OPENED FILES:", nullptr, kCmdLastOpenedLabel, kLabel},
    {nullptr, nullptr, kCmdLastOpenedFile1, kRecentFiles},
    {nullptr, nullptr, 0, kSeparator},
    {"&Close File", nullptr, kCmdCloseFile, kItem},
    {"&Quit", "Strg-X", kCmdQuit, kItem},
};

const MenuItemDef kEdit[] = {
    {"Selection &Start", "F 9", kCmdSelectionStart, kItem},
    {"Selection &End", "F10", kCmdSelectionEnd, kItem},
    {"Cancel Selection", "F11", kCmdCancelSelection, kItem},
    {"Select all", "Strg-A  /  F12", kCmdSelectAll, kItem},
    {"Set Bookmark", "Strg-M", kCmdSetBookmark, kItem},
    {"Remember Selection", nullptr, kCmdRememberSelection, kItem},
    {"Restore Selection", nullptr, kCmdRestoreSelection, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Copy", "Strg-C", kCmdCopy, kItem},
    {"Paste", "Strg-V", kCmdPaste, kItem},
    {"Paste highlighted Data", nullptr, kCmdPasteHighlighted, kGreyItem},
    {"Paste File", nullptr, kCmdPasteFile, kItem},
    {"Append File", nullptr, kCmdAppendOtherFile, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Discard selected Changes", nullptr, kCmdDiscardSelectedChanges, kItem},
    {"Discard Changes in Page", nullptr, kCmdDiscardPageChanges, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"&Undo", "Strg-Z", kCmdUndo, kItem},
    {"Undo per Page", "Strg-F2", kCmdUndoPerPage, kItem},
    {"Undo &All", nullptr, kCmdUndoAll, kItem},
    {"Redo", "Strg-Y", kCmdRedo, kItem},
    {"&Redo per Page", "Strg-F4", kCmdRedoPerPage, kItem},
    {"Re&do All", nullptr, kCmdRedoAll, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Fill Page with Hex-Value ...", nullptr, kCmdFillPageWithValue, kItem},
    {"Fill Selection with Hex-Value", nullptr, kCmdFillSelectionWithValue, kItem},
    {"Fill Page with all Kind of Values", nullptr, kCmdFillPageWithAllValues, kItem},
};

const MenuItemDef kGoto[] = {
    {"&Address", "Strg-G", kCmdGotoAddress, kItem},
    {"File Begin", "Strg-Pos1", kCmdFileBegin, kItem},
    {"File End", "Strg-Ende", kCmdFileEnd, kItem},
    {"Start of Line", "Home", kCmdStartOfLine, kItem},
    {"End of Line", "End", kCmdEndOfLine, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"&Next Change", "Strg-N", kCmdNextChange, kItem},
    {"&Previous Change", "Strg-P", kCmdPreviousChange, kItem},
    {"&Highlight Start", nullptr, kCmdHighlightStart, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Auto Scroll &Up", "Strg-Up / (Leertaste)", kCmdAutoScrollUp, kItem},
    {"Auto Scroll &Down", "Strg-Dn / (Leertaste)", kCmdAutoScrollDown, kItem},
};

const MenuItemDef kSearch[] = {
    {"Find &Text", "Strg-F / (F3)", kCmdFindText, kItem},
    {"Find &Hex", "Strg-H / (F3)", kCmdFindHex, kItem},
    {"Find and &Replace", "Strg-Shift-H", kCmdFindReplace, kItem},
};

const MenuItemDef kCompare[] = {
    {"To other &File", nullptr, kCmdCompareToFile, kItem},
    {"To other &Position (same File)", nullptr, kCmdCompareToPosition, kItem},
    {"Set &Cursor-Position as Start for Compare-File", nullptr, kCmdCompareStartAtCursor, kItem},
    {"Set &Offset", nullptr, kCmdCompareSetOffset, kItem},
    {"Find &Differences", "Strg-U", kCmdFindDifferences, kItem},
    {"&Show Differences permamently", nullptr, kCmdShowDifferencesAlways, kItem},
    {"&Activate Compare", nullptr, kCmdActivateCompare, kItem},
};

const MenuItemDef kAvi[] = {
    {"Goto Film-Start", nullptr, kCmdAviFilmStart, kItem},
    {"'Play' &Video", nullptr, kCmdAviPlayVideo, kItem},
    {"'Play '&Audio", nullptr, kCmdAviPlayAudio, kItem},
    {"repair AVI-File", nullptr, kCmdAviRepair, kItem},
    {"AVI File-&Information", nullptr, kCmdAviInformation, kItem},
    {"Check Avi-File", nullptr, kCmdAviCheck, kItem},
    {"Goto &First RIFF-Chunk", nullptr, kCmdAviFirstChunk, kItem},
    {"Goto Next &RIFF-Chunk", "Strg-R", kCmdAviNextChunk, kItem},
    {"Goto next Sub-Chunk", "Strg-S", kCmdAviNextSubChunk, kItem},
};

const MenuItemDef kSpecials[] = {
    {"Show &Values", nullptr, kCmdShowValues, kItem},
    {"&Disassemble", nullptr, kCmdDisassemble, kItem},
    {"&Checksums...", nullptr, kCmdChecksums, kItem},
    {"&Lock", nullptr, kCmdLock, kItem},
    {"&Unlock", nullptr, kCmdUnlock, kItem},
    {"Show &Pointers and Flags", nullptr, kCmdPointersAndFlags, kItem},
    {"Delete Drive physically", nullptr, kCmdDeleteDrivePhysically, kGreyItem},
    {"&Options", nullptr, kCmdOptions, kItem},
};

const MenuItemDef kView[] = {
    {"Actual File-Content", "F5", kCmdActualContent, kItem},
    {"Compare-File", "F6", kCmdCompareFileView, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"&Undo-Preview", "ALT-F2", kCmdUndoPreview, kGreyItem},
    {"Re&do-Preview", "ALT-F4", kCmdRedoPreview, kGreyItem},
    {"Page-Version-&Review", "F2", kCmdPageVersionReview, kItem},
    {"Page-Version-&Preview", "F4", kCmdPageVersionPreview, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Enlarge View", nullptr, kCmdEnlargeView, kItem},
    {"Decrease View", nullptr, kCmdDecreaseView, kItem},
};

const MenuItemDef kHelp[] = {
    {"&Help", nullptr, kCmdHelp, kItem},
    {"&Info...", nullptr, kCmdInfo, kItem},
};

#define MENU(title, items, grey) {title, items, std::size(items), grey, 0}
const MenuDef kMenuBar[] = {
    MENU("&File", kFile, false),
    MENU("&Edit", kEdit, false),
    MENU("&Goto", kGoto, false),
    MENU("&Search", kSearch, false),
    MENU("&Compare", kCompare, false),
    MENU("&AVI", kAvi, true),
    MENU("S&pecials", kSpecials, false),
    MENU("&View", kView, false),
    MENU("&Help", kHelp, false),
    {"   |||       F5 : File-Content", nullptr, 0, false, kCmdActualContent},
};
#undef MENU

const AcceleratorDef kAccelerators[] = {
    {Key('O'), kCtrl, kCmdOpenKey},
    {Key('L'), kCtrl, kCmdOpenDriveKey},
    {Key('X'), kCtrl, kCmdQuitKey},
    {Key::F9, 0, kCmdSelectionStartKey},
    {Key::F10, 0, kCmdSelectionEndKey},
    {Key::F11, 0, kCmdCancelSelectionKey},
    {Key('A'), kCtrl, kCmdSelectAllKey},
    {Key::F12, 0, kCmdSelectAllKey},
    {Key('M'), kCtrl, kCmdSetBookmarkKey},
    {Key('C'), kCtrl, kCmdCopyKey},
    {Key::Insert, kCtrl, kCmdCopyInsertKey},
    {Key('V'), kCtrl, kCmdPasteKey},
    {Key::Insert, kShift, kCmdPasteInsertKey},
    {Key('Z'), kCtrl, kCmdUndoKey},
    {Key::F2, kCtrl, kCmdUndoPerPageKey},
    {Key('Y'), kCtrl, kCmdRedoKey},
    {Key::F4, kCtrl, kCmdRedoPerPageKey},
    {Key('G'), kCtrl, kCmdGotoAddressKey},
    {Key::Home, kCtrl, kCmdFileBeginKey},
    {Key::End, kCtrl, kCmdFileEndKey},
    {Key::Home, 0, kCmdStartOfLineKey},
    {Key::End, 0, kCmdEndOfLineKey},
    {Key('N'), kCtrl, kCmdNextChangeKey},
    {Key('P'), kCtrl, kCmdPreviousChangeKey},
    {Key::Up, kCtrl, kCmdAutoScrollUpKey},
    {Key::Down, kCtrl, kCmdAutoScrollDownKey},
    {Key('F'), kCtrl, kCmdFindText},
    {Key('H'), kCtrl, kCmdFindHexKey},
    {Key('H'), kCtrl | kShift, kCmdFindReplace},
    {Key::F3, 0, kCmdRepeatSearch},
    {Key('U'), kCtrl, kCmdFindDifferencesKey},
    {Key::Up, kCtrl | kAlt, kCmdCompareMoveUpKey},
    {Key::Down, kCtrl | kAlt, kCmdCompareMoveDownKey},
    {Key::Left, kCtrl | kAlt, kCmdCompareMoveLeftKey},
    {Key::Right, kCtrl | kAlt, kCmdCompareMoveRightKey},
    {Key('R'), kCtrl, kCmdAviNextChunkKey},
    {Key('S'), kCtrl, kCmdAviNextSubChunkKey},
    {Key::F6, 0, kCmdCompareFileViewKey},
    {Key::F5, 0, kCmdActualContentKey},
    {Key::F2, kAlt, kCmdUndoPreviewKey},
    {Key::F4, kAlt, kCmdRedoPreviewKey},
    {Key::F2, 0, kCmdPageVersionReviewKey},
    {Key::F4, 0, kCmdPageVersionPreviewKey},
    {Key::QuestionMark, kAlt, kCmdInfo},
    {Key::Up, 0, kCmdArrowUp},
    {Key::Down, 0, kCmdArrowDown},
    {Key::Left, 0, kCmdArrowLeft},
    {Key::Right, 0, kCmdArrowRight},
    {Key::Up, kAlt, kCmdAltArrowUp},
    {Key::Down, kAlt, kCmdAltArrowDown},
    {Key::Left, kAlt, kCmdAltArrowLeft},
    {Key::Right, kAlt, kCmdAltArrowRight},
    {Key::Up, kShift, kCmdShiftArrowUp},
    {Key::Down, kShift, kCmdShiftArrowDown},
    {Key::Left, kShift, kCmdShiftArrowLeft},
    {Key::Right, kShift, kCmdShiftArrowRight},
    {Key::Home, kShift, kCmdShiftHome},
    {Key::End, kShift, kCmdShiftEnd},
    {Key::PageUp, 0, kCmdPageUp},
    {Key::PageDown, 0, kCmdPageDown},
    {Key::PageUp, kCtrl, kCmdPreviousUndoPosition},
    {Key::PageDown, kCtrl, kCmdNextUndoPosition},
    {Key::Tab, 0, kCmdTab},
    {Key::Space, 0, kCmdSpace},
    {Key('0'), kCtrl, kCmdDiagnostic},
    {Key::Left, kCtrl, kCmdCtrlLeft},
    {Key::Right, kCtrl, kCmdCtrlRight},
};

}  // namespace

const MenuDef* menuBar(std::size_t* count) {
    *count = std::size(kMenuBar);
    return kMenuBar;
}

const MenuItemDef* findMenuItem(const char* text) {
    for (const MenuDef& menu : kMenuBar) {
        for (std::size_t i = 0; i < menu.count; ++i) {
            const MenuItemDef& item = menu.items[i];
            if (item.text && std::strcmp(item.text, text) == 0) return &item;
        }
    }
    return nullptr;
}

const AcceleratorDef* accelerators(std::size_t* count) {
    *count = std::size(kAccelerators);
    return kAccelerators;
}

int acceleratorCode(Key key, std::uint32_t modifiers) {
    for (const AcceleratorDef& a : kAccelerators)
        if (a.key == key && a.modifiers == modifiers) return a.code;
    return 0;
}

}  // namespace quorby
