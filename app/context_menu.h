#pragma once
// The file manager's context-menu entry for folders and drives, which starts the desktop
// program with the folder. Whether it exists and its caption follow the settings.

#include <string>
#include <string_view>

#include "settings/settings.h"

namespace folvane {

// The start command: the running desktop program in double quotes, a space, "%1" in double
// quotes. executablePath is the program's full path-space path.
std::string StartCommand(std::string_view executablePath);

// Makes the registry match ShortCutMenuFlg and ShortCutCaption: with the flag, writes the
// caption and the start command under Directory\Shell\Folvane and Drive\Shell\Folvane (and
// their "command" sub-keys); without it, deletes those keys, sub-keys first. Failures are
// silent. executablePath is the desktop program's full path-space path (ExecutablePath(),
// process.h); when it is "" the flag's writes are skipped and the entry stays as it was.
void ShortCutMenuUpdate(const Settings& settings, std::string_view executablePath);

// Whether the context-menu feature is available: the folder class key can be read.
bool ShortCutMenuAvailable();

inline constexpr std::string_view kCaptionDialogTitle = "ショートカット名称の設定";
inline constexpr std::string_view kCaptionEmptyMessage = "名称が入力されていません。";

}  // namespace folvane
