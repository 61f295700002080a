#pragma once
// A Main File of known bytes shown from position 0, with the disassembly
// window's events sent the way the platform sends them.
#include <string>
#include <vector>

#include "core/command_codes.h"
#include "app/dispatch.h"
#include "state/settings_file.h"
#include "core/tables.h"
#include "app/window_events.h"
#include "decoder/decoder_state.h"
#include "disasm/disasm_options.h"
#include "disasm/disassembly_window.h"
#include "store/page_assembly.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"
#include "navigate/page_moves.h"
#include "view/scroll_bar.h"

namespace quorby::disasm::testing {

struct DisasmApp {
    quorby::testing::FakePlatform platform;
    quorby::testing::MemoryFileIo files;
    AppState app;

    explicit DisasmApp(const std::vector<std::uint8_t>& content, DecoderMode mode = DecoderMode::Protected32,
                       FilePos syntheticZeros = 0) {
        if (syntheticZeros) files.addSyntheticFile("code.bin", syntheticZeros, [](FilePos) { return std::uint8_t(0); });
        else files.files["code.bin"] = content;
        app.platform = &platform;
        app.files = &files;
        setSettingsDefaults(app.settings, "", "");
        storeDecoderState(app.settings, setDecoderMode(storedDecoderState(app.settings), mode));
        files.open("code.bin", OpenMode::ReadOnly, &app.main.mainHandle);
        app.main.mainName = "code.bin";
        app.main.mainKind = MainKind::File;
        app.main.fileSize = syntheticZeros ? syntheticZeros : content.size();
        app.main.lastBytePos = app.main.fileSize - 1;
        loadPagePair(app, 0);
        prepareScrollMapping(app);
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
