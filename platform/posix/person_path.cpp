#include "platform/person_path.h"

#include "platform/path_space.h"
#include "platform/text.h"

namespace folvane {

namespace {

bool IsHostRootDrive(std::string_view path) {
    return path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':' &&
           (path.size() == 2 || path[2] == '\\');
}

// "C:…", "\\srv\shr…" and any text holding "\" are the program's own form; a text that starts
// with "/" is always the host's.
bool IsPathSpaceText(std::string_view text) {
    if (text.starts_with('/')) return false;
    if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == ':') return true;
    return text.find('\\') != std::string_view::npos;
}

}  // namespace

std::string PathForPerson(std::string_view path) {
    if (!IsHostRootDrive(path)) return std::string(path);
    std::string host = ReplaceAll(path.substr(2), "\\", "/");
    if (host.empty()) return "/";
    // A final separator adds nothing a person reads: "/home/ann", as the shell shows it.
    while (host.size() > 1 && host.ends_with('/'))
        host.pop_back();
    return host;
}

std::string PathFromPerson(std::string_view typed) {
    if (typed.empty() || IsPathSpaceText(typed)) return std::string(typed);
    // A shown path keeps the escape code points of names that are no valid UTF-8: they stand
    // for host bytes, and PathFromHost escapes those bytes again.
    return PathFromHost(HostName(typed));
}

bool SlashStartsHostPaths() {
    return true;
}

}  // namespace folvane
