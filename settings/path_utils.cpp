#include "settings/path_utils.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/text.h"

namespace folvane {

namespace {

// ---- Arguments --------------------------------------------------------------------------------

bool IsArgumentSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// 0-based index of the first separator outside double quotes; npos when there is none.
std::size_t ArgumentEndIndex(std::string_view text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && IsArgumentSeparator(text[i])) {
            return i;
        }
    }
    return std::string_view::npos;
}

// One argument as written: surrounding quotes dropped (only when something stands between
// them), then each doubled quote made single.
std::string UnquotedArgument(std::string_view argument) {
    if (argument.size() > 2 && argument.front() == '"' && argument.back() == '"') {
        argument = argument.substr(1, argument.size() - 2);
    }
    return ReplaceAll(argument, "\"\"", "\"");
}

// An argument as the splitter reads it back: in double quotes, with inner quotes doubled, when
// it holds a separator or a quote.
std::string QuotedArgument(std::string_view argument) {
    const bool plain = std::none_of(argument.begin(), argument.end(),
                                    [](char c) { return IsArgumentSeparator(c) || c == '"'; });
    if (plain) return std::string(argument);
    return '"' + ReplaceAll(argument, "\"", "\"\"") + '"';
}

// ---- Paths ------------------------------------------------------------------------------------

bool IsDotsOnly(std::string_view component) {
    return !component.empty() && component.find_first_not_of('.') == std::string_view::npos;
}

// The current folder a path with this drive part is resolved against. A share has no current
// folder: its relative paths start at its root.
std::string CurrentFolderFor(std::string_view drivePart) {
    if (drivePart.empty()) return ProcessCurrentFolder();
    if (drivePart.starts_with("\\\\")) return "\\";
    if (drivePart.size() == 2) return DriveCurrentFolder(drivePart[0]);
    // "ab:" names no drive that could have a current folder; its root is all there is.
    return std::string(drivePart) + '\\';
}

// The components of a current folder: the part after its drive part and the "\" after that.
std::vector<std::string> CurrentFolderComponents(std::string_view currentFolder) {
    std::string_view rest = currentFolder.substr(DrivePart(currentFolder).size());
    if (rest.starts_with('\\')) rest.remove_prefix(1);
    std::vector<std::string> components = SplitPath(rest);
    std::erase(components, std::string());
    return components;
}

// Applies the components of a path to a stack of folder names; false when the path has two
// "\" in a row or climbs above the root.
bool ApplyComponents(const std::vector<std::string>& components, std::vector<std::string>& stack) {
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        if (component.empty()) {
            if (i != 0) return false;
            stack.clear();
        } else if (IsDotsOnly(component)) {
            const std::size_t climb = component.size() - 1;
            if (climb > stack.size()) return false;
            stack.resize(stack.size() - climb);
        } else {
            stack.push_back(component);
        }
    }
    return true;
}

std::string JoinFolders(std::string_view drivePart, const std::vector<std::string>& stack) {
    std::string path(drivePart);
    if (stack.empty()) return path + '\\';
    for (const auto& folder : stack)
        path.append("\\").append(folder);
    return path;
}

// The attribute bits TruePath judges a path by: read-only, hidden, system, volume, folder.
constexpr uint32_t kTruePathBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrVolume | kAttrFolder;
constexpr uint32_t kRestrictedBits = kAttrReadOnly | kAttrHidden | kAttrSystem;

bool AttributesAllowed(uint32_t attributes, uint32_t mask) {
    attributes &= kTruePathBits;
    if ((attributes & kAttrFolder) != (mask & kAttrFolder)) return false;
    return (attributes & kRestrictedBits & ~mask) == 0;
}

// Index of the last "." that comes after the last "\" and the last ":"; npos when none does.
std::size_t ExtensionDot(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return dot;
    const std::size_t boundary = name.find_last_of("\\:");
    if (boundary != std::string_view::npos && boundary > dot) return std::string_view::npos;
    return dot;
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view text) {
    std::vector<std::string> arguments;
    std::string_view rest = TrimBlanks(text);
    if (rest.empty()) return arguments;
    for (;;) {
        const std::size_t end = ArgumentEndIndex(rest);
        arguments.push_back(UnquotedArgument(rest.substr(0, end)));
        if (end == std::string_view::npos) return arguments;
        rest.remove_prefix(end + 1);
    }
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ' ';
        text += QuotedArgument(arguments[i]);
    }
    return text;
}

int FindArgumentEnd(std::string_view text) {
    const std::size_t end = ArgumentEndIndex(text);
    if (end == std::string_view::npos || end >= static_cast<std::size_t>(INT_MAX)) return 0;
    return static_cast<int>(end) + 1;
}

std::string DrivePart(std::string_view path) {
    if (path.starts_with("\\\\")) {
        const std::size_t serverEnd = path.find('\\', 2);
        if (serverEnd == std::string_view::npos) return "";
        return std::string(path.substr(0, path.find('\\', serverEnd + 1)));
    }
    const std::size_t colon = path.find(':');
    if (colon == std::string_view::npos) return "";
    return std::string(path.substr(0, colon + 1));
}

