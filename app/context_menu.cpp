#include "app/context_menu.h"

#include "platform/registry.h"

namespace folvane {

namespace {

constexpr RegistryRoot kRoot = RegistryRoot::ClassesRoot;
constexpr std::string_view kDirectoryShell = "Directory\\Shell";
constexpr std::string_view kDriveShell = "Drive\\Shell";
constexpr std::string_view kVerb = "Folvane";
constexpr std::string_view kCommand = "command";

std::string Join(std::string_view parent, std::string_view name) {
    return std::string(parent) + "\\" + std::string(name);
}

void WriteVerb(std::string_view shell, const std::string& caption, const std::string& command) {
    const std::string verb = Join(shell, kVerb);
    RegValueSet(kRoot, verb, "", kRegString, caption);
    RegValueSet(kRoot, Join(verb, kCommand), "", kRegString, command);
}

// "command" goes first: a key that still has a sub-key cannot be deleted.
void DeleteVerb(std::string_view shell) {
    RegKeyDelete(kRoot, Join(shell, kVerb), kCommand);
    RegKeyDelete(kRoot, shell, kVerb);
}

}  // namespace

// The command names the executable by its full path as the caller found it. Building it from
// the executable's folder, its name without extension and ".exe" would only fit Windows: the
// desktop program on other systems has no extension, and such a command would name a file
// that does not exist.
std::string StartCommand(std::string_view executablePath) {
    return "\"" + std::string(executablePath) + "\" \"%1\"";
}

void ShortCutMenuUpdate(const Settings& settings, std::string_view executablePath) {
    if (settings.ShortCutMenuFlg) {
        // Without the program's path the command would start nothing; the entry is then left
        // as it is rather than replaced by a broken one.
        if (executablePath.empty()) return;
        const std::string command = StartCommand(executablePath);
        WriteVerb(kDirectoryShell, settings.ShortCutCaption, command);
        WriteVerb(kDriveShell, settings.ShortCutCaption, command);
    } else {
        DeleteVerb(kDirectoryShell);
        DeleteVerb(kDriveShell);
    }
}

bool ShortCutMenuAvailable() {
    return !RegValueGet(kRoot, "Directory", "", kRegString, "").empty();
}

}  // namespace folvane
