#include "app/start_up.h"

#include "platform/process.h"
#include "settings/command_line.h"

namespace folvane {

std::string HelpFilePath() {
    std::string folder = ExecutableFolder();
    if (!folder.ends_with('\\')) folder += '\\';
    return folder + "Folvane.hlp";
}

void ShowCommandLineError(UiPort& ui, int result, std::string_view typedCommandLine) {
    MessageRequest message;
    message.text = CommandLineErrorText(result, typedCommandLine);
    message.title = std::string(kCommandLineErrorTitle);
    message.icon = MsgIcon::Critical;
    ui.ShowMessage(message);
}

}  // namespace folvane
