#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

#include <utility>

namespace folvane::testing {

namespace {

bool Offers(MsgButtons buttons, MsgAnswer answer) {
    if (buttons == MsgButtons::Ok) return answer == MsgAnswer::Ok;
    return answer == MsgAnswer::Yes || answer == MsgAnswer::No;
}

MsgAnswer DefaultAnswer(const MessageRequest& request) {
    if (request.buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return request.defaultButton == MsgDefault::First ? MsgAnswer::Yes : MsgAnswer::No;
}

}  // namespace

ScriptedUi::ScriptedUi(std::string caption) : caption_(std::move(caption)) {}

void ScriptedUi::QueueAnswer(MsgAnswer answer) {
    answers_.push_back(answer);
}

void ScriptedUi::QueueFileName(std::string fileName, std::optional<int> filterIndex) {
    fileAnswers_.push_back({std::move(fileName), filterIndex});
}

void ScriptedUi::QueueFolder(std::string folder) {
    folderAnswers_.push_back(std::move(folder));
}

bool ScriptedUi::AllAnswersUsed() const {
    return answers_.empty() && fileAnswers_.empty() && folderAnswers_.empty();
}

MsgAnswer ScriptedUi::ShowMessage(const MessageRequest& request) {
    messages_.push_back(request);
    if (answers_.empty()) return DefaultAnswer(request);
    const MsgAnswer answer = answers_.front();
    answers_.pop_front();
    if (!Offers(request.buttons, answer)) {
        ADD_FAILURE() << "the scripted answer is not a button of the message \"" << request.text << "\"";
        return DefaultAnswer(request);
    }
    return answer;
}

FileChooserResult ScriptedUi::AnswerChooser(const FileChooserRequest& request) {
    FileChooserResult result{"", request.filterIndex};
    if (fileAnswers_.empty()) return result;
    FileAnswer answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    result.fileName = std::move(answer.fileName);
    if (answer.filterIndex && !result.fileName.empty()) result.filterIndex = *answer.filterIndex;
    return result;
}

FileChooserResult ScriptedUi::ChooseSaveFile(const FileChooserRequest& request) {
    saveRequests_.push_back(request);
    return AnswerChooser(request);
}

FileChooserResult ScriptedUi::ChooseOpenFile(const FileChooserRequest& request) {
    openRequests_.push_back(request);
    return AnswerChooser(request);
}

std::string ScriptedUi::ChooseFolder(const std::string& title, const std::string& initialFolder,
                                     uint32_t flags) {
    folderRequests_.push_back({title, initialFolder, flags});
    if (folderAnswers_.empty()) return "";
    std::string folder = std::move(folderAnswers_.front());
    folderAnswers_.pop_front();
    return folder;
}

void ScriptedUi::SetWindowCaption(const std::string& caption) {
    captionsSet_.push_back(caption);
    caption_ = caption;
}

void ScriptedUi::OpenWithAssociatedProgram(const std::string& pathOrAddress) {
    opened_.push_back(pathOrAddress);
}

void ScriptedUi::PumpEvents() {
    ++pumps_;
    if (pumpHook_) pumpHook_(pumps_);
}

}  // namespace folvane::testing
