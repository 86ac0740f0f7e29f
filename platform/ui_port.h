#pragma once
// The Ui port: the only way the engine and the form logic talk to the person. The desktop
// program answers with real dialogs, the console program with terminal prompts, tests with a
// scripted double that records what was asked.

#include <cstdint>
#include <string>

namespace folvane {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Exclamation, Critical };
enum class MsgDefault { First, Second };
enum class MsgAnswer { Ok, Yes, No };

struct MessageRequest {
    std::string text;
    std::string title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    MsgDefault defaultButton = MsgDefault::First;
};

// A save-file or open-file chooser. filter holds "|"-separated pairs of caption and pattern
// ("ﾃｷｽﾄﾌｧｲﾙ(txt)|*.txt|全てのﾌｧｲﾙ(*.*)|*.*"); several patterns in one pair are separated
// by ";". fileName proposes the file: its folder part is where the chooser starts and its
// name part is pre-filled. filterIndex is 1-based. flags are the caller's option bits.
struct FileChooserRequest {
    std::string title;
    std::string filter;
    int filterIndex = 1;
    uint32_t flags = 0;
    std::string fileName;
};

struct FileChooserResult {
    std::string fileName;  // the chosen full path; "" when cancelled
    int filterIndex = 1;   // the pair the person ended with (unchanged when cancelled)
};

class UiPort {
  public:
    virtual ~UiPort() = default;

    // Shows a modal message and returns the button chosen. A port that cannot ask answers
    // with the default button.
    virtual MsgAnswer ShowMessage(const MessageRequest& request) = 0;

    // Lets the person choose a file to write; fileName "" when cancelled.
    virtual FileChooserResult ChooseSaveFile(const FileChooserRequest& request) = 0;

    // Lets the person choose a file to read; fileName "" when cancelled.
    virtual FileChooserResult ChooseOpenFile(const FileChooserRequest& request) = 0;

    // Lets the person choose a folder, starting at initialFolder; "" when cancelled or when
    // the chosen item is no file-system folder. flags are the caller's browser option bits.
    virtual std::string ChooseFolder(const std::string& title, const std::string& initialFolder,
                                     uint32_t flags) = 0;

    // The main window's caption.
    virtual std::string WindowCaption() const = 0;
    virtual void SetWindowCaption(const std::string& caption) = 0;

    // Opens a file or a web address with the program the system associates with it. The
    // outcome is not reported.
    virtual void OpenWithAssociatedProgram(const std::string& pathOrAddress) = 0;

    // Sounds the system beep.
    virtual void Beep() = 0;

    // Lets pending user-interface events run (the cancel button, the close request, the
    // caption timer). Called after every entry of a walk and every CRC block, so it must be
    // cheap when there is nothing to do.
    virtual void PumpEvents() = 0;
};

}  // namespace folvane
