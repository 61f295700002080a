#include "edit/clipboard_formats.h"

namespace quorby {

void putBytesOnClipboard(Platform& platform, std::string&& bytes) {
    const std::size_t n = bytes.size();
    std::string size(8, '\0');
    for (int i = 0; i < 4; ++i) size[std::size_t(i)] = char((n >> (8 * i)) & 0xFF);
    std::string text(bytes.c_str());   // up to the first zero byte
    text.push_back('\0');
    bytes.push_back('\0');
    platform.clearClipboard();
    platform.setClipboard(kMimeRawData, bytes);
    platform.setClipboard(kMimeText, text);
    platform.setClipboard(kMimeDataSize, size);
}

}  // namespace quorby
