#pragma once
// Shared by the window tests: the one QApplication (offscreen unless the
// environment says otherwise) and a WindowInput that records what the window
// reports.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/window_input.h"

namespace quorby::test {

void ensureQtApplication();

struct InputEvent {
    std::string kind;  // "command", "keyDown", "keyUp", "char", "scroll", ...
    int a = 0;
    int b = 0;
    int c = 0;
};

class RecordingInput final : public WindowInput {
public:
    std::vector<InputEvent> events;
    // keyDown answers like the accelerator table when set.
    bool acceleratorsTaken = true;

    void command(int code) override { events.push_back({"command", code}); }
    bool keyDown(Key key, std::uint32_t modifiers) override;
    void keyUp(Key key) override { events.push_back({"keyUp", int(key)}); }
    void character(int byte) override { events.push_back({"char", byte}); }
    void mouseMove(int x, int y, bool leftDown, bool shiftDown) override {
        events.push_back({"move", x, y, (leftDown ? 1 : 0) | (shiftDown ? 2 : 0)});
    }
    void leftButtonDown(int x, int y, std::uint32_t modifiers) override {
        events.push_back({"leftDown", x, y, int(modifiers)});
    }
    void leftButtonUp(int x, int y) override { events.push_back({"leftUp", x, y}); }
    void leftDoubleClick(int x, int y) override { events.push_back({"double", x, y}); }
    void rightButtonDown(int x, int y) override { events.push_back({"rightDown", x, y}); }
    void wheel(int delta, std::uint32_t modifiers) override { events.push_back({"wheel", delta, int(modifiers)}); }
    void scroll(ScrollAction action, std::int32_t thumb) override { events.push_back({"scroll", int(action), thumb}); }
    void paint() override { events.push_back({"paint"}); }
    void resizeRequest(int w, int h) override { events.push_back({"resize", w, h}); }
    void destroy() override { events.push_back({"destroy"}); }

    std::vector<InputEvent> ofKind(const std::string& kind) const;
};

// Keeps the modeless events; everything else the window reports is ignored.
class ModelessRecorder final : public WindowInput {
public:
    std::vector<ModelessEvent> events;
    const Platform* platform = nullptr;
    bool openAtLastEvent = false;  // whether the platform still had the window then
    void modelessEvent(const ModelessEvent& event) override {
        events.push_back(event);
        if (platform) openAtLastEvent = platform->modelessOpen(event.window);
    }
    void command(int) override {}
    bool keyDown(Key, std::uint32_t) override { return false; }
    void keyUp(Key) override {}
    void character(int) override {}
    void mouseMove(int, int, bool, bool) override {}
    void leftButtonDown(int, int, std::uint32_t) override {}
    void leftButtonUp(int, int) override {}
    void leftDoubleClick(int, int) override {}
    void rightButtonDown(int, int) override {}
    void wheel(int, std::uint32_t) override {}
    void scroll(ScrollAction, std::int32_t) override {}
    void paint() override {}
    void resizeRequest(int, int) override {}
    void destroy() override {}
};

}  // namespace quorby::test
