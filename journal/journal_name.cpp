#include "journal/journal_name.h"

#include <cstdint>
#include <cstdio>

namespace quorby {

namespace {

constexpr std::size_t kExtensionLength = 4;
constexpr std::size_t kHashSuffixLength = 18;  // "~h" and 16 hexadecimal digits

std::uint64_t nameHash(const std::string& text) {
    std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string hashSuffix(const std::string& text) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(nameHash(text)));
    return std::string("~h") + digits;
}

}  // namespace

bool endsWithJnl(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "jnl") == 0;
}

std::string escapeMainName(const std::string& mainName) {
    std::string out;
    out.reserve(mainName.size() + 16);
    for (std::size_t i = 0; i < mainName.size(); ++i) {
        char c = mainName[i];
        if (c == ':' && i + 1 < mainName.size() && mainName[i + 1] == '/') {
            out += "~1";
            ++i;
        } else if (c == ':') {
            out += "~0";
        } else if (c == '/') {
            out += "~2";
        } else if (c == '~') {
            out += "~3";
        } else {
            out += c;
        }
    }
    return out;
}

std::string composeInDirectory(const std::string& directory, const std::string& mainName,
                               bool appendExtension) {
    std::string dir = directory;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string base = escapeMainName(mainName);
    std::string extension;
    if (appendExtension) {
        extension = kJournalExtension;
    } else if (endsWithJnl(base) && base.size() > kExtensionLength) {
        base.resize(base.size() - kExtensionLength);
        extension = kJournalExtension;
    }
    // One file name may hold at most 255 bytes: a longer one is cut and made
    // unique again by the hash of the whole name.
    if (base.size() + extension.size() > kComposedNameLimit) {
        base.resize(kComposedNameLimit - extension.size() - kHashSuffixLength);
        base += hashSuffix(mainName);
    }
    return dir + base + extension;
}

}  // namespace quorby
