#pragma once
// What the logic asks of the window system. Implemented twice: with Qt 6
// Widgets (platform/qt) for people, and headless (platform/headless) for the
// batch mode and the tests. Colours are 0xBBGGRR throughout.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorby {

using Colour = std::uint32_t;

inline constexpr int kGridColumns = 88;
inline constexpr int kGridRows = 34;

// ---- message boxes -------------------------------------------------------
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Question, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageBoxDescription {
    std::string text;
    std::string caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool secondIsDefault = false;  // the second button is the default one
    bool taskModal = true;
};

// questionDialog answer bits
inline constexpr int kAnswerYes = 1;        // bit 0: Yes (clear: No)
inline constexpr int kAnswerDontAsk = 16;   // bit 4: "Don't ask again !" was checked

// ---- file dialogs ----------------------------------------------------------
struct FileDialogRequest {
    bool save = false;               // save dialog (else open dialog)
    std::string title;
    std::string filterName;          // "all Files"
    std::string filterPattern;       // "*.*"
    std::string presetName;
    bool showReadOnlyBox = false;
    bool readOnlyChecked = false;
};

struct FileDialogResult {
    bool accepted = false;
    std::string path;
    bool readOnly = false;
};

// ---- the program's own dialogs, described as data -------------------------
// Listing: a multi-line, read-only text field (modeless windows only); its
// text is set with Platform::setListingText.
enum class ControlKind { Label, Edit, CheckBox, Radio, Button, Group, Listing };

struct DialogControl {
    int id = 0;                 // control number; buttons end the dialog with their id
    ControlKind kind = ControlKind::Label;
    std::string text;           // label / caption / button text
    std::string value;          // edit text
    bool checked = false;       // check box, radio
    bool enabled = true;
    int group = 0;              // radio buttons of one group share it
    int column = 0;             // layout cell (column, row) in a simple grid
    int row = 0;
    bool visible = true;        // last, so that positional initialisers keep their meaning
    int page = 0;               // tab page (1-based index into DialogDescription::pages); 0: below the pages
    int frame = 0;              // id of the Group control whose box holds it (its column and row are inside the box)
    bool byteText = false;      // an Edit whose value is 8-bit bytes (Windows-1252), not UTF-8 text
    int chars = 0;              // an edit field: the characters it is made wide for; 0: as many as its value
};

// A control at a layout cell, with the other fields at their defaults.
inline DialogControl dialogControl(int id, ControlKind kind, const std::string& text, int column, int row) {
    DialogControl c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.column = column;
    c.row = row;
    return c;
}

struct DialogDescription {
    std::string title;
    std::vector<DialogControl> controls;
    int okId = 1;               // ids that close the dialog
    int cancelId = 2;
    std::vector<std::string> pages;  // the names of the tab pages; empty: no tabs

    DialogControl* find(int id) {
        for (auto& c : controls) if (c.id == id) return &c;
        return nullptr;
    }
};

// ---- modeless windows -------------------------------------------------------
// The find dialog, the disassembly window and the value inspector stay open
// beside the main window.
// They are described as data like the modal dialogs; what the user does in
// them reaches the logic as a ModelessEvent through onModelessEvent
// (app/window_events.h), on the user interface thread.
enum class ModelessWindow { Find = 1, Disassembly = 2, Values = 3, OffsetAdjustment = 4, AviCheck = 5, AviReport = 6 };

enum class ModelessEventKind {
    Pressed,      // a button was pressed: controlId
    Toggled,      // a check box or radio button changed: controlId, checked
    CaretMoved,   // the caret or selection of a Listing moved: controlId, caretPosition
    Closed,       // closed by its frame or by ESC inside it
    Edited,       // the user changed the text of an edit field: controlId (the text is in modelessValues)
    EditFinished, // the input left an edit field (or Return in it): controlId
    FocusLeft,    // an edit field lost the focus: controlId
};

struct ModelessEvent {
    ModelessWindow window = ModelessWindow::Find;
    ModelessEventKind kind = ModelessEventKind::Pressed;
    int controlId = 0;
    bool checked = false;
    std::size_t caretPosition = 0;   // character offset of the caret in the listing text
};

