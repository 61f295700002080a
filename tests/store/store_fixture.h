#pragma once
// Common set-up of the store tests: an application state with the fake
// window system and real files in a private temporary directory, reached
// through the test file layer (drive list, read failures and free space
// scripted by the test, everything else PosixFileIo).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "platform/posix/posix_file_io.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_file_io.h"

namespace quorby::test {

// Bytes that differ from page to page, so a page read from the wrong
// position cannot pass.
inline std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint32_t seed = 1) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t x = seed * 2654435761u + 12345u;
    for (auto& b : bytes) b = std::uint8_t((x = x * 1103515245u + 12345u) >> 16);
    return bytes;
}

inline std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& v, std::size_t from, std::size_t count) {
    return {v.begin() + from, v.begin() + from + count};
}

class StoreTest : public ::testing::Test {
protected:
    testing::FakePlatform platform;
    PosixFileIo posix;
    testing::MemoryFileIo io;
    AppState app;
    std::string dir;  // ends with '/'

    void SetUp() override {
        char pattern[] = "/tmp/quorby-store-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
        platform.yesNoDefault = MsgAnswer::No;  // unqueued Yes/No boxes are refused
        io.real = &posix;
        app.platform = &platform;
        app.files = &io;
        app.settings.messageSwitches = 0;
    }
    void TearDown() override {
        if (app.main.mainHandle != kNoFile) io.close(app.main.mainHandle);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::string path = dir + name;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size())) << path;
        ::close(fd);
        return path;
    }
    std::vector<std::uint8_t> shown(std::size_t from, std::size_t count) const {
        return {app.view.pageBuffer + from, app.view.pageBuffer + from + count};
    }
};

}  // namespace quorby::test
