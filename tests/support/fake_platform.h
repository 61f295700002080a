#pragma once
// The window system of the tests: a Platform that keeps in memory what the
// logic shows (the 88 x 34 grid of characters and background colours, the
// caption, scroll bar, menu states, message boxes, questions, dialogs and the
// Please-wait window) and answers boxes, questions, file dialogs, dialogs and
// input polls from what the test queued up.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace quorby::testing {

class FakePlatform final : public Platform {
public:
    // ---- the grid ------------------------------------------------------------
    // Cells nobody drew hold `blankChar` on `blankColour` (see clear()).
    char cells[kGridRows][kGridColumns];
    Colour colours[kGridRows][kGridColumns];
    int drawCalls = 0;
    // With logDraws every drawCells call is kept in `draws`, in order.
    struct Draw {
        int column, row;
        std::string text;
        Colour background;
    };
    bool logDraws = false;
    std::vector<Draw> draws;

    explicit FakePlatform(char blank = ' ', Colour blankBackground = 0);

    void clear();
    // `count` cells of a row from `column`; the rest of the row by default.
    std::string rowText(int row, int column = 0, int count = -1) const;
    std::string row(int r) const;

    // Cells outside the grid are dropped.
    void drawCells(int column, int row, const char* text, int count, Colour background) override;

    // ---- caption, scroll bar, menus ----------------------------------------
    std::string caption;
    int scrollBarCalls = 0;
    std::int32_t scrollMaximum = -1, scrollPosition = -1;  // -1: never set
    std::map<int, bool> itemEnabled;                        // by command code
    std::map<int, bool> menuEnabled;                        // by menu bar index
    std::vector<std::string> recentFiles;
    std::vector<int> popups;                                // menu indexes popped up

    void setCaption(const std::string& c) override;
    void setScrollBar(std::int32_t maximum, std::int32_t position) override;
    void setMenuItemEnabled(int code, bool enabled) override;
    void setMenuEnabled(int menuIndex, bool enabled) override;
    void setRecentFiles(const std::vector<std::string>& entries) override;
    void popupMenu(int menuIndex, int, int) override;

    // ---- message boxes and questions ----------------------------------------
    std::vector<MessageBoxDescription> boxes;                           // as shown
    std::deque<MsgAnswer> boxAnswers;                            // answers of the next boxes
    // The answer of a Yes/No box when no answer is queued (other boxes: OK).
    // Folders differ: Yes, No, or OK (an answer that is neither Yes nor No).
    MsgAnswer yesNoDefault = MsgAnswer::Yes;
    MsgAnswer okCancelDefault = MsgAnswer::Ok;                   // of an OK/Cancel box
    std::vector<std::pair<std::string, std::string>> questions;  // caption, text
    std::deque<int> questionAnswers;                             // kAnswer* bits
    int questionDefault = 0;                                     // when none is queued: No
    // Everything put before the user, in order: the captions of boxes and
    // questions, and "[file] " + the title of file dialogs; `texts` holds the
    // texts of the boxes and questions.
    std::vector<std::string> shown;
    std::vector<std::string> texts;

    MsgAnswer messageBox(const MessageBoxDescription& box) override;
    int questionDialog(const std::string& c, const std::string& text) override;

    // ---- file dialogs and the program's dialogs --------------------------
    std::vector<FileDialogRequest> fileRequests;
    std::deque<FileDialogResult> fileAnswers;                    // empty: Cancel
    std::vector<DialogDescription> dialogsShown;                        // as presented
    // A dialog is answered by the next queued answer, else by the handler,
    // else closed with its cancelId. Each fills the controls and returns the
    // id of the button pressed.
    std::deque<std::function<int(DialogDescription&)>> dialogAnswers;
    std::function<int(DialogDescription&)> dialogHandler;

    FileDialogResult fileDialog(const FileDialogRequest& request) override;
    int runDialog(DialogDescription& dialog) override;

    // ---- font and window -----------------------------------------------------
    // createFont answers the request plus fontWidthDelta, or fails.
    bool fontFails = false;
    int fontWidthDelta = 0;
    std::vector<std::pair<int, int>> fontRequests;
    std::vector<std::pair<int, int>> windowFits;

    int createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) override;
    void fitWindowToGrid(int cellWidth, int rowHeight) override;

    // ---- input polls -----------------------------------------------------------
    // Each poll counts, runs onPoll (nested input), and delivers an ESC when
    // its 1-based number is in escAtPoll or reaches escAfterPolls (-1: never).
    int polls = 0;
    std::set<int> escAtPoll;
    int escAfterPolls = -1;
    std::function<void()> onPoll;

    bool pollPendingInput() override;

    // ---- clipboard, by MIME type -----------------------------------------------
    std::map<std::string, std::string> clipboard;

    void clearClipboard() override;
    void setClipboard(const std::string& mimeType, const std::string& data) override;
    bool clipboardHas(const std::string& mimeType) override;
    std::string clipboardData(const std::string& mimeType) override;

    // ---- the Please-wait window ------------------------------------------------
    bool pleaseWaitShown = false;
    std::string text1067, text1068;

    void showPleaseWait(bool visible, const std::string& a, const std::string& b) override;

    // ---- modeless windows ------------------------------------------------------
    // The open windows as the logic last described them; setModelessControl,
    // setModelessTitle and setListingText update them. A test changes values
    // here (as the user would) before it sends an event through
    // onModelessEvent.
    struct Modeless {
        DialogDescription dialog;
        bool visible = true;
        std::map<int, std::string> listings;                  // by control id
        std::pair<std::size_t, std::size_t> selection{0, 0};  // start, length
    };
    std::map<ModelessWindow, Modeless> modeless;
    std::vector<ModelessWindow> modelessOpened;  // every openModeless, in order

    void openModeless(ModelessWindow window, const DialogDescription& dialog) override;
    void closeModeless(ModelessWindow window) override;
    bool modelessOpen(ModelessWindow window) const override;
    void setModelessVisible(ModelessWindow window, bool visible) override;
    void setModelessTitle(ModelessWindow window, const std::string& title) override;
    // Where placeModeless put a window (grid cell) and the field focusModelessControl chose.
    std::map<ModelessWindow, std::pair<int, int>> modelessPlaces;
    int focusedControl = 0;
    bool focusSelectsAll = false;
    void placeModeless(ModelessWindow window, int column, int row) override;
    void focusModelessControl(ModelessWindow, int controlId, bool selectAll) override;
    void setModelessControl(ModelessWindow window, const DialogControl& control) override;
    DialogDescription modelessValues(ModelessWindow window) override;
    void setListingText(ModelessWindow window, int controlId, const std::string& text) override;
    void selectListingText(ModelessWindow window, int, std::size_t start, std::size_t length) override;

    // ---- help and the end of the program ---------------------------------------
    std::vector<std::string> helpOpened;
    int quitCode = -1;  // -1: quit was not called

    void openHelp(const std::string& path) override;
    void quit(int exitCode) override;

private:
    char blankChar;
    Colour blankColour;
};

}  // namespace quorby::testing