std::vector<std::string> SplitPath(std::string_view text) {
    std::vector<std::string> components;
    std::size_t start = 0;
    for (std::size_t separator = text.find('\\'); separator != std::string_view::npos;
         separator = text.find('\\', start)) {
        components.emplace_back(text.substr(start, separator - start));
        start = separator + 1;
    }
    if (start < text.size()) components.emplace_back(text.substr(start));
    return components;
}

std::string FullPath(std::string_view path) {
    path = TrimBlanks(path);
    if (path.empty()) return "";
    std::string drivePart = DrivePart(path);
    std::string_view rest = path.substr(drivePart.size());
    const std::string currentFolder = CurrentFolderFor(drivePart);
    if (drivePart.empty()) drivePart = DrivePart(currentFolder);
    if (rest.empty()) rest = ".";

    std::vector<std::string> stack;
    if (!rest.starts_with('\\')) {
        // A current folder that is gone leaves nothing to resolve a relative path against.
        if (currentFolder.empty()) return "";
        stack = CurrentFolderComponents(currentFolder);
    }
    if (drivePart.empty()) return "";
    const std::vector<std::string> components = SplitPath(rest);
    if (components.empty() || !ApplyComponents(components, stack)) return "";
    return JoinFolders(drivePart, stack);
}

std::string TruePath(std::string_view path, uint32_t mask) {
    const auto attributes = GetAttributes(path);
    if (!attributes || !AttributesAllowed(*attributes, mask)) return "";

    const std::string drivePart = DrivePart(path);
    std::string_view rest = path.substr(drivePart.size());
    std::string result;
    if (rest.starts_with('\\')) {
        result += '\\';
        rest.remove_prefix(1);
    }
    const std::vector<std::string> components = SplitPath(rest);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        if (component.empty()) return "";
        if (IsDotsOnly(component)) {
            result += component;
        } else {
            const auto stored = StoredName(drivePart + result, component);
            if (!stored) return "";
            result += *stored;
        }
        if (i + 1 < components.size()) result += '\\';
    }
    return drivePart + result;
}

bool HasReservedName(std::string_view path) {
    static constexpr std::array<std::string_view, 8> kReserved = {"CON",  "PRN",  "AUX",  "NUL",
                                                                  "COM1", "COM2", "COM3", "COM4"};
    const std::size_t driveLength = DrivePart(path).size();
    for (const auto& component : SplitPath(path.substr(driveLength))) {
        const std::string upper = AsciiUpper(component);
        if (std::find(kReserved.begin(), kReserved.end(), upper) != kReserved.end()) return true;
    }
    return false;
}

bool IsFolder(std::string_view path) {
    const auto attributes = GetAttributes(path);
    return attributes && (*attributes & kAttrFolder) != 0;
}

bool IsFile(std::string_view path) {
    const auto attributes = GetAttributes(path);
    return attributes && (*attributes & kAttrFolder) == 0;
}

bool PathExists(std::string_view path) {
    return IsFile(path) || IsFolder(path);
}

std::string ShortPath(std::string_view path) {
    // The platform knows the short form and the room the system gives it; where names have no
    // short form the path itself is its short form, however long.
    return ShortPathOf(path);
}

std::string WithBackslash(std::string_view path) {
    std::string result(TrimBlanks(path));
    if (!result.empty() && !result.ends_with('\\')) result += '\\';
    return result;
}

std::string WithoutBackslash(std::string_view path) {
    std::string result(TrimBlanks(path));
    if (result.ends_with('\\') && !result.ends_with(":\\")) result.pop_back();
    return result;
}

std::string ParentFolder(std::string_view path) {
    const std::string drivePart = DrivePart(path);
    if (drivePart.empty()) return "";
    std::string parent = drivePart;
    std::string_view rest = path.substr(drivePart.size());
    if (rest.starts_with('\\')) {
        parent += '\\';
        rest.remove_prefix(1);
    }
    const std::size_t last = rest.rfind('\\');
    if (last != std::string_view::npos) parent += rest.substr(0, last);
    return parent;
}

std::string FileNamePart(std::string_view path) {
    // ParentFolder always gives a prefix of the path.
    std::string_view name = path.substr(ParentFolder(path).size());
    if (name.starts_with('\\')) name.remove_prefix(1);
    return std::string(name);
}

std::string Extension(std::string_view name) {
    const std::size_t dot = ExtensionDot(name);
    return dot == std::string_view::npos ? "" : std::string(name.substr(dot + 1));
}

std::string WithoutExtension(std::string_view name) {
    const std::size_t dot = ExtensionDot(name);
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string ReadTextFile(std::string_view path, std::string_view fallback, int64_t maxBytes) {
    const auto content = ReadWholeFile(path, maxBytes);
    if (!content) return std::string(fallback);
    return FromCp932(*content);
}

int CompareNames(std::string_view a, std::string_view b) {
    const int ignoringCase = CompareTextIgnoringCase(a, b);
    if (ignoringCase != 0) return ignoringCase;
    if (a == b) return 0;
    const int foldedAscii = CompareTextBinary(AsciiLower(a), AsciiLower(b));
    if (foldedAscii != 0) return foldedAscii;
    // Names that differ only in ASCII letter case ("A" and "a") can stand side by side on a
    // case-sensitive file system; the plain comparison of the texts keeps their order fixed.
    return CompareTextBinary(a, b);
}

}  // namespace folvane
