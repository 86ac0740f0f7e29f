// Walks one folder as a listing run with the default settings would and prints the length of
// the tree body, for timing the walk against other programs. It has a main() of its own: the
// benchmark library's main() is then not linked in.
//
// usage: walk_driver FOLDER

#include <cstdio>
#include <string>

#include "engine/tree_body.h"
#include "platform/path_space.h"

namespace folvane {
namespace {

// A front end that never asks anything and has no events to run.
class SilentUi final : public UiPort {
  public:
    MsgAnswer ShowMessage(const MessageRequest&) override { return MsgAnswer::Ok; }
    FileChooserResult ChooseSaveFile(const FileChooserRequest&) override { return {}; }
    FileChooserResult ChooseOpenFile(const FileChooserRequest&) override { return {}; }
    std::string ChooseFolder(const std::string&, const std::string&, uint32_t) override { return ""; }
    std::string WindowCaption() const override { return caption_; }
    void SetWindowCaption(const std::string& caption) override { caption_ = caption; }
    void OpenWithAssociatedProgram(const std::string&) override {}
    void Beep() override {}
    void PumpEvents() override {}

  private:
    std::string caption_;
};

int Run(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: walk_driver FOLDER\n");
        return 2;
    }
    Settings settings;
    SetDefaults(settings);
    CharTable chars;
    SetCharTableDefaults(chars);
    RunState run;
    SilentUi ui;
    SteadyClock clock;
    CaptionTimer caption(run, ui, clock);
    ListingContext context{settings, chars, run, ui, caption};

    std::string body;
    FolderTotals totals;
    TreeBody(context, body, "", PathFromHost(argv[1]) + "\\", totals);
    std::printf("%zu bytes, %lld folders, %lld files, %lld bytes listed\n", body.size(),
                static_cast<long long>(totals.Folders), static_cast<long long>(totals.Files),
                static_cast<long long>(totals.Bytes));
    return 0;
}

}  // namespace
}  // namespace folvane

int main(int argc, char** argv) {
    return folvane::Run(argc, argv);
}
