#pragma once
// Every command code of the program: the menu items, the accelerator keys
// and the menu bar's own item. A "...Key" name is the code an accelerator
// sends for the same operation as the menu item without the suffix. The
// numbers are those of the original resources and must not change: scripts
// (command CODE), transcripts (POPUP ... -> CODE) and the settings refer to
// them. A plain enum, so that a name passes where the platform takes an int.

namespace quorby {

enum Command : int {
    kCmdNone = 0,  // no command (no accelerator for a key, nothing to run)

    // File menu
    kCmdOpen = 32771,                  // "&Open"
    kCmdOpenKey = 32827,               // Ctrl+O
    kCmdOpenDrive = 32911,             // "Open &Drive"
    kCmdOpenDriveKey = 32937,          // Ctrl+L
    kCmdEnlargeAndDecrease = 32971,    // "&Enlarge and Decrease"
    kCmdNew = 32970,                   // "&New" (grey)
    kCmdSaveSelection = 32883,         // "Save selected Data"
    kCmdSavePage = 32772,              // "Save Page"
    kCmdSaveFile = 32805,              // "Save &File"
    kCmdSaveSelectionAs = 32853,       // "Save &selected Data as"
    kCmdSavePageAs = 32773,            // "Save &Page as"
    kCmdSaveFileAs = 32806,            // "Save File &as"
    kCmdAppendSelectionToFile = 32903, // "Append selected Data to other File"
    kCmdAppendPageToFile = 32905,      // "Append Page to other File"
    kCmdAppendFileToFile = 32904,      // "Append File to other File"
    kCmdSaveJournalAs = 32989,         // "Save &Journal-File as"
    kCmdOpenOtherJournal = 32892,      // "Open other Journal-File"
    kCmdDeleteJournal = 32968,         // "Delete Journal-File"
    kCmdRestoreOriginal = 32939,       // "Restore Original File"
    kCmdLastOpenedLabel = 65535,       // "LAST OPENED FILES:" (a disabled label)
    kCmdLastOpenedFile1 = 2,           // the ten last opened files, newest first
    kCmdLastOpenedFile2 = 3,
    kCmdLastOpenedFile3 = 4,
    kCmdLastOpenedFile4 = 5,
    kCmdLastOpenedFile5 = 6,
    kCmdLastOpenedFile6 = 7,
    kCmdLastOpenedFile7 = 8,
    kCmdLastOpenedFile8 = 9,
    kCmdLastOpenedFile9 = 10,
    kCmdLastOpenedFile10 = 11,
    kCmdCloseFile = 32779,             // "&Close File"
    kCmdQuit = 105,                    // "&Quit"
    kCmdQuitKey = 32828,               // Ctrl+X

    // Edit menu
    kCmdSelectionStart = 32848,        // "Selection &Start"
    kCmdSelectionStartKey = 32858,     // F9
    kCmdSelectionEnd = 32849,          // "Selection &End"
    kCmdSelectionEndKey = 32859,       // F10
    kCmdCancelSelection = 32850,       // "Cancel Selection"
    kCmdCancelSelectionKey = 32893,    // F11
    kCmdSelectAll = 32894,             // "Select all"
    kCmdSelectAllKey = 32895,          // Ctrl+A, F12
    kCmdSetBookmark = 32983,           // "Set Bookmark"
    kCmdSetBookmarkKey = 32984,        // Ctrl+M
    kCmdRememberSelection = 32861,     // "Remember Selection"
    kCmdRestoreSelection = 32906,      // "Restore Selection"
    kCmdCopy = 32912,                  // "Copy"
    kCmdCopyKey = 32917,               // Ctrl+C
    kCmdCopyInsertKey = 32913,         // Ctrl+Insert
    kCmdPaste = 32862,                 // "Paste"
    kCmdPasteKey = 32918,              // Ctrl+V
    kCmdPasteInsertKey = 32864,        // Shift+Insert
    kCmdPasteHighlighted = 32991,      // "Paste highlighted Data" (grey)
    kCmdPasteFile = 32919,             // "Paste File"
    kCmdAppendOtherFile = 32914,       // "Append File"
    kCmdDiscardSelectedChanges = 32882,// "Discard selected Changes"
    kCmdDiscardPageChanges = 32884,    // "Discard Changes in Page"
    kCmdUndo = 32837,                  // "&Undo"
    kCmdUndoKey = 32992,               // Ctrl+Z
    kCmdUndoPerPage = 32935,           // "Undo per Page"
    kCmdUndoPerPageKey = 32963,        // Ctrl+F2
    kCmdUndoAll = 32819,               // "Undo &All"
    kCmdRedo = 32838,                  // "Redo"
    kCmdRedoKey = 32993,               // Ctrl+Y
    kCmdRedoPerPage = 32936,           // "&Redo per Page"
    kCmdRedoPerPageKey = 32964,        // Ctrl+F4
    kCmdRedoAll = 32839,               // "Re&do All"
    kCmdFillPageWithValue = 32852,     // "Fill Page with Hex-Value ..."
    kCmdFillSelectionWithValue = 32946,// "Fill Selection with Hex-Value"
    kCmdFillPageWithAllValues = 32956, // "Fill Page with all Kind of Values"

