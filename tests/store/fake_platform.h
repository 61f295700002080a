#pragma once
// A window system for the store tests: records what the logic shows and
// answers questions and dialogs from queues set up by the test.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace quorby::test {

class FakePlatform final : public Platform {
public:
    std::vector<MessageBoxSpec> boxes;
    std::vector<std::pair<std::string, std::string>> questions;  // caption, text
    std::deque<int> questionAnswers;                              // empty: No
    std::deque<FileDialogResult> fileAnswers;                     // empty: Cancel
    std::vector<FileDialogRequest> fileRequests;
    std::function<int(DialogSpec&)> dialogHandler;                // none: Cancel
    std::vector<DialogSpec> dialogsShown;                         // as presented
    std::string caption;
    std::vector<std::string> recentFiles;
    std::map<int, bool> menuEnabled, itemEnabled;

    void drawCells(int, int, const char*, int, Colour) override {}
    void setCaption(const std::string& c) override { caption = c; }
    void setScrollBar(std::int32_t, std::int32_t) override {}
    void setMenuItemEnabled(int code, bool enabled) override { itemEnabled[code] = enabled; }
    void setMenuEnabled(int menu, bool enabled) override { menuEnabled[menu] = enabled; }
    void setRecentFiles(const std::vector<std::string>& entries) override { recentFiles = entries; }
    void popupMenu(int, int, int) override {}
    MsgAnswer messageBox(const MessageBoxSpec& box) override {
        boxes.push_back(box);
        return box.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    int questionDialog(const std::string& c, const std::string& text) override {
        questions.emplace_back(c, text);
        int answer = questionAnswers.empty() ? 0 : questionAnswers.front();
        if (!questionAnswers.empty()) questionAnswers.pop_front();
        return answer;
    }
    FileDialogResult fileDialog(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        FileDialogResult r = fileAnswers.empty() ? FileDialogResult{} : fileAnswers.front();
        if (!fileAnswers.empty()) fileAnswers.pop_front();
        return r;
    }
    int runDialog(DialogSpec& dialog) override {
        dialogsShown.push_back(dialog);
        return dialogHandler ? dialogHandler(dialog) : dialog.cancelId;
    }
    int createFont(int w, int h, int* aw, int* ah) override { *aw = w; *ah = h; return 0; }
    void fitWindowToGrid(int, int) override {}
    bool pollPendingInput() override { return false; }
    void setClipboard(const std::string&, const std::string&) override {}
    bool clipboardHas(const std::string&) override { return false; }
    std::string clipboardData(const std::string&) override { return ""; }
    void openHelp(const std::string&) override {}
    void quit(int) override {}
};

}  // namespace quorby::test
