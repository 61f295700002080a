#include "state/work_buffer_access.h"

namespace quorby {

std::uint8_t* blockBuffer(AppState& app) {
    if (!app.buffers.block) app.buffers.block = std::make_unique<std::uint8_t[]>(kBlockBufferSize);
    return app.buffers.block.get();
}

std::uint8_t* compareBlockBuffer(AppState& app) {
    if (!app.buffers.compareBlock) app.buffers.compareBlock = std::make_unique<std::uint8_t[]>(kBlockBufferSize);
    return app.buffers.compareBlock.get();
}

std::uint8_t* copyBlockBuffer(AppState& app) {
    if (!app.buffers.copyBlock) app.buffers.copyBlock = std::make_unique<std::uint8_t[]>(kCopyBlockSize);
    return app.buffers.copyBlock.get();
}

WriteChunk& writeChunk(AppState& app) {
    if (!app.buffers.writeChunk) app.buffers.writeChunk = std::make_unique<WriteChunk>();
    return *app.buffers.writeChunk;
}

JournalOverlayWindow& journalOverlayWindow(AppState& app) {
    if (!app.buffers.overlayWindow) app.buffers.overlayWindow = std::make_unique<JournalOverlayWindow>();
    return *app.buffers.overlayWindow;
}

}  // namespace quorby