    // Goto menu
    kCmdGotoAddress = 32809,           // "&Address"
    kCmdGotoAddressKey = 32928,        // Ctrl+G
    kCmdFileBegin = 32908,             // "File Begin"
    kCmdFileBeginKey = 32787,          // Ctrl+Home
    kCmdFileEnd = 32909,               // "File End"
    kCmdFileEndKey = 32788,            // Ctrl+End
    kCmdStartOfLine = 32979,           // "Start of Line"
    kCmdStartOfLineKey = 32929,        // Home
    kCmdEndOfLine = 32980,             // "End of Line"
    kCmdEndOfLineKey = 32930,          // End
    kCmdNextChange = 32810,            // "&Next Change"
    kCmdNextChangeKey = 32829,         // Ctrl+N
    kCmdPreviousChange = 32840,        // "&Previous Change"
    kCmdPreviousChangeKey = 32841,     // Ctrl+P
    kCmdHighlightStart = 32995,        // "&Highlight Start"
    kCmdAutoScrollUp = 32870,          // "Auto Scroll &Up"
    kCmdAutoScrollUpKey = 32879,       // Ctrl+Up
    kCmdAutoScrollDown = 32869,        // "Auto Scroll &Down"
    kCmdAutoScrollDownKey = 32880,     // Ctrl+Down

    // Search menu
    kCmdFindText = 32794,              // "Find &Text", also Ctrl+F
    kCmdFindHex = 32802,               // "Find &Hex"
    kCmdFindHexKey = 32830,            // Ctrl+H
    kCmdRepeatSearch = 32825,          // F3 (no menu item)
    kCmdFindReplace = 33110,           // "Find and &Replace", also Ctrl+Shift+H

    // Compare menu (none built)
    kCmdCompareToFile = 32811,         // "To other &File"
    kCmdCompareToPosition = 32812,     // "To other &Position (same File)"
    kCmdCompareStartAtCursor = 32818,  // "Set &Cursor-Position as Start for Compare-File"
    kCmdCompareSetOffset = 32947,      // "Set &Offset"
    kCmdFindDifferences = 32981,       // "Find &Differences"
    kCmdFindDifferencesKey = 32982,    // Ctrl+U
    kCmdShowDifferencesAlways = 32972, // "&Show Differences permamently"
    kCmdActivateCompare = 32988,       // "&Activate Compare"
    kCmdCompareMoveUpKey = 32976,      // Ctrl+Alt+Up
    kCmdCompareMoveDownKey = 32975,    // Ctrl+Alt+Down
    kCmdCompareMoveLeftKey = 32977,    // Ctrl+Alt+Left
    kCmdCompareMoveRightKey = 32978,   // Ctrl+Alt+Right

