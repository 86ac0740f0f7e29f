#include "platform/posix/desktop_entries.h"

#include <sys/stat.h>

#include <optional>
#include <set>

#include "platform/file_system.h"
#include "platform/file_write.h"
#include "platform/path_space.h"
#include "platform/text.h"

namespace folvane {

namespace {

constexpr std::string_view kFilePrefix = "folvane-";
constexpr std::string_view kFileSuffix = ".desktop";

// The verb as a file and action id. Key names ignore ASCII case, so the id is lower case;
// every byte but a-z and 0-9 becomes "-" and two hex digits, which keeps the ids of different
// verbs apart and leaves only characters that desktop action ids may hold.
std::string VerbId(std::string_view verb) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    for (const char c : AsciiLower(verb)) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            id += c;
        } else {
            id += '-';
            id += kHex[byte >> 4];
            id += kHex[byte & 15];
        }
    }
    return id;
}

// The caption as a menu shows it: every access-key "&" goes, "&&" stands for one "&".
std::string MenuName(std::string_view caption) {
    std::string name;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            name += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            name += '&';
            ++i;
        }
    }
    return name;
}

// True when c, taking length bytes, was decoded from well-formed UTF-8: DecodeUtf8 turns a
// stray byte into a one-byte escape code point and lets encoded surrogates through.
bool WellFormed(char32_t c, std::size_t length) {
    if (length == 1) return c < 0x80;
    return c < 0xD800 || c > 0xDFFF;
}

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// Desktop files are UTF-8 without control characters; tab, LF and CR have escapes.
bool CanStandInDesktopFile(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(text, pos);
        if (!WellFormed(c, pos - start)) return false;
        if (IsControl(c) && c != '\t' && c != '\n' && c != '\r') return false;
    }
    return true;
}

// A caption made fit for a desktop file: a malformed sequence becomes U+FFFD and control
// characters other than tab, LF and CR go. A caption is only shown, so this loses nothing
// that matters.
std::string CleanCaption(std::string_view text) {
    std::string clean;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(text, pos);
        if (!WellFormed(c, pos - start)) {
            AppendUtf8(clean, 0xFFFD);
        } else if (!IsControl(c) || c == '\t' || c == '\n' || c == '\r') {
            clean.append(text.substr(start, pos - start));
        }
    }
    return clean;
}

// The escapes of a string value in a desktop file; a leading blank would be trimmed away.
std::string StringValue(std::string_view text) {
    std::string value;
    for (const char c : text) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value += c;
        }
    }
    if (value.starts_with(' ')) value.replace(0, 1, "\\s");
    return value;
}

// The words of a command: blanks outside double quotes separate them, the quotes go.
std::vector<std::string> CommandWords(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (const char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

// One argument of an Exec line: "%" doubled, and quoted when it holds a reserved character
// (or always, with Quote::kAlways), with "\"", "`", "$" and "\" escaped inside the quotes.
enum class Quote { kWhenNeeded, kAlways };
std::string ExecArgument(std::string_view argument, Quote quote) {
    static constexpr std::string_view kReserved = " \t\n\r\"'\\><~|&;$*?#()`";
    const std::string text = ReplaceAll(argument, "%", "%%");
    if (quote == Quote::kWhenNeeded && !text.empty() && text.find_first_of(kReserved) == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// The Exec value for a path-space command: its program becomes the quoted host path and the
// argument "%1" the field code of the chosen folder. nullopt when the program has no host path
// or a word cannot stand in a desktop file.
std::optional<std::string> ExecValue(std::string_view command) {
    const std::vector<std::string> words = CommandWords(command);
    if (words.empty()) return std::nullopt;
    const auto program = HostPathOf(words.front());
    if (!program || !CanStandInDesktopFile(*program)) return std::nullopt;
    std::string exec = ExecArgument(*program, Quote::kAlways);
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (!CanStandInDesktopFile(words[i])) return std::nullopt;
        exec += ' ';
        exec += words[i] == "%1" ? "%f" : ExecArgument(words[i], Quote::kWhenNeeded);
    }
    return StringValue(exec);
}

struct VerbFiles {
    std::string fileName;
    std::string application;  // the desktop entry
    std::string serviceMenu;  // the KDE service menu
};

std::optional<VerbFiles> FilesOf(const FolderVerb& verb) {
    // An empty caption shows the verb's own name, as Windows Explorer does.
    std::string name = StringValue(CleanCaption(MenuName(verb.caption)));
    if (name.empty()) name = StringValue(CleanCaption(verb.verb));
    const auto exec = ExecValue(verb.command);
    if (name.empty() || !exec) return std::nullopt;
    const std::string id = VerbId(verb.verb);
    VerbFiles files;
    files.fileName = std::string(kFilePrefix) + id + std::string(kFileSuffix);
    files.application = "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + *exec +
                        "\nMimeType=inode/directory;\nNoDisplay=true\nTerminal=false\n";
    files.serviceMenu = "[Desktop Entry]\nType=Service\nMimeType=inode/directory;\nActions=" + id +
                        ";\nX-KDE-Priority=TopLevel\n\n[Desktop Action " + id + "]\nName=" + name +
                        "\nExec=" + *exec + "\n";
    return files;
}

// Adds execute permission wherever the file may be read: KDE ignores service menus in the
// user's folders that are not executable.
void MakeExecutable(std::string_view path) {
    const auto host = HostPathOf(path);
    struct stat facts {};
    if (!host || stat(host->c_str(), &facts) != 0) return;
    const mode_t mode = facts.st_mode & 07777;
    const mode_t wanted = mode | ((mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2);
    if (wanted != mode) chmod(host->c_str(), wanted);
}

enum class Executable { kNo, kYes };

// Writes the file only when its content differs, so that a file manager watching the folder
// sees no change when there is none.
void KeepFile(const std::string& folder, const std::string& name, const std::string& content,
              Executable executable) {
    const std::string path = folder + "\\" + name;
    const auto current = ReadWholeFile(path);
    if (!current || *current != content) {
        if (!MakeFolders(folder) || !WriteFileReplacing(path, content)) return;
    }
    if (executable == Executable::kYes) MakeExecutable(path);
}

void RemoveOtherFiles(const std::string& folder, const std::set<std::string>& kept) {
    std::vector<std::string> stale;
    {
        FolderHandle handle;
        std::vector<FolderItem> items;
        if (!handle.Open(folder) || !handle.ReadItems(items)) return;
        for (const FolderItem& item : items) {
            if (item.name.starts_with(kFilePrefix) && item.name.ends_with(kFileSuffix) &&
                !kept.contains(item.name)) {
                stale.push_back(item.name);
            }
        }
    }
    for (const std::string& name : stale)
        DeletePath(folder + "\\" + name);
}

}  // namespace

void SyncDesktopEntries(std::string_view dataFolder, const std::vector<FolderVerb>& verbs) {
    const std::string applications = std::string(dataFolder) + "\\applications";
    const std::string serviceMenus = std::string(dataFolder) + "\\kio\\servicemenus";
    std::set<std::string> kept;
    for (const FolderVerb& verb : verbs) {
        const auto files = FilesOf(verb);
        // The first verb with an id wins: Directory comes before Drive, and both stand for
        // any folder on this system.
        if (!files || !kept.insert(files->fileName).second) continue;
        KeepFile(applications, files->fileName, files->application, Executable::kNo);
        KeepFile(serviceMenus, files->fileName, files->serviceMenu, Executable::kYes);
    }
    RemoveOtherFiles(applications, kept);
    RemoveOtherFiles(serviceMenus, kept);
}

}  // namespace folvane
