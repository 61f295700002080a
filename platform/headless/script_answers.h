#pragma once
// What a batch script queues for the questions, file dialogs, popup menus,
// dialogs and long operations that come later.
#include <cstdint>
#include <string>
#include <vector>
#include "core/keys.h"
#include "platform/platform.h"

namespace quorby {

enum class AnswerWord { Yes, No, Ok, Cancel };

// An answer to a message box or question; dontAsk checks "Don't ask again !".
struct ScriptAnswer {
    AnswerWord word = AnswerWord::Ok;
    bool dontAsk = false;
};

struct FileAnswer {
    bool cancel = false;
    std::string path;
    bool readOnly = false;
};

struct PopupAnswer {
    bool cancel = false;
    int code = 0;
};

struct DialogAction {
    enum class Kind { Set, Check, Choose } kind = Kind::Set;
    std::string target;   // control number or label
    std::string value;    // Set
    bool checked = true;  // Check
};

struct DialogAnswer {
    std::vector<DialogAction> actions;
    std::string press;    // control number or label of the closing button
    bool cancel = false;  // close with the dialog's cancel id
    // "drive DEVICE": choose the entry that names the device and set the
    // read-only choice, then confirm.
    std::string driveDevice;
    bool driveReadOnly = false;
};

// What the user does in an open modeless window (`window WINDOW ...`).
struct ModelessAction {
    enum class Kind { Set, Check, Choose, Press, Caret, Close } kind = Kind::Press;
    ModelessWindow window = ModelessWindow::Find;
    std::string target;    // control number or label
    std::string value;     // Set
    bool checked = true;   // Check
    std::int64_t line = 1; // Caret: 1-based line of the listing
};

// Input that arrives while a long operation polls for it.
struct InputEvent {
    enum class Kind { KeyDown, KeyUp, Char, Command, Wait, Window } kind = Kind::Wait;
    Key key = Key::None;
    std::uint32_t modifiers = 0;
    int character = 0;  // Char
    int code = 0;       // Command
    int count = 1;      // Wait: polls that pass without input
    ModelessAction window;  // Window
};

}  // namespace quorby
