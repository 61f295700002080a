#include "app/dispatch.h"

#include "app/info_cell_lifetime.h"
#include "app/shell_commands.h"
#include "app/window_events.h"
#include "avimenu/avi_check.h"
#include "avimenu/avi_information.h"
#include "avimenu/chunk_navigation.h"
#include "avimenu/stream_scan.h"
#include "compare/alignment.h"
#include "compare/compare_commands.h"
#include "compare/find_differences.h"
#include "compare/offset_dialog.h"
#include "disasm/disassembly_window.h"
#include "edit/append_to_file.h"
#include "edit/clipboard_copy.h"
#include "edit/clipboard_paste.h"
#include "edit/file_size_dialog.h"
#include "edit/fill_commands.h"
#include "edit/paste_file.h"
#include "edit/save_as.h"
#include "edit/undo_commands.h"
#include "edit/write_commands.h"
#include "find/find_dialog.h"
#include "inspect/checksums_command.h"
#include "inspect/value_inspector.h"
#include "journal/journal_file.h"
#include "navigate/auto_scroll.h"
#include "navigate/change_jumps.h"
#include "navigate/cursor_moves.h"
#include "navigate/goto_dialog.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"
#include "options/options_dialog.h"
#include "filemenu/journal_commands.h"
#include "document/journal_lifecycle.h"
#include "filemenu/open_close.h"
#include "filemenu/last_opened_files.h"
#include "filemenu/drive_dialog.h"
#include "inspect/pointers_dialog.h"
#include "document/shown_state.h"
#include "navigate/unchanged_view.h"
#include "navigate/version_review.h"
#include "view/status_cells.h"
#include "view/view_font.h"

