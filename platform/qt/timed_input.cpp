#include "platform/qt/timed_input.h"

#include <cstdio>
#include <ctime>

namespace quorby {

namespace {

constexpr qint64 kNotedFromNs = 100'000'000;  // 0.1 s

}  // namespace

template <typename Action>
auto TimedInput::timed(const char* what, int detail, Action action) {
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu = std::clock();
    ++depth_;
    struct Leave {
        TimedInput& input;
        QElapsedTimer& clock;
        std::clock_t cpu;
        const char* what;
        int detail;
        ~Leave() {
            if (--input.depth_ == 0 && clock.nsecsElapsed() >= kNotedFromNs)
                input.note(what, detail, double(clock.nsecsElapsed()) / 1e9, double(std::clock() - cpu) / CLOCKS_PER_SEC);
        }
    } leave{*this, clock, cpu, what, detail};
    return action();
}

void TimedInput::note(const char* what, int detail, double seconds, double processorSeconds) {
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
        std::fprintf(f, "%.6f %.6f %s %d\n", seconds, processorSeconds, what, detail);
        std::fclose(f);
    }
}

void TimedInput::command(int code) {
    timed("command", code, [&] { inner_.command(code); });
}
bool TimedInput::keyDown(Key key, std::uint32_t modifiers) {
    return timed("key", int(key), [&] { return inner_.keyDown(key, modifiers); });
}
void TimedInput::keyUp(Key key) { inner_.keyUp(key); }
void TimedInput::character(int byte) {
    timed("character", byte, [&] { inner_.character(byte); });
}
void TimedInput::mouseMove(int x, int y, bool leftDown, bool shiftDown) { inner_.mouseMove(x, y, leftDown, shiftDown); }
void TimedInput::leftButtonDown(int x, int y, std::uint32_t modifiers) {
    timed("click", 0, [&] { inner_.leftButtonDown(x, y, modifiers); });
}
void TimedInput::leftButtonUp(int x, int y) { inner_.leftButtonUp(x, y); }
void TimedInput::leftDoubleClick(int x, int y) {
    timed("double-click", 0, [&] { inner_.leftDoubleClick(x, y); });
}
void TimedInput::rightButtonDown(int x, int y) { inner_.rightButtonDown(x, y); }
void TimedInput::wheel(int delta, std::uint32_t modifiers) { inner_.wheel(delta, modifiers); }
void TimedInput::scroll(ScrollAction action, std::int32_t thumbPosition) {
    timed("scroll", int(action), [&] { inner_.scroll(action, thumbPosition); });
}
void TimedInput::paint() { inner_.paint(); }
void TimedInput::resizeRequest(int clientWidth, int clientHeight) { inner_.resizeRequest(clientWidth, clientHeight); }
void TimedInput::destroy() { inner_.destroy(); }
void TimedInput::modelessEvent(const ModelessEvent& event) {
    timed("window", int(event.window), [&] { inner_.modelessEvent(event); });
}

void TimedInput::overviewClick(int bin) {
    timed("overview", bin, [&] { inner_.overviewClick(bin); });
}

}  // namespace quorby
