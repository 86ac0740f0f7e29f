#pragma once
// A scripted stand-in for the Ui port. It records everything it is asked, answers message
// boxes and choosers from queues the test fills (the default button, or a cancelled chooser,
// when a queue is empty), keeps a window caption and counts beeps and event pumps. A hook on
// PumpEvents lets a test act in the middle of a run, e.g. request a cancel after N blocks.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui_port.h"

namespace folvane::testing {

class ScriptedUi : public UiPort {
  public:
    struct FolderRequest {
        std::string title;
        std::string initialFolder;
        uint32_t flags = 0;
    };

    explicit ScriptedUi(std::string caption = "Folvane");

    // --- Script -----------------------------------------------------------------------------
    // The answer to the next message box. An answer the box does not offer fails the test.
    void QueueAnswer(MsgAnswer answer);
    // The next file chooser (save or open) returns fileName ("" = cancelled) and filterIndex,
    // or the request's own filter index when none is given.
    void QueueFileName(std::string fileName, std::optional<int> filterIndex = std::nullopt);
    // The next folder browser returns folder ("" = cancelled).
    void QueueFolder(std::string folder);
    // Called by every PumpEvents with its 1-based call number, after the count is taken.
    void OnPumpEvents(std::function<void(int call)> hook) { pumpHook_ = std::move(hook); }
    // True when every scripted answer has been used.
    bool AllAnswersUsed() const;

    // --- Record -----------------------------------------------------------------------------
    const std::vector<MessageRequest>& messages() const { return messages_; }
    const std::vector<FileChooserRequest>& saveRequests() const { return saveRequests_; }
    const std::vector<FileChooserRequest>& openRequests() const { return openRequests_; }
    const std::vector<FolderRequest>& folderRequests() const { return folderRequests_; }
    const std::vector<std::string>& opened() const { return opened_; }
    // Every caption set through SetWindowCaption, in order.
    const std::vector<std::string>& captionsSet() const { return captionsSet_; }
    int beeps() const { return beeps_; }
    int pumps() const { return pumps_; }

    // --- UiPort -----------------------------------------------------------------------------
    MsgAnswer ShowMessage(const MessageRequest& request) override;
    FileChooserResult ChooseSaveFile(const FileChooserRequest& request) override;
    FileChooserResult ChooseOpenFile(const FileChooserRequest& request) override;
    std::string ChooseFolder(const std::string& title, const std::string& initialFolder,
                             uint32_t flags) override;
    std::string WindowCaption() const override { return caption_; }
    void SetWindowCaption(const std::string& caption) override;
    void OpenWithAssociatedProgram(const std::string& pathOrAddress) override;
    void Beep() override { ++beeps_; }
    void PumpEvents() override;

  private:
    struct FileAnswer {
        std::string fileName;
        std::optional<int> filterIndex;
    };

    FileChooserResult AnswerChooser(const FileChooserRequest& request);

    std::deque<MsgAnswer> answers_;
    std::deque<FileAnswer> fileAnswers_;
    std::deque<std::string> folderAnswers_;
    std::function<void(int)> pumpHook_;

    std::vector<MessageRequest> messages_;
    std::vector<FileChooserRequest> saveRequests_;
    std::vector<FileChooserRequest> openRequests_;
    std::vector<FolderRequest> folderRequests_;
    std::vector<std::string> opened_;
    std::vector<std::string> captionsSet_;
    std::string caption_;
    int beeps_ = 0;
    int pumps_ = 0;
};

}  // namespace folvane::testing
