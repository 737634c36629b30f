#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>

#include "engine/platform/file_system.h"

namespace tolvane::ui::test {

std::vector<std::string> ScriptedDialogs::Choose(const ChooserRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return {};
    std::vector<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<int64_t> ScriptedDialogs::ChooseCustomSize(NativeWindow, int64_t volumeSize) {
    customSizeRequests.push_back(volumeSize);
    if (customSizeAnswers.empty()) return std::nullopt;
    const std::optional<int64_t> answer = customSizeAnswers.front();
    customSizeAnswers.pop_front();
    return answer;
}

MessageResult RecordingMessageBoxes::Show(const MessageRequest& request) {
    shown.push_back(request);
    if (onShow) onShow(request);
    if (!answers.empty()) {
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (request.buttons) {
        case MessageButtons::RetryCancel:
            return MessageResult::Cancel;
        case MessageButtons::YesNo:
            return MessageResult::No;
        default:
            return MessageResult::Ok;
    }
}

bool RecordingShell::OpenPath(const std::string& path) {
    opened.push_back(path);
    return true;
}

bool RecordingShell::StartDetached(const std::string& program,
                                   const std::vector<std::string>& args) {
    started.push_back({program, args});
    return true;
}

std::string RecordingShell::FindProgram(const std::string& name) {
    const auto it = programs.find(name);
    return it == programs.end() ? std::string() : it->second;
}

GuiFixture::GuiFixture(WindowOptions options, platform::FileSystem* fileSystem,
                       std::chrono::milliseconds progressInterval) {
    if (fileSystem == nullptr) fileSystem = &platform::NativeFileSystem();
    options.progressInterval = progressInterval;
    Services services{&dialogs, &messages, &shell, fileSystem};
    window = CreateTestWindow(services, options);
    probe = CreateWindowProbe(*window);
    window->Start();
}

GuiFixture::~GuiFixture() {
    window.reset();
    probe->Flush();
}

Page& GuiFixture::page() {
    Page* p = window->currentPage();
    if (p == nullptr) throw std::runtime_error("no current page");
    return *p;
}

void GuiFixture::Press(int controlId) {
    const bool wasRunning = window->JobRunning();
    if (!probe->Press(controlId)) {
        ADD_FAILURE() << "no button " << controlId << " on the current page";
        return;
    }
    // A press that started the engine job returns when the job is over, as
    // a press that ran the engine on this thread did.
    if (!wasRunning) WaitForJob();
}

void GuiFixture::PressAndLeaveRunning(int controlId) {
    ASSERT_TRUE(probe->Press(controlId)) << "no button " << controlId << " on the current page";
}

void GuiFixture::WaitForJob() {
    while (window->JobRunning()) probe->Pump(true);
}

std::string GuiFixture::Text(int controlId) {
    return page().Text(controlId);
}

bool GuiFixture::MenuEnabled(int menuId) {
    return probe->MenuEnabled(menuId);
}

void GuiFixture::Flush() {
    probe->Flush();
}

}  // namespace tolvane::ui::test
