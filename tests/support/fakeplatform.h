#pragma once

// Recording fakes of the desktop services, for the window logic tests.

#include "imainview.h"
#include "platform/iinstancelock.h"
#include "platform/platform.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tmbr::gui::test {

struct ShownBox {
    MessageIcon icon;
    std::string title;
    std::string text;
    bool operator==(const ShownBox&) const = default;
};

class FakeMessageBox : public IMessageBox {
public:
    std::vector<ShownBox> shown; // questions are recorded with the Question icon
    std::deque<Answer> answers; // next answers; No when none is left

    void show(MessageIcon icon, const std::string& title, const std::string& text) override
    {
        shown.push_back({ icon, title, text });
    }
    Answer ask(const std::string& title, const std::string& text) override
    {
        shown.push_back({ MessageIcon::Question, title, text });
        if (answers.empty())
            return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeFileDialogs : public IFileDialogs {
public:
    std::vector<FileDialogRequest> requests;
    std::deque<std::vector<std::string>> results; // empty vector = Cancel

    std::vector<std::string> run(const FileDialogRequest& request) override
    {
        requests.push_back(request);
        if (results.empty())
            return {};
        std::vector<std::string> result = results.front();
        results.pop_front();
        return result;
    }
};

class FakeColourDialog : public IColourDialog {
public:
    std::vector<std::uint32_t> initials;
    std::optional<std::uint32_t> choice; // none = Cancel

    std::uint32_t chooseColour(std::uint32_t initial) override
    {
        initials.push_back(initial);
        return choice.value_or(initial);
    }
};

class FakeFolderBrowser : public IFolderBrowser {
public:
    std::vector<std::string> titles;
    std::deque<std::string> results; // "" = Cancel

    std::string BrowseForFolder(const std::string& title) override
    {
        titles.push_back(title);
        if (results.empty())
            return {};
        std::string result = results.front();
        results.pop_front();
        return result;
    }
};

class FakeShell : public IShell {
public:
    std::vector<std::string> opened;
    bool opens = true; // false: no program can be started
    bool open(const std::string& target) override
    {
        opened.push_back(target);
        return opens;
    }
};

class FakeClipboard : public IClipboard {
public:
    std::optional<std::string> text;
    void setText(const std::string& value) override { text = value; }
};

class FakeCursor : public ICursor {
public:
    std::vector<Pointer> changes;
    void setPointer(Pointer pointer) override { changes.push_back(pointer); }
};

class FakeInstanceLock : public IInstanceLock {
public:
    bool free = true;
    bool tryLock() override { return free; }
};

// All fakes together, with the Platform record that hands them out.
struct FakePlatform {
    FakeMessageBox messageBox;
    FakeFileDialogs fileDialogs;
    FakeColourDialog colourDialog;
    FakeFolderBrowser folderBrowser;
    FakeShell shell;
    FakeClipboard clipboard;
    FakeCursor cursor;
    Platform platform { messageBox, fileDialogs, colourDialog, folderBrowser, shell, clipboard, cursor, {} };
};

class FakeMainView : public IMainView {
public:
    std::vector<std::string> calls; // "showWindow", "showSplash", "requestClose", "focus:single",
                                    // "focus:jukebox", "showCode", "rearrange"
    std::string code;
    std::string instructions;
    std::optional<Playlist> rearrangeInput;
    std::optional<Playlist> rearrangeResult; // none = Cancel

    void showWindow() override { calls.push_back("showWindow"); }
    void showSplash() override { calls.push_back("showSplash"); }
    void requestClose() override { calls.push_back("requestClose"); }
    void focus(Control control) override
    {
        calls.push_back(control == Control::SingleOutputButton ? "focus:single" : "focus:jukebox");
    }
    void showCode(const std::string& shownCode, const std::string& shownInstructions) override
    {
        calls.push_back("showCode");
        code = shownCode;
        instructions = shownInstructions;
    }
    std::optional<Playlist> rearrange(const Playlist& playlist) override
    {
        calls.push_back("rearrange");
        rearrangeInput = playlist;
        return rearrangeResult;
    }
};

} // namespace tmbr::gui::test
