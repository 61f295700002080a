#pragma once
// The find text between the dialog and the search. The dialog's edit field
// holds the logic's text form (UTF-8, or bytes that are not valid UTF-8 and
// stand for themselves); the search compares bytes of the Windows-1252 code
// page, like the grid's character column.
#include <string>

namespace quorby {

// The bytes a dialog text stands for: valid UTF-8 is mapped character by
// character to Windows-1252 ('?' for a character outside it); any other
// text is taken byte for byte.
std::string findTextBytes(const std::string& dialogText);

// The dialog text for search bytes: ASCII stays, every other byte becomes
// the UTF-8 form of its Windows-1252 character (the five undefined codes
// stay as they are, so the text is then taken byte for byte again).
std::string findTextForDialog(const std::string& bytes);

}  // namespace quorby
