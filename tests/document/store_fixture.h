#pragma once
// Common set-up of the store tests: the test application with real files in
// a private temporary directory, reached through the test file layer (drive
// list, read failures and free space scripted by the test).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_app.h"

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

class StoreTest : public ::testing::Test, protected testing::TestApp {
protected:
    testing::TempDir tmp;
    std::string dir = tmp.path() + "/";

    void SetUp() override {
        platform.yesNoDefault = MsgAnswer::No;  // unqueued Yes/No boxes are refused
        useRealFiles();
        app.settings.messageSwitches = 0;
    }
    void TearDown() override { closeFiles(); }
    std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        testing::writeFile(dir + name, bytes);
        return dir + name;
    }
    std::vector<std::uint8_t> shown(std::size_t from, std::size_t count) const {
        return {app.view.pageBuffer + from, app.view.pageBuffer + from + count};
    }
};

}  // namespace quorby::test