// A modal dialog whose controls act while it is open (the Options dialog).
class DialogReaction {
public:
    virtual ~DialogReaction() = default;
    // A check box or radio button changed, an edit field was left, or a
    // button other than okId and cancelId was pressed. `dialog` holds the
    // controls' present values; what react() changes in it is shown at once.
    virtual void react(DialogDescription& dialog, int controlId) = 0;
};

// ---- the overview strip ------------------------------------------------------
// A thin strip beside the scroll bar that marks, over the whole file, where
// something is: bin k stands for the k-th of kOverviewBins equal parts of the
// file (the last part may be shorter), top to bottom.
inline constexpr int kOverviewBins = 256;
enum OverviewMark : std::uint8_t {
    kOverviewChanged = 1,      // a page with a record in the Journal File
    kOverviewUnwritten = 2,    // ... whose change is not yet in the Main File
    kOverviewMatch = 4,        // a match of the last search, found so far
    kOverviewDifference = 8,   // a compare difference found so far
    kOverviewCursor = 16,      // the cursor
};
struct OverviewStrip {
    bool fileOpen = false;     // without a file the strip is empty
    std::uint8_t marks[kOverviewBins] = {};
};

// ---- menus -----------------------------------------------------------------
// Menus are addressed by command code (items) or by their index in the menu
// bar (whole menus, for example the AVI menu).

// ---- the platform ------------------------------------------------------------
class Platform {
public:
    virtual ~Platform() = default;

    // Writes `count` characters (8-bit codes, Windows-1252) into the grid at
    // (column, row), black on `background`. Cells beyond column 87 are dropped.
    virtual void drawCells(int column, int row, const char* text, int count, Colour background) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The vertical scroll bar: range 0 .. maximum, thumb at position.
    virtual void setScrollBar(std::int32_t maximum, std::int32_t position) = 0;

    virtual void setMenuItemEnabled(int code, bool enabled) = 0;
    virtual void setMenuEnabled(int menuIndex, bool enabled) = 0;
    // A check mark beside a menu item.
    virtual void setMenuItemChecked(int code, bool checked) { (void)code; (void)checked; }
    // The file menu's list of last opened files (items 2 .. 11), as shown texts.
    virtual void setRecentFiles(const std::vector<std::string>& entries) = 0;
    // Pops up menu `menuIndex` of the menu bar at a cell.
    virtual void popupMenu(int menuIndex, int column, int row) = 0;

    virtual MsgAnswer messageBox(const MessageBoxDescription& box) = 0;
    // Yes/No with the check box "Don't ask again !"; returns kAnswer* bits.
    virtual int questionDialog(const std::string& caption, const std::string& text) = 0;
    virtual FileDialogResult fileDialog(const FileDialogRequest& request) = 0;
    // Runs a dialog modally; returns the id of the button that closed it
    // (cancelId when closed otherwise) and leaves the controls' values in `dialog`.
    virtual int runDialog(DialogDescription& dialog) = 0;
    // Runs a dialog modally and hands every change of a control to `reaction`
    // while it is open; returns okId or cancelId. Platforms without live
    // controls run the dialog again after each button that does not close it.
    virtual int runReactiveDialog(DialogDescription& dialog, DialogReaction& reaction) {
        for (;;) {
            const int pressed = runDialog(dialog);
            if (pressed == dialog.okId || pressed == dialog.cancelId || dialog.find(pressed) == nullptr) return pressed;
            reaction.react(dialog, pressed);
        }
    }

