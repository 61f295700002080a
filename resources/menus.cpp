#include "resources/menus.h"

#include <cstring>
#include <iterator>

namespace quorby {

namespace {

const MenuItemDef kFile[] = {
    {"&Open", "Strg-o", 32771, kItem},
    {"Open &Drive", "Strg-L", 32911, kItem},
    {"&Enlarge and Decrease", nullptr, 32971, kItem},
    {"&New", nullptr, 32970, kGreyItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Save selected Data", nullptr, 32883, kItem},
    {"Save Page", nullptr, 32772, kItem},
    {"Save &File", nullptr, 32805, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Save &selected Data as", nullptr, 32853, kItem},
    {"Save &Page as", nullptr, 32773, kItem},
    {"Save File &as", nullptr, 32806, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Append selected Data to other File", nullptr, 32903, kItem},
    {"Append Page to other File", nullptr, 32905, kItem},
    {"Append File to other File", nullptr, 32904, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Save &Journal-File as", nullptr, 32989, kItem},
    {"Open other Journal-File", nullptr, 32892, kItem},
    {"Delete Journal-File", nullptr, 32968, kItem},
    {"Restore Original File", nullptr, 32939, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"LAST OPENED FILES:", nullptr, 65535, kLabel},
    {nullptr, nullptr, 2, kRecentFiles},
    {nullptr, nullptr, 0, kSeparator},
    {"&Close File", nullptr, 32779, kItem},
    {"&Quit", "Strg-X", 105, kItem},
};

const MenuItemDef kEdit[] = {
    {"Selection &Start", "F 9", 32848, kItem},
    {"Selection &End", "F10", 32849, kItem},
    {"Cancel Selection", "F11", 32850, kItem},
    {"Select all", "Strg-A  /  F12", 32894, kItem},
    {"Set Bookmark", "Strg-M", 32983, kItem},
    {"Remember Selection", nullptr, 32861, kItem},
    {"Restore Selection", nullptr, 32906, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Copy", "Strg-C", 32912, kItem},
    {"Paste", "Strg-V", 32862, kItem},
    {"Paste highlighted Data", nullptr, 32991, kGreyItem},
    {"Paste File", nullptr, 32919, kItem},
    {"Append File", nullptr, 32914, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Discard selected Changes", nullptr, 32882, kItem},
    {"Discard Changes in Page", nullptr, 32884, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"&Undo", "Strg-Z", 32837, kItem},
    {"Undo per Page", "Strg-F2", 32935, kItem},
    {"Undo &All", nullptr, 32819, kItem},
    {"Redo", "Strg-Y", 32838, kItem},
    {"&Redo per Page", "Strg-F4", 32936, kItem},
    {"Re&do All", nullptr, 32839, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Fill Page with Hex-Value ...", nullptr, 32852, kItem},
    {"Fill Selection with Hex-Value", nullptr, 32946, kItem},
    {"Fill Page with all Kind of Values", nullptr, 32956, kItem},
};

const MenuItemDef kGoto[] = {
    {"&Address", "Strg-G", 32809, kItem},
    {"File Begin", "Strg-Pos1", 32908, kItem},
    {"File End", "Strg-Ende", 32909, kItem},
    {"Start of Line", "Home", 32979, kItem},
    {"End of Line", "End", 32980, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"&Next Change", "Strg-N", 32810, kItem},
    {"&Previous Change", "Strg-P", 32840, kItem},
    {"&Highlight Start", nullptr, 32995, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Auto Scroll &Up", "Strg-Up / (Leertaste)", 32870, kItem},
    {"Auto Scroll &Down", "Strg-Dn / (Leertaste)", 32869, kItem},
};

const MenuItemDef kSearch[] = {
    {"Find &Text", "Strg-F / (F3)", 32794, kItem},
    {"Find &Hex", "Strg-H / (F3)", 32802, kItem},
};

const MenuItemDef kCompare[] = {
    {"To other &File", nullptr, 32811, kItem},
    {"To other &Position (same File)", nullptr, 32812, kItem},
    {"Set &Cursor-Position as Start for Compare-File", nullptr, 32818, kItem},
    {"Set &Offset", nullptr, 32947, kItem},
    {"Find &Differences", "Strg-U", 32981, kItem},
    {"&Show Differences permamently", nullptr, 32972, kItem},
    {"&Activate Compare", nullptr, 32988, kItem},
};

const MenuItemDef kAvi[] = {
    {"Goto Film-Start", nullptr, 32896, kItem},
    {"'Play' &Video", nullptr, 32873, kItem},
    {"'Play '&Audio", nullptr, 32872, kItem},
    {"repair AVI-File", nullptr, 32899, kGreyItem},
    {"AVI File-&Information", nullptr, 32902, kItem},
    {"Check Avi-File", nullptr, 32994, kItem},
    {"Goto &First RIFF-Chunk", nullptr, 32891, kItem},
    {"Goto Next &RIFF-Chunk", "Strg-R", 32887, kItem},
    {"Goto next Sub-Chunk", "Strg-S", 32889, kItem},
};

const MenuItemDef kSpecials[] = {
    {"Show &Values", nullptr, 32958, kItem},
    {"&Disassemble", nullptr, 32957, kItem},
    {"&Lock", nullptr, 32792, kItem},
    {"&Unlock", nullptr, 32791, kItem},
    {"Show &Pointers and Flags", nullptr, 32965, kItem},
    {"Delete Drive physically", nullptr, 32969, kGreyItem},
    {"&Options", nullptr, 32934, kItem},
};

const MenuItemDef kView[] = {
    {"Actual File-Content", "F5", 32867, kItem},
    {"Compare-File", "F6", 1, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"&Undo-Preview", "ALT-F2", 32938, kGreyItem},
    {"Re&do-Preview", "ALT-F4", 65535, kGreyItem},
    {"Page-Version-&Review", "F2", 32960, kItem},
    {"Page-Version-&Preview", "F4", 32959, kItem},
    {nullptr, nullptr, 0, kSeparator},
    {"Enlarge View", nullptr, 32865, kItem},
    {"Decrease View", nullptr, 32866, kItem},
};

const MenuItemDef kHelp[] = {
    {"&Help", nullptr, 32778, kItem},
    {"&Info...", nullptr, 104, kItem},
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
    {"   |||       F5 : File-Content", nullptr, 0, false, 32867},
};
#undef MENU

const AcceleratorDef kAccelerators[] = {
    {Key('O'), kCtrl, 32827},
    {Key('L'), kCtrl, 32937},
    {Key('X'), kCtrl, 32828},
    {Key::F9, 0, 32858},
    {Key::F10, 0, 32859},
    {Key::F11, 0, 32893},
    {Key('A'), kCtrl, 32895},
    {Key::F12, 0, 32895},
    {Key('M'), kCtrl, 32984},
    {Key('C'), kCtrl, 32917},
    {Key::Insert, kCtrl, 32913},
    {Key('V'), kCtrl, 32918},
    {Key::Insert, kShift, 32864},
    {Key('Z'), kCtrl, 32992},
    {Key::F2, kCtrl, 32963},
    {Key('Y'), kCtrl, 32993},
    {Key::F4, kCtrl, 32964},
    {Key('G'), kCtrl, 32928},
    {Key::Home, kCtrl, 32787},
    {Key::End, kCtrl, 32788},
    {Key::Home, 0, 32929},
    {Key::End, 0, 32930},
    {Key('N'), kCtrl, 32829},
    {Key('P'), kCtrl, 32841},
    {Key::Up, kCtrl, 32879},
    {Key::Down, kCtrl, 32880},
    {Key('F'), kCtrl, 32794},
    {Key('H'), kCtrl, 32830},
    {Key::F3, 0, 32825},
    {Key('U'), kCtrl, 32982},
    {Key::Up, kCtrl | kAlt, 32976},
    {Key::Down, kCtrl | kAlt, 32975},
    {Key::Left, kCtrl | kAlt, 32977},
    {Key::Right, kCtrl | kAlt, 32978},
    {Key('R'), kCtrl, 32900},
    {Key('S'), kCtrl, 32907},
    {Key::F6, 0, 32813},
    {Key::F5, 0, 32821},
    {Key::F2, kAlt, 32966},
    {Key::F4, kAlt, 32967},
    {Key::F2, 0, 32962},
    {Key::F4, 0, 32961},
    {Key::QuestionMark, kAlt, 104},
    {Key::Up, 0, 32784},
    {Key::Down, 0, 32783},
    {Key::Left, 0, 32786},
    {Key::Right, 0, 32785},
    {Key::Up, kAlt, 32926},
    {Key::Down, kAlt, 32927},
    {Key::Left, kAlt, 32925},
    {Key::Right, kAlt, 32924},
    {Key::Up, kShift, 32922},
    {Key::Down, kShift, 32923},
    {Key::Left, kShift, 32921},
    {Key::Right, kShift, 32920},
    {Key::Home, kShift, 32973},
    {Key::End, kShift, 32974},
    {Key::PageUp, 0, 32781},
    {Key::PageDown, 0, 32780},
    {Key::PageUp, kCtrl, 32846},
    {Key::PageDown, kCtrl, 32847},
    {Key::Tab, 0, 32782},
    {Key::Space, 0, 32898},
    {Key('0'), kCtrl, 32990},
    {Key::Left, kCtrl, 32876},
    {Key::Right, kCtrl, 32875},
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