    // AVI menu (greyed, none built)
    kCmdAviFilmStart = 32896,          // "Goto Film-Start"
    kCmdAviPlayVideo = 32873,          // "'Play' &Video"
    kCmdAviPlayAudio = 32872,          // "'Play '&Audio"
    kCmdAviRepair = 32899,             // "repair AVI-File"
    kCmdAviInformation = 32902,        // "AVI File-&Information"
    kCmdAviCheck = 32994,              // "Check Avi-File"
    kCmdAviFirstChunk = 32891,         // "Goto &First RIFF-Chunk"
    kCmdAviNextChunk = 32887,          // "Goto Next &RIFF-Chunk"
    kCmdAviNextChunkKey = 32900,       // Ctrl+R
    kCmdAviNextSubChunk = 32889,       // "Goto next Sub-Chunk"
    kCmdAviNextSubChunkKey = 32907,    // Ctrl+S

    // Specials menu
    kCmdShowValues = 32958,            // "Show &Values"
    kCmdDisassemble = 32957,           // "&Disassemble"
    kCmdLock = 32792,                  // "&Lock"
    kCmdUnlock = 32791,                // "&Unlock"
    kCmdPointersAndFlags = 32965,      // "Show &Pointers and Flags"
    kCmdDeleteDrivePhysically = 32969, // "Delete Drive physically" (grey)
    kCmdOptions = 32934,               // "&Options"
    kCmdChecksums = 33020,             // "&Checksums..."

    // View menu
    kCmdActualContent = 32867,         // "Actual File-Content" and the menu bar's own item
    kCmdActualContentKey = 32821,      // F5: the unchanged file while the key is held
    kCmdCompareFileView = 1,           // "Compare-File" (not built)
    kCmdCompareFileViewKey = 32813,    // F6
    kCmdUndoPreview = 32938,           // "&Undo-Preview" (grey)
    kCmdUndoPreviewKey = 32966,        // Alt+F2
    kCmdRedoPreview = 65535,           // "Re&do-Preview" (grey; shares the label's code)
    kCmdRedoPreviewKey = 32967,        // Alt+F4
    kCmdPageVersionReview = 32960,     // "Page-Version-&Review"
    kCmdPageVersionReviewKey = 32962,  // F2
    kCmdPageVersionPreview = 32959,    // "Page-Version-&Preview"
    kCmdPageVersionPreviewKey = 32961, // F4
    kCmdEnlargeView = 32865,           // "Enlarge View"
    kCmdDecreaseView = 32866,          // "Decrease View"

    // Help menu
    kCmdHelp = 32778,                  // "&Help"
    kCmdInfo = 104,                    // "&Info...", also Alt+?

    // Keys without a menu item
    kCmdArrowUp = 32784,               // Up: cursor or view up (by the arrow mode)
    kCmdArrowDown = 32783,             // Down
    kCmdArrowLeft = 32786,             // Left
    kCmdArrowRight = 32785,            // Right
    kCmdAltArrowUp = 32926,            // Alt+Up: the other of the two arrow modes
    kCmdAltArrowDown = 32927,          // Alt+Down
    kCmdAltArrowLeft = 32925,          // Alt+Left
    kCmdAltArrowRight = 32924,         // Alt+Right
    kCmdShiftArrowUp = 32922,          // Shift+Up: extends the selection
    kCmdShiftArrowDown = 32923,        // Shift+Down
    kCmdShiftArrowLeft = 32921,        // Shift+Left
    kCmdShiftArrowRight = 32920,       // Shift+Right
    kCmdShiftHome = 32973,             // Shift+Home
    kCmdShiftEnd = 32974,              // Shift+End
    kCmdPageUp = 32781,                // Page Up
    kCmdPageDown = 32780,              // Page Down
    kCmdPreviousUndoPosition = 32846,  // Ctrl+Page Up
    kCmdNextUndoPosition = 32847,      // Ctrl+Page Down
    kCmdTab = 32782,                   // Tab: between the hex and the character column
    kCmdSpace = 32898,                 // Space: a typed blank (ends auto scroll)
    kCmdDiagnostic = 32990,            // Ctrl+0
    kCmdCtrlLeft = 32876,              // Ctrl+Left: nothing
    kCmdCtrlRight = 32875,             // Ctrl+Right: nothing
    kCmdCtrlGTyped = 32789,            // Ctrl+G as a typed key: nothing
};

// The code of the index-th last opened file (0 .. 9).
[[nodiscard]] constexpr int lastOpenedFileCommand(int index) { return kCmdLastOpenedFile1 + index; }

}  // namespace quorby
