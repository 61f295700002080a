#include "platform/qt/window_input.h"

namespace quorby {

void LogicInput::command(int code) { onCommand(app_, code); }
bool LogicInput::keyDown(Key key, std::uint32_t modifiers) { return onKeyDown(app_, key, modifiers); }
void LogicInput::keyUp(Key key) { onKeyUp(app_, key); }
void LogicInput::character(int byte) { onChar(app_, byte); }
void LogicInput::mouseMove(int x, int y, bool leftDown, bool shiftDown) { onMouseMove(app_, x, y, leftDown, shiftDown); }
void LogicInput::leftButtonDown(int x, int y, std::uint32_t modifiers) { onLeftButtonDown(app_, x, y, modifiers); }
void LogicInput::leftButtonUp(int x, int y) { onLeftButtonUp(app_, x, y); }
void LogicInput::leftDoubleClick(int x, int y) { onLeftDoubleClick(app_, x, y); }
void LogicInput::rightButtonDown(int x, int y) { onRightButtonDown(app_, x, y); }
void LogicInput::wheel(int delta, std::uint32_t modifiers) { onMouseWheel(app_, delta, modifiers); }
void LogicInput::scroll(ScrollAction action, std::int32_t thumbPosition) { onScroll(app_, action, thumbPosition); }
void LogicInput::paint() { onPaint(app_); }
void LogicInput::resizeRequest(int clientWidth, int clientHeight) { onResizeRequest(app_, clientWidth, clientHeight); }
void LogicInput::destroy() { onDestroy(app_); }
void LogicInput::modelessEvent(const ModelessEvent& event) { onModelessEvent(app_, event); }
void LogicInput::overviewClick(int bin) { onOverviewClick(app_, bin); }

}  // namespace quorby
