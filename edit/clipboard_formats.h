#pragma once
// The clipboard formats of copy and paste: the raw bytes and their count as
// private MIME types, and plain text (the bytes as Windows-1252 characters).
#include <string>

#include "platform/platform.h"

namespace quorby {

inline constexpr const char* kMimeRawData = "application/x-quorby-rawdata";
inline constexpr const char* kMimeDataSize = "application/x-quorby-datasize";
inline constexpr const char* kMimeText = "text/plain";

// A new clipboard content of `bytes` (taken over) in the three forms: the
// raw bytes followed by a zero byte, the text up to the first zero byte
// followed by a zero byte, and the count as an unsigned 32-bit little-endian
// number followed by a 32-bit zero.
void putBytesOnClipboard(Platform& platform, std::string&& bytes);

}  // namespace quorby
