#pragma once
// What the Qt window reports: the user's actions in the logic's terms
// (client pixels, logic keys, scroll actions). LogicInput hands them to the
// window procedure; tests put a recorder in its place.
#include <cstdint>

#include "app/window_events.h"
#include "core/keys.h"

namespace quorby {

class WindowInput {
public:
    virtual ~WindowInput() = default;
    virtual void command(int code) = 0;
    // Returns true when the key was an accelerator.
    virtual bool keyDown(Key key, std::uint32_t modifiers) = 0;
    virtual void keyUp(Key key) = 0;
    virtual void character(int byte) = 0;
    virtual void mouseMove(int x, int y, bool leftDown, bool shiftDown) = 0;
    virtual void leftButtonDown(int x, int y, std::uint32_t modifiers) = 0;
    virtual void leftButtonUp(int x, int y) = 0;
    virtual void leftDoubleClick(int x, int y) = 0;
    virtual void rightButtonDown(int x, int y) = 0;
    virtual void wheel(int delta, std::uint32_t modifiers) = 0;
    virtual void scroll(ScrollAction action, std::int32_t thumbPosition) = 0;
    virtual void paint() = 0;
    virtual void resizeRequest(int clientWidth, int clientHeight) = 0;
    virtual void destroy() = 0;
    // Something happened in a modeless window (find dialog, disassembly window).
    virtual void modelessEvent(const ModelessEvent& event) { (void)event; }
    // A click on the overview strip, in bin `bin` of kOverviewBins.
    virtual void overviewClick(int bin) { (void)bin; }
};

// Forwards everything to the window procedure of app/window_events.h.
class LogicInput final : public WindowInput {
public:
    explicit LogicInput(AppState& app) : app_(app) {}
    void command(int code) override;
    bool keyDown(Key key, std::uint32_t modifiers) override;
    void keyUp(Key key) override;
    void character(int byte) override;
    void mouseMove(int x, int y, bool leftDown, bool shiftDown) override;
    void leftButtonDown(int x, int y, std::uint32_t modifiers) override;
    void leftButtonUp(int x, int y) override;
    void leftDoubleClick(int x, int y) override;
    void rightButtonDown(int x, int y) override;
    void wheel(int delta, std::uint32_t modifiers) override;
    void scroll(ScrollAction action, std::int32_t thumbPosition) override;
    void paint() override;
    void resizeRequest(int clientWidth, int clientHeight) override;
    void destroy() override;
    void modelessEvent(const ModelessEvent& event) override;
    void overviewClick(int bin) override;

private:
    AppState& app_;
};

}  // namespace quorby
