#pragma once
// A test suite whose tests share one desktop (Xvfb with openbox), started
// before its first test and ended after its last; every test is skipped, with
// the reason, when the desktop tools are missing or the desktop did not start.
#include <gtest/gtest.h>

#include <string>

#include "tests/gui/desktop_session.h"

namespace quorby::testing {

class DesktopSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string missing = missingDesktopTools();
        if (!missing.empty()) {
            skipReason_ = new std::string("the desktop tools are not installed (" + missing +
                                          "; Debian: xvfb openbox xdotool x11-utils)");
            return;
        }
        session_ = new DesktopSession;
        if (!session_->start()) skipReason_ = new std::string("Xvfb or openbox did not start");
    }
    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
        delete skipReason_;
        skipReason_ = nullptr;
    }
    void SetUp() override {
        if (skipReason_) GTEST_SKIP() << *skipReason_;
    }

    // One suite runs at a time, so the suites share these two.
    static inline DesktopSession* session_ = nullptr;
    static inline std::string* skipReason_ = nullptr;
};

}  // namespace quorby::testing
