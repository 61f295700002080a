#pragma once
// For measuring (--timing FILE): passes the window's input on and appends to
// the file how long each user action took that lasted 0.1 s or more; actions
// handled while another one runs (a long operation's poll) count as part of it.
#include <QElapsedTimer>
#include <string>
#include <utility>

#include "platform/qt/window_input.h"

namespace quorby {

class TimedInput final : public WindowInput {
public:
    TimedInput(WindowInput& inner, std::string path) : inner_(inner), path_(std::move(path)) {}
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
    // Runs `action`, timing it when no other action is running.
    template <typename Action>
    auto timed(const char* what, int detail, Action action);
    void note(const char* what, int detail, double seconds, double processorSeconds);

    WindowInput& inner_;
    std::string path_;
    int depth_ = 0;
};

}  // namespace quorby
