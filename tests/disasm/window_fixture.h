#pragma once
// A Main File of known bytes shown from position 0, with the disassembly
// window's events sent the way the platform sends them.
#include <string>
#include <vector>

#include "app/window_events.h"
#include "core/command_codes.h"
#include "core/tables.h"
#include "decoder/decoder_state.h"
#include "disasm/disasm_options.h"
#include "disasm/disassembly_window.h"
#include "navigate/page_moves.h"
#include "tests/support/test_app.h"

namespace quorby::disasm::testing {

struct DisasmApp : quorby::testing::TestApp {
    quorby::testing::MemoryFileIo& files = io;

    explicit DisasmApp(const std::vector<std::uint8_t>& content, DecoderMode mode = DecoderMode::Protected32,
                       FilePos syntheticZeros = 0) {
        if (syntheticZeros) files.addSyntheticFile("code.bin", syntheticZeros, [](FilePos) { return std::uint8_t(0); });
        else createFile("code.bin", content);
        setSettingsDefaults(app.settings, "", "");
        storeDecoderState(app.settings, setDecoderMode(storedDecoderState(app.settings), mode));
        openMain("code.bin", OpenMode::ReadOnly);
        show();
    }

    void setOption(std::uint32_t bit) { storeDecoderState(app.settings, storedDecoderState(app.settings) | bit); }
    void disassemble() { dispatchCommand(app, kCmdDisassemble); }
    void send(ModelessEventKind kind, int id, bool checked = false, std::size_t caret = 0) {
        ModelessEvent e{ModelessWindow::Disassembly, kind, id, checked, caret};
        onModelessEvent(app, e);
    }
    void press(int id) { send(ModelessEventKind::Pressed, id); }
    void toggle(int id, bool checked) { send(ModelessEventKind::Toggled, id, checked); }
    void caret(std::size_t at) { send(ModelessEventKind::CaretMoved, kDisasmListing, false, at); }

    bool windowOpen() const { return platform.modelessOpen(ModelessWindow::Disassembly); }
    quorby::testing::FakePlatform::Modeless& window() { return platform.modeless[ModelessWindow::Disassembly]; }
    std::string shown() { return window().listings[kDisasmListing]; }
    const DialogControl& control(int id) { return *window().dialog.find(id); }
};

// The listing's line for an instruction at `pos` with `text`.
inline std::string listingLine(FilePos pos, const std::string& text) {
    char position[20];
    formatPositionText(pos, position);
    return std::string(position, 20) + " :    " + text + "\r\n";
}

}  // namespace quorby::disasm::testing
