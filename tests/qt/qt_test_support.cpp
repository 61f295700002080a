#include "tests/qt/qt_test_support.h"

#include <QApplication>
#include <cstdlib>

#include "resources/menus.h"

namespace quorby::test {

void ensureQtApplication() {
    if (QApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives until the test program ends
}

bool RecordingInput::keyDown(Key key, std::uint32_t modifiers) {
    events.push_back({"keyDown", int(key), int(modifiers)});
    return acceleratorsTaken && acceleratorCode(key, modifiers) != 0;
}

std::vector<InputEvent> RecordingInput::ofKind(const std::string& kind) const {
    std::vector<InputEvent> found;
    for (const InputEvent& e : events)
        if (e.kind == kind) found.push_back(e);
    return found;
}

}  // namespace quorby::test

// fontconfig keeps caches for the whole process that LeakSanitizer reports
// at exit; they are no leaks of this program. Leaks anywhere else still fail.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