namespace quorby {

namespace {

// A comparison belongs to the Main File it was set up with: once another
// file is open (or none), it ends.
template <void (*Open)(AppState&)>
void openingCommand(AppState& app) {
    const std::string before = app.main.mainName;
    const FileHandle handleBefore = app.main.mainHandle;
    Open(app);
    if (app.main.mainName != before || app.main.mainHandle != handleBefore || app.main.mainHandle == kNoFile)
        endComparison(app);
}

// Menu entries: a command has told the user of its own failure, so the entry drops its result.
void chooseFile(AppState& app) { (void)chooseMainFile(app); }
void chooseDrive(AppState& app) { (void)openDriveDialog(app); }
void closeFile(AppState& app) { (void)closeMainFile(app); }
constexpr CommandHandler openCommand = openingCommand<chooseFile>;
constexpr CommandHandler openDriveCommand = openingCommand<chooseDrive>;
constexpr CommandHandler closeCommand = openingCommand<closeFile>;
// Space hands a typed blank to the edit path (and ends auto scroll).
void spaceCommand(AppState& app) { onChar(app, ' '); }

void disassembleCommand(AppState& app) { disasm::disassembleAtCursor(app); }
// The disassembly window's boxes follow what the Options set.
void optionsCommand(AppState& app) {
    options::optionsCommand(app);
    disasm::showSettings(app);
}

void compareToFileCommand(AppState& app) { (void)compareWithFile(app); }
void compareToPositionCommand(AppState& app) { (void)compareWithPosition(app); }
// "Actual File-Content" ends the views of F5 and F6.
void actualContentCommand(AppState& app) {
    endUnchangedFile(app);
    endCompareData(app);
}

template <int Index>
void openLastOpenedOnly(AppState& app) { openLastOpenedFile(app, Index); }
template <int Index>
void openLastOpened(AppState& app) { openingCommand<openLastOpenedOnly<Index>>(app); }

// Every code of the menus and the accelerator table. Menu codes and the
// accelerator codes that lead to the same operation share a handler.
const CommandEntry kCommands[] = {
    // File
    {kCmdOpen, openCommand}, {kCmdOpenKey, openCommand},
    {kCmdOpenDrive, openDriveCommand}, {kCmdOpenDriveKey, openDriveCommand},
    {kCmdEnlargeAndDecrease, changeFileSizeCommand},
    {kCmdNew, nullptr},
    {kCmdSaveSelection, saveSelectedDataCommand},
    {kCmdSavePage, savePageCommand},
    {kCmdSaveFile, saveFileCommand},
    {kCmdSaveSelectionAs, saveSelectionAsCommand},
    {kCmdSavePageAs, savePageAsCommand},
    {kCmdSaveFileAs, saveFileAsCommand},
    {kCmdAppendSelectionToFile, appendSelectionCommand}, {kCmdAppendPageToFile, appendPageCommand},
    {kCmdAppendFileToFile, appendFileCommand},
    {kCmdSaveJournalAs, saveJournalAsCommand}, {kCmdOpenOtherJournal, openOtherJournalCommand},
    {kCmdDeleteJournal, deleteJournalCommand},
    {kCmdRestoreOriginal, restoreOriginalCommand},
    {kCmdLastOpenedFile1, openLastOpened<0>}, {kCmdLastOpenedFile2, openLastOpened<1>},
    {kCmdLastOpenedFile3, openLastOpened<2>}, {kCmdLastOpenedFile4, openLastOpened<3>},
    {kCmdLastOpenedFile5, openLastOpened<4>}, {kCmdLastOpenedFile6, openLastOpened<5>},
    {kCmdLastOpenedFile7, openLastOpened<6>}, {kCmdLastOpenedFile8, openLastOpened<7>},
    {kCmdLastOpenedFile9, openLastOpened<8>}, {kCmdLastOpenedFile10, openLastOpened<9>},
    {kCmdCloseFile, closeCommand},
    {kCmdQuit, quitCommand}, {kCmdQuitKey, quitCommand},
    // Edit
    {kCmdSelectionStart, selectionStartCommand}, {kCmdSelectionStartKey, selectionStartCommand},
    {kCmdSelectionEnd, selectionEndCommand}, {kCmdSelectionEndKey, selectionEndCommand},
    {kCmdCancelSelection, cancelSelectionCommand}, {kCmdCancelSelectionKey, cancelSelectionCommand},
    {kCmdSelectAll, selectAllCommand}, {kCmdSelectAllKey, selectAllCommand},
    {kCmdSetBookmark, setBookmarkCommand}, {kCmdSetBookmarkKey, setBookmarkCommand},
    {kCmdRememberSelection, rememberSelectionCommand}, {kCmdRestoreSelection, restoreSelectionCommand},
    {kCmdCopy, copyCommand}, {kCmdCopyKey, copyCommand}, {kCmdCopyInsertKey, copyCommand},
    {kCmdPaste, pasteCommand}, {kCmdPasteKey, pasteCommand}, {kCmdPasteInsertKey, pasteCommand},
    {kCmdPasteHighlighted, nullptr},
    {kCmdPasteFile, pasteFileCommand}, {kCmdAppendOtherFile, appendOtherFileCommand},
    {kCmdDiscardSelectedChanges, discardSelectedCommand}, {kCmdDiscardPageChanges, discardPageCommand},
    {kCmdUndo, undoLastCommand}, {kCmdUndoKey, undoLastCommand},
    {kCmdUndoPerPage, undoPerPageCommand}, {kCmdUndoPerPageKey, undoPerPageCommand},
    {kCmdUndoAll, undoAllCommand},
    {kCmdRedo, redoLastCommand}, {kCmdRedoKey, redoLastCommand},
    {kCmdRedoPerPage, redoPerPageCommand}, {kCmdRedoPerPageKey, redoPerPageCommand},
    {kCmdRedoAll, redoAllCommand},
    {kCmdFillPageWithValue, fillPageWithValueCommand}, {kCmdFillSelectionWithValue, fillSelectionWithValueCommand},
    {kCmdFillPageWithAllValues, fillPageWithAllValuesCommand},
    // Goto
    {kCmdGotoAddress, gotoCommand}, {kCmdGotoAddressKey, gotoCommand},
    {kCmdFileBegin, fileBeginCommand}, {kCmdFileBeginKey, fileBeginCommand},
    {kCmdFileEnd, fileEndCommand}, {kCmdFileEndKey, fileEndCommand},
    {kCmdStartOfLine, startOfLineCommand}, {kCmdStartOfLineKey, startOfLineCommand},
    {kCmdEndOfLine, endOfLineCommand}, {kCmdEndOfLineKey, endOfLineCommand},
    {kCmdNextChange, nextChange}, {kCmdNextChangeKey, nextChange},
    {kCmdPreviousChange, previousChange}, {kCmdPreviousChangeKey, previousChange},
    {kCmdHighlightStart, highlightStartCommand},
    {kCmdAutoScrollUp, autoScrollUpCommand}, {kCmdAutoScrollUpKey, autoScrollUpCommand},
    {kCmdAutoScrollDown, autoScrollDownCommand}, {kCmdAutoScrollDownKey, autoScrollDownCommand},
    // Search
    {kCmdFindText, findTextCommand},
    {kCmdFindHex, findHexCommand}, {kCmdFindHexKey, findHexCommand},
    {kCmdRepeatSearch, repeatSearch},
    {kCmdFindReplace, findReplaceCommand},
    // Compare
    {kCmdCompareToFile, compareToFileCommand}, {kCmdCompareToPosition, compareToPositionCommand},
    {kCmdCompareStartAtCursor, startCompareAtCursor},
    {kCmdCompareSetOffset, openOffsetDialog},
    {kCmdFindDifferences, findDifferencesCommand}, {kCmdFindDifferencesKey, findDifferencesCommand},
    {kCmdShowDifferencesAlways, toggleDifferencesAlways},
    {kCmdActivateCompare, toggleActiveCompare},
    {kCmdCompareMoveUpKey, compareStepUp}, {kCmdCompareMoveDownKey, compareStepDown},
    {kCmdCompareMoveLeftKey, compareStepLeft}, {kCmdCompareMoveRightKey, compareStepRight},
    // AVI
    {kCmdAviFilmStart, filmStartCommand}, {kCmdAviPlayVideo, playVideoCommand}, {kCmdAviPlayAudio, playAudioCommand},
    {kCmdAviRepair, repairAviCommand}, {kCmdAviInformation, aviInformationCommand},
    {kCmdAviCheck, aviCheckCommand}, {kCmdAviFirstChunk, gotoFirstChunkCommand}, {kCmdAviNextChunk, nextChunkCommand},
    {kCmdAviNextChunkKey, nextChunkCommand}, {kCmdAviNextSubChunk, nextSubChunkCommand},
    {kCmdAviNextSubChunkKey, nextSubChunkCommand},
    // Specials
    {kCmdShowValues, inspect::showValuesCommand},
    {kCmdDisassemble, disassembleCommand},
    {kCmdChecksums, inspect::checksumsCommand},
    {kCmdLock, lockMainFile},
    {kCmdUnlock, unlockMainFile},
    {kCmdPointersAndFlags, showPointersAndFlags},
    {kCmdDeleteDrivePhysically, nullptr},
    {kCmdOptions, optionsCommand},
    // View
    {kCmdActualContent, actualContentCommand},
    {kCmdCompareFileView, showCompareData}, {kCmdCompareFileViewKey, showCompareData},
    {kCmdActualContentKey, showUnchangedFile},
    {kCmdUndoPreview, nullptr}, {kCmdUndoPreviewKey, nullptr}, {kCmdRedoPreview, nullptr},
    {kCmdRedoPreviewKey, nullptr},
    // The page versions: handlePreviewCommands takes them before the table.
    {kCmdPageVersionReview, reviewOlderVersion}, {kCmdPageVersionReviewKey, reviewOlderVersion},
    {kCmdPageVersionPreview, previewNewerVersion}, {kCmdPageVersionPreviewKey, previewNewerVersion},
    {kCmdEnlargeView, enlargeView}, {kCmdDecreaseView, decreaseView},
    // Help
    {kCmdHelp, helpCommand}, {kCmdInfo, infoCommand},
    // Keys without a menu item
    {kCmdArrowUp, arrowUpCommand}, {kCmdArrowDown, arrowDownCommand}, {kCmdArrowLeft, arrowLeftCommand},
    {kCmdArrowRight, arrowRightCommand},
    {kCmdAltArrowUp, altArrowUpCommand}, {kCmdAltArrowDown, altArrowDownCommand},
    {kCmdAltArrowLeft, altArrowLeftCommand}, {kCmdAltArrowRight, altArrowRightCommand},
    {kCmdShiftArrowUp, shiftUpCommand}, {kCmdShiftArrowDown, shiftDownCommand},
    {kCmdShiftArrowLeft, shiftLeftCommand}, {kCmdShiftArrowRight, shiftRightCommand},
    {kCmdShiftHome, shiftHomeCommand}, {kCmdShiftEnd, shiftEndCommand},
    {kCmdPageUp, pageUpCommand}, {kCmdPageDown, pageDownCommand},
    {kCmdPreviousUndoPosition, previousUndoPositionCommand}, {kCmdNextUndoPosition, nextUndoPositionCommand},
    {kCmdTab, tabCommand},
    {kCmdSpace, spaceCommand},
    {kCmdDiagnostic, diagnosticCommand},
    {kCmdCtrlLeft, nullptr}, {kCmdCtrlRight, nullptr},
    {kCmdCtrlGTyped, nullptr},
};

}  // namespace

const CommandEntry* findCommand(int code) {
    for (const CommandEntry& entry : kCommands)
        if (entry.code == code) return &entry;
    return nullptr;
}

void dispatchCommand(AppState& app, int code) {
    app.shell.lastCommand = code;
    const std::uint32_t infoMark = infoCellMark(app);
    // The page-version commands act at once; any other ends a version review.
    if (!handlePreviewCommands(app, code)) {
        const CommandEntry* entry = findCommand(code);
        if (entry && entry->handler) entry->handler(app);
    }
    endInfoCellText(app, infoMark);
    endOfCommand(app);
}

void endOfCommand(AppState& app) {
    inspect::followCursor(app);
    followShownState(app);
    // What a command changed in the journal header reaches the disk before
    // the next command starts, so a crash loses at most the command in progress.
    // A commit that fails has been reported through the Journal File's reporter.
    const bool walkCurrent = journalChangesCurrent(app);
    (void)endCommandInJournal(app);
    noteWalkStillCurrent(app, walkCurrent);
}

}  // namespace quorby
