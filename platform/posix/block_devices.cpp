#include "platform/posix/block_devices.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace quorby {

namespace {

bool allOf(const std::string& s, std::size_t from, int (*pred)(int)) {
    if (from >= s.size()) return false;
    for (std::size_t i = from; i < s.size(); ++i)
        if (!pred(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// "nvme0n1": digits, 'n', digits and nothing else.
bool isNvmeNamespace(const std::string& name) {
    if (!startsWith(name, "nvme")) return false;
    std::size_t n = name.find('n', 4);
    if (n == std::string::npos || n == 4) return false;
    for (std::size_t i = 4; i < n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
    return allOf(name, n + 1, [](int c) { return std::isdigit(c); });
}

std::vector<std::string> entryNames(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end(), naturalNameLess);
    return names;
}

FilePos sizeOf(const std::string& entryDir) {
    std::FILE* f = std::fopen((entryDir + "/size").c_str(), "re");
    if (!f) return 0;
    unsigned long long sectors = 0;
    int got = std::fscanf(f, "%llu", &sectors);
    std::fclose(f);
    if (got != 1 || sectors > (~FilePos{0} >> 9)) return 0;
    return FilePos(sectors) * 512;
}

bool hasFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// sysfs writes a '/' of a device name as '!' ("cciss!c0d0").
std::string devicePathOf(std::string name) {
    std::replace(name.begin(), name.end(), '!', '/');
    return "/dev/" + name;
}

}  // namespace

bool isWholeDiskName(const std::string& name) {
    auto lettersAfter = [&](std::size_t from) { return allOf(name, from, [](int c) { return std::islower(c); }); };
    if (startsWith(name, "sd") || startsWith(name, "vd") || startsWith(name, "hd")) return lettersAfter(2);
    if (startsWith(name, "xvd")) return lettersAfter(3);
    if (startsWith(name, "mmcblk")) return allOf(name, 6, [](int c) { return std::isdigit(c); });
    return isNvmeNamespace(name);
}

bool naturalNameLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        bool da = std::isdigit(static_cast<unsigned char>(a[i]));
        bool db = std::isdigit(static_cast<unsigned char>(b[j]));
        if (da && db) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            // Compare the runs as numbers without converting: skip leading
            // zeros, then the longer run is larger, else compare digit-wise.
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj;
            int c = a.compare(si, ei - si, b, sj, ej - sj);
            if (c != 0) return c < 0;
            if (ei - i != ej - j) return ei - i < ej - j;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

void listBlockDevices(const std::string& sysRoot, std::vector<DriveInfo>* logical,
                      std::vector<DriveInfo>* physical) {
    if (logical) {
        logical->clear();
        const std::string dir = sysRoot + "/class/block";
        for (const std::string& name : entryNames(dir)) {
            if (logical->size() >= kMaxLogicalDrives) break;
            const std::string entry = dir + "/" + name;
            bool canHoldFilesystem = hasFile(entry + "/partition") || startsWith(name, "loop") ||
                                     startsWith(name, "dm-") || startsWith(name, "md");
            if (!canHoldFilesystem) continue;
            FilePos size = sizeOf(entry);
            if (size == 0) continue;
            logical->push_back({devicePathOf(name), size});
        }
    }
    if (physical) {
        physical->clear();
        const std::string dir = sysRoot + "/block";
        for (const std::string& name : entryNames(dir)) {
            if (physical->size() >= kMaxPhysicalDrives) break;
            if (!isWholeDiskName(name)) continue;
            FilePos size = sizeOf(dir + "/" + name);
            if (size == 0) continue;
            physical->push_back({devicePathOf(name), size});
        }
    }
}

}  // namespace quorby