    // Creates the view font for a requested cell size; reports the cell size
    // it really has. Returns 0, or 1 when no font could be made.
    virtual int createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) = 0;
    // Sizes the window so that its client area is exactly 88 x 34 cells.
    virtual void fitWindowToGrid(int cellWidth, int rowHeight) = 0;

    // Long operations call this once per step: it takes at most one pending
    // input event and dispatches it to the logic (which may run nested), and
    // returns true when that event was a typed ESC.
    virtual bool pollPendingInput() = 0;

    // Where a long operation stands: `position` on its way from `start` to
    // `end` (downward when end < start, as a backward search goes). The
    // window shows the position, the share of the way done and how to stop
    // the operation outside the grid, on its own clock, until hideProgress.
    virtual void showProgress(std::uint64_t position, std::uint64_t start, std::uint64_t end) {
        (void)position; (void)start; (void)end;
    }
    virtual void hideProgress() {}
    // The share of that way done at `position`, 0 .. 100.
    static int progressPercent(std::uint64_t position, std::uint64_t start, std::uint64_t end) {
        const bool down = end < start;
        const std::uint64_t way = down ? start - end : end - start;
        std::uint64_t done = 0;
        if (down ? position < start : position > start) done = down ? start - position : position - start;
        if (way == 0 || done >= way) return 100;
        return int(double(done) * 100.0 / double(way));
    }
    // Shows what was drawn at once, for a movement that shows every step
    // (automatic scrolling); long operations leave the repaint to the poll.
    virtual void presentNow() {}

    // The clipboard by MIME type. clearClipboard starts a new content; the
    // formats set after it belong together. text/plain is handed over as
    // 8-bit bytes (Windows-1252); the platform converts for other programs.
    virtual void clearClipboard() {}
    virtual void setClipboard(const std::string& mimeType, const std::string& data) = 0;
    virtual bool clipboardHas(const std::string& mimeType) = 0;
    virtual std::string clipboardData(const std::string& mimeType) = 0;

    // The modeless "Please wait ..." window that long writes show instead of
    // the banner: two changing texts above the fixed "CANCEL WITH ESC !".
    // Hidden again with visible = false. Test platforms may ignore it.
    virtual void showPleaseWait(bool visible, const std::string& text1067, const std::string& text1068) {
        (void)visible; (void)text1067; (void)text1068;
    }

    // Modeless windows. openModeless shows the window described by `dialog`
    // (or replaces the content of the one already open) without waiting;
    // closeModeless hides and forgets it. modelessValues gives the controls'
    // present values (edit texts, check states) in the form they were opened.
    virtual void openModeless(ModelessWindow window, const DialogDescription& dialog) { (void)window; (void)dialog; }
    virtual void closeModeless(ModelessWindow window) { (void)window; }
    virtual bool modelessOpen(ModelessWindow window) const { (void)window; return false; }
    // Hidden windows stay open (their values are kept); shown again with true.
    virtual void setModelessVisible(ModelessWindow window, bool visible) { (void)window; (void)visible; }
    virtual void setModelessTitle(ModelessWindow window, const std::string& title) { (void)window; (void)title; }
    // Moves the window, its size kept, so that its top left corner lies on the grid cell.
    virtual void placeModeless(ModelessWindow window, int column, int row) { (void)window; (void)column; (void)row; }
    // Gives the focus to an edit field: its whole text selected, or the caret at its end.
    virtual void focusModelessControl(ModelessWindow window, int controlId, bool selectAll) {
        (void)window; (void)controlId; (void)selectAll;
    }
    // Replaces the text, value, checked, enabled and visible state of the
    // control with control.id.
    virtual void setModelessControl(ModelessWindow window, const DialogControl& control) { (void)window; (void)control; }
    virtual DialogDescription modelessValues(ModelessWindow window) { (void)window; return {}; }
    // The text of a Listing control (Windows-1252, lines end with CR LF), and
    // the selection of `length` characters from `start` in it. Setting the
    // text or the selection sends no CaretMoved event.
    virtual void setListingText(ModelessWindow window, int controlId, const std::string& text) { (void)window; (void)controlId; (void)text; }
    virtual void selectListingText(ModelessWindow window, int controlId, std::size_t start, std::size_t length) {
        (void)window; (void)controlId; (void)start; (void)length;
    }

    // The overview strip changed (sent only when it differs from the last one).
    virtual void showOverview(const OverviewStrip& strip) { (void)strip; }

    virtual void openHelp(const std::string& path) = 0;
    // Ends the event loop with an exit code (after the logic's exit sequence).
    virtual void quit(int exitCode) = 0;
};

}  // namespace quorby
