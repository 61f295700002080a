#include "app/dispatch.h"

#include "app/shell_commands.h"
#include "app/window_events.h"
#include "disasm/disassembly_window.h"
#include "edit/append_to_file.h"
#include "edit/save_as.h"
#include "edit/undo_commands.h"
#include "edit/write_commands.h"
#include "find/find_dialog.h"
#include "store/unchanged_view.h"
#include "navigate/change_jumps.h"
#include "store/journal_commands.h"
#include "journal/journal_file.h"
#include "store/main_file.h"
#include "store/pointers_dialog.h"
#include "store/version_review.h"
#include "navigate/auto_scroll.h"
#include "navigate/cursor_moves.h"
#include "navigate/goto_dialog.h"
#include "navigate/page_moves.h"
#include "navigate/selection.h"
#include "view/status_cells.h"
#include "view/view_font.h"

namespace quorby {

namespace {

void openCommand(AppState& app) { chooseMainFile(app); }
void openDriveCommand(AppState& app) { openDriveDialog(app); }
void closeCommand(AppState& app) { closeMainFile(app); }
// Space hands a typed blank to the edit path (and ends auto scroll).
void spaceCommand(AppState& app) { onChar(app, ' '); }

void disassembleCommand(AppState& app) { disasm::disassembleAtCursor(app); }

template <int Index>
void openLastOpened(AppState& app) { openLastOpenedFile(app, Index); }

// Every code of the menus and the accelerator table. Menu codes and the
// accelerator codes that lead to the same operation share a handler.
const CommandEntry kCommands[] = {
    // File
    {32771, openCommand}, {32827, openCommand},             // "&Open", Ctrl+O
    {32911, openDriveCommand}, {32937, openDriveCommand},   // "Open &Drive", Ctrl+L
    {32971, nullptr},                                       // "&Enlarge and Decrease"
    {32970, nullptr},                                       // "&New": nothing
    {32883, saveSelectedDataCommand},                       // "Save selected Data"
    {32772, savePageCommand},                               // "Save Page"
    {32805, saveFileCommand},                               // "Save &File"
    {32853, saveSelectionAsCommand},                        // "Save &selected Data as"
    {32773, savePageAsCommand},                             // "Save &Page as"
    {32806, saveFileAsCommand},                             // "Save File &as"
    {32903, appendSelectionCommand}, {32905, appendPageCommand}, {32904, appendFileCommand},  // the three appends
    {32989, saveJournalAsCommand}, {32892, openOtherJournalCommand}, {32968, deleteJournalCommand},
    {32939, restoreOriginalCommand},                        // "Restore Original File"
    {2, openLastOpened<0>}, {3, openLastOpened<1>}, {4, openLastOpened<2>}, {5, openLastOpened<3>},
    {6, openLastOpened<4>}, {7, openLastOpened<5>}, {8, openLastOpened<6>}, {9, openLastOpened<7>},
    {10, openLastOpened<8>}, {11, openLastOpened<9>},
    {32779, closeCommand},                                  // "&Close File"
    {105, quitCommand}, {32828, quitCommand},               // "&Quit", Ctrl+X
    // Edit
    {32848, selectionStartCommand}, {32858, selectionStartCommand},  // Selection Start, F9
    {32849, selectionEndCommand}, {32859, selectionEndCommand},  // Selection End, F10
    {32850, cancelSelectionCommand}, {32893, cancelSelectionCommand},  // Cancel Selection, F11
    {32894, selectAllCommand}, {32895, selectAllCommand},   // Select all, Ctrl+A / F12
    {32983, setBookmarkCommand}, {32984, setBookmarkCommand},  // Set Bookmark, Ctrl+M
    {32861, rememberSelectionCommand}, {32906, restoreSelectionCommand},  // Remember / Restore Selection
    {32912, nullptr}, {32917, nullptr}, {32913, nullptr},   // Copy
    {32862, nullptr}, {32918, nullptr}, {32864, nullptr},   // Paste
    {32991, nullptr},                                       // "Paste highlighted Data": nothing
    {32919, nullptr}, {32914, nullptr},                     // Paste File, Append File
    {32882, discardSelectedCommand}, {32884, discardPageCommand},  // Discard selected / page changes
    {32837, undoLastCommand}, {32992, undoLastCommand},     // Undo
    {32935, undoPerPageCommand}, {32963, undoPerPageCommand},  // Undo per Page
    {32819, undoAllCommand},                                // Undo All
    {32838, redoLastCommand}, {32993, redoLastCommand},     // Redo
    {32936, redoPerPageCommand}, {32964, redoPerPageCommand},  // Redo per Page
    {32839, redoAllCommand},                                // Redo All
    {32852, nullptr}, {32946, nullptr}, {32956, nullptr},   // fills
    // Goto
    {32809, gotoCommand}, {32928, gotoCommand},             // Address, Ctrl+G
    {32908, fileBeginCommand}, {32787, fileBeginCommand},   // File Begin
    {32909, fileEndCommand}, {32788, fileEndCommand},       // File End
    {32979, startOfLineCommand}, {32929, startOfLineCommand},  // Start of Line
    {32980, endOfLineCommand}, {32930, endOfLineCommand},   // End of Line
    {32810, nextChange}, {32829, nextChange},               // Next Change
    {32840, previousChange}, {32841, previousChange},       // Previous Change
    {32995, highlightStartCommand},                         // Highlight Start
    {32870, autoScrollUpCommand}, {32879, autoScrollUpCommand},  // Auto Scroll Up
    {32869, autoScrollDownCommand}, {32880, autoScrollDownCommand},  // Auto Scroll Down
    // Search
    {32794, findTextCommand},                               // "Find &Text", Ctrl+F
    {32802, findHexCommand}, {32830, findHexCommand},       // "Find &Hex", Ctrl+H
    {32825, repeatSearch},                                  // F3
    // Compare
    {32811, nullptr}, {32812, nullptr}, {32818, nullptr}, {32947, nullptr},
    {32981, nullptr}, {32982, nullptr}, {32972, nullptr}, {32988, nullptr},
    {32976, nullptr}, {32975, nullptr}, {32977, nullptr}, {32978, nullptr},
    // AVI
    {32896, nullptr}, {32873, nullptr}, {32872, nullptr}, {32899, nullptr}, {32902, nullptr},
    {32994, nullptr}, {32891, nullptr}, {32887, nullptr}, {32900, nullptr}, {32889, nullptr},
    {32907, nullptr},
    // Specials
    {32958, nullptr},                                       // Show Values
    {32957, disassembleCommand},                            // "&Disassemble"
    {32792, lockMainFile},                                  // "&Lock"
    {32791, unlockMainFile},                                // "&Unlock"
    {32965, showPointersAndFlags},                          // Pointers and Flags
    {32969, nullptr},                                       // "Delete Drive physically": nothing
    {32934, nullptr},                                       // Options
    // View
    {32867, endUnchangedFile},                              // Actual File-Content
    {1, nullptr}, {32813, nullptr}, {32821, showUnchangedFile},  // Compare-File, F6, F5
    {32938, nullptr}, {32966, nullptr}, {65535, nullptr}, {32967, nullptr},  // previews: nothing
    // The page versions: handlePreviewCommands takes them before the table.
    {32960, reviewOlderVersion}, {32962, reviewOlderVersion},
    {32959, previewNewerVersion}, {32961, previewNewerVersion},
    {32865, enlargeView}, {32866, decreaseView},
    // Help
    {32778, helpCommand}, {104, infoCommand},
    // Keys without a menu item
    {32784, arrowUpCommand}, {32783, arrowDownCommand}, {32786, arrowLeftCommand}, {32785, arrowRightCommand},  // arrows
    {32926, altArrowUpCommand}, {32927, altArrowDownCommand}, {32925, altArrowLeftCommand}, {32924, altArrowRightCommand},  // Alt+arrows
    {32922, shiftUpCommand}, {32923, shiftDownCommand}, {32921, shiftLeftCommand}, {32920, shiftRightCommand},  // Shift+arrows
    {32973, shiftHomeCommand}, {32974, shiftEndCommand},    // Shift+Home/End
    {32781, pageUpCommand}, {32780, pageDownCommand},       // Page Up/Down
    {32846, previousUndoPositionCommand}, {32847, nextUndoPositionCommand},  // Ctrl+Page Up/Down
    {32782, tabCommand},                                    // Tab
    {32898, spaceCommand},                                  // Space
    {32990, diagnosticCommand},                             // Ctrl+0
    {32876, nullptr}, {32875, nullptr},                     // Ctrl+Left/Right: nothing
    {32789, nullptr},                                       // Ctrl+G typed: nothing
};

}  // namespace

const CommandEntry* findCommand(int code) {
    for (const CommandEntry& entry : kCommands)
        if (entry.code == code) return &entry;
    return nullptr;
}

void dispatchCommand(AppState& app, int code) {
    app.shell.lastCommand = code;
    // The page-version commands act at once; any other ends a version review.
    if (handlePreviewCommands(app, code)) return endOfCommand(app);
    const CommandEntry* entry = findCommand(code);
    if (entry && entry->handler) entry->handler(app);
    endOfCommand(app);
}

void endOfCommand(AppState& app) {
    // What a command changed in the journal header reaches the disk before
    // the next command starts, so a crash loses at most the command in progress.
    commitJournalHeader(app.journal);
}

}  // namespace quorby
