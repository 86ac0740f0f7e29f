// The registry on POSIX: one text file of our own in the user's data folder, read and written
// whole by every call, so that several running programs see each other's changes. After every
// change the folder verbs it holds are mirrored into desktop files (desktop_entries.h).
//
// The file (UTF-8, LF line ends):
//   [Directory\Shell\Folvane]        a key, below HKEY_CLASSES_ROOT ("[]" is the root itself)
//   =sz:フォルダ リスト(&L)           a string value; the name before "=" ("" = default value)
//   Count=dword:12                   a 32-bit number in decimal
// In names and texts "%XX" stands for a byte: "%" itself, control characters, bytes that are
// not well-formed UTF-8 and, in names, "=", "[" and ";" are written that way.

#include "platform/registry.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <optional>
#include <vector>

#include "platform/file_system.h"
#include "platform/file_write.h"
#include "platform/path_space.h"
#include "platform/posix/desktop_entries.h"
#include "platform/test_hooks.h"
#include "platform/text.h"

namespace folvane {

namespace {

struct Value {
    std::string name;
    int type = kRegString;
    std::string text;
    uint32_t number = 0;
};

Value TextValue(std::string name, std::string text) {
    Value value;
    value.name = std::move(name);
    value.text = std::move(text);
    return value;
}

Value NumberValue(std::string name, uint32_t number) {
    Value value;
    value.name = std::move(name);
    value.type = kRegNumber;
    value.number = number;
    return value;
}

struct Key {
    std::string name;  // in the spelling it was created with
    std::vector<Value> values;
    std::vector<Key> children;
};

// The user's data folder ("Z:\home\ann\.local\share"), or the one below the testing home.
std::string DataFolder() {
    const std::string testingHome = RegistryHomeForTesting();
    if (!testingHome.empty()) return PathFromHost(testingHome + "/.local/share");
    return UserDataFolder();
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

// --- Names and paths ---

// Keys nest at most this deep, as in the Windows registry; it also bounds the recursion over
// a store that was edited by hand.
constexpr std::size_t kMaxKeyDepth = 512;

// The components of a key path; "" is the root (no components). nullopt when a component is
// empty ("a\\b", "\a", "a\") or the path nests too deep.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    if (path.empty()) return parts;
    for (;;) {
        const std::size_t slash = path.find('\\');
        const std::string_view part = path.substr(0, slash);
        if (part.empty() || parts.size() == kMaxKeyDepth) return std::nullopt;
        parts.emplace_back(part);
        if (slash == std::string_view::npos) return parts;
        path.remove_prefix(slash + 1);
    }
}

Key* FindChild(Key& key, std::string_view name) {
    for (Key& child : key.children) {
        if (SameName(child.name, name)) return &child;
    }
    return nullptr;
}

Key* FindKey(Key& root, const std::vector<std::string>& parts) {
    Key* key = &root;
    for (const std::string& part : parts) {
        key = FindChild(*key, part);
        if (key == nullptr) return nullptr;
    }
    return key;
}

// The key at parts, created with any missing parents.
Key& CreateKey(Key& root, const std::vector<std::string>& parts) {
    Key* key = &root;
    for (const std::string& part : parts) {
        Key* child = FindChild(*key, part);
        if (child == nullptr) {
            key->children.emplace_back();
            key->children.back().name = part;
            child = &key->children.back();
        }
        key = child;
    }
    return *key;
}

Value* FindValue(Key& key, std::string_view name) {
    for (Value& value : key.values) {
        if (SameName(value.name, name)) return &value;
    }
    return nullptr;
}

// Sets a value, keeping the first spelling of its name.
void PutValue(Key& key, Value value) {
    if (Value* existing = FindValue(key, value.name)) {
        value.name = std::move(existing->name);
        *existing = std::move(value);
    } else {
        key.values.push_back(std::move(value));
    }
}

// --- The file format ---

constexpr std::string_view kFileHeader =
    "; Folvane's registry: [key] below HKEY_CLASSES_ROOT, then name=sz:text or name=dword:number.\n";

bool NeedsEscape(char32_t c, std::size_t length, std::string_view extra) {
    if (length == 1 && c >= 0x80) return true;    // a stray byte
    if (c >= 0xD800 && c <= 0xDFFF) return true;  // an encoded surrogate
    if (c < 0x20 || c == 0x7F || c == '%') return true;
    return c < 0x80 && extra.find(static_cast<char>(c)) != std::string_view::npos;
}

std::string Escape(std::string_view text, std::string_view extra = "") {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(text, pos);
        if (!NeedsEscape(c, pos - start, extra)) {
            out.append(text.substr(start, pos - start));
            continue;
        }
        for (std::size_t i = start; i < pos; ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "%XX" becomes its byte; a "%" without two hex digits stays as it is.
std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

constexpr std::string_view kNameSpecials = "=[;";

void WriteKey(const Key& key, const std::string& path, std::string& out) {
    if (!path.empty() || !key.values.empty()) out += "[" + Escape(path) + "]\n";
    for (const Value& value : key.values) {
        out += Escape(value.name, kNameSpecials);
        out +=
            value.type == kRegNumber ? "=dword:" + std::to_string(value.number) : "=sz:" + Escape(value.text);
        out += '\n';
    }
    for (const Key& child : key.children) {
        WriteKey(child, path.empty() ? child.name : path + "\\" + child.name, out);
    }
}

std::string StoreText(const Key& root) {
    std::string out(kFileHeader);
    WriteKey(root, "", out);
    return out;
}

std::optional<uint32_t> ParseNumber(std::string_view text) {
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// One "name=type:data" line; nullopt when it is not one.
std::optional<Value> ParseValue(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    std::string name = Unescape(line.substr(0, equals));
    const std::string_view data = line.substr(equals + 1);
    if (data.starts_with("sz:")) return TextValue(std::move(name), Unescape(data.substr(3)));
    if (!data.starts_with("dword:")) return std::nullopt;
    const auto number = ParseNumber(data.substr(6));
    if (!number) return std::nullopt;
    return NumberValue(std::move(name), *number);
}

// The store in text; lines that make no sense (say, after a hand edit) are passed over.
Key ParseStore(std::string_view text) {
    Key root;
    Key* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.starts_with(';')) continue;
        if (line.starts_with('[') && line.ends_with(']') && line.size() >= 2) {
            const auto parts = SplitKeyPath(Unescape(line.substr(1, line.size() - 2)));
            current = parts ? &CreateKey(root, *parts) : nullptr;
        } else if (current != nullptr) {
            if (auto value = ParseValue(line)) PutValue(*current, std::move(*value));
        }
    }
    return root;
}

// --- The store on disk ---

// A fresh store holds the class keys every Windows registry has and the probe reads.
Key InitialStore() {
    Key root;
    CreateKey(root, {"Directory"}).values.push_back(TextValue("", "ファイル フォルダー"));
    CreateKey(root, {"Drive"}).values.push_back(TextValue("", "ドライブ"));
    return root;
}

struct Store {
    std::string data;    // the user's data folder, path space
    std::string folder;  // our folder in it
    std::string file;
    Key root;
    std::string text;  // as read, to skip writes that change nothing
};

enum class HostEntry { kMissing, kPresent, kUnknown };

HostEntry Examine(std::string_view path) {
    const auto host = HostPathOf(path);
    if (!host) return HostEntry::kUnknown;
    struct stat facts {};
    if (lstat(host->c_str(), &facts) == 0) return HostEntry::kPresent;
    return errno == ENOENT ? HostEntry::kMissing : HostEntry::kUnknown;
}

// The store, created when there is none yet. nullopt when it cannot be read or written: then
// every call fails, and the Setup dialog's probe switches the feature off.
std::optional<Store> OpenStore() {
    const std::string data = DataFolder();
    if (data.empty()) return std::nullopt;
    Store store;
    store.data = data;
    store.folder = data + "\\folvane";
    store.file = store.folder + "\\registry.ini";
    switch (Examine(store.file)) {
        case HostEntry::kUnknown:
            return std::nullopt;
        case HostEntry::kMissing:
            store.root = InitialStore();
            store.text = StoreText(store.root);
            if (!MakeFolders(store.folder) || !WriteFileReplacing(store.file, store.text))
                return std::nullopt;
            return store;
        case HostEntry::kPresent:
            break;
    }
    auto text = ReadWholeFile(store.file);
    if (!text || !CanWriteFolder(store.folder)) return std::nullopt;
    store.root = ParseStore(*text);
    store.text = std::move(*text);
    return store;
}

// The verbs below Directory\Shell and Drive\Shell that have a caption and a command.
std::vector<FolderVerb> FolderVerbs(Key& root) {
    std::vector<FolderVerb> verbs;
    for (const char* classKey : {"Directory", "Drive"}) {
        Key* shell = FindKey(root, {classKey, "Shell"});
        if (shell == nullptr) continue;
        for (Key& verb : shell->children) {
            const Value* caption = FindValue(verb, "");
            Key* command = FindChild(verb, "command");
            const Value* line = command != nullptr ? FindValue(*command, "") : nullptr;
            if (caption == nullptr || line == nullptr || caption->type != kRegString ||
                line->type != kRegString) {
                continue;
            }
            verbs.push_back(FolderVerb{verb.name, caption->text, line->text});
        }
    }
    return verbs;
}

// Writes a changed store and brings the desktop files up to date. The desktop files are
// renewed even when the store did not change, so that deleted ones come back.
bool SaveStore(Store& store) {
    const std::string text = StoreText(store.root);
    if (text != store.text && !WriteFileReplacing(store.file, text)) return false;
    SyncDesktopEntries(store.data, FolderVerbs(store.root));
    return true;
}

// Texts end at their first NUL, as the system registry's string values do when read.
std::string UpToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

bool RegValueSet(RegistryRoot, std::string_view key, std::string_view valueName, int type,
                 std::string_view text, uint32_t number) {
    if (type != kRegString && type != kRegNumber) return false;
    const auto parts = SplitKeyPath(key);
    if (!parts) return false;
    auto store = OpenStore();
    if (!store) return false;
    Value value = type == kRegString ? TextValue(std::string(valueName), std::string(text))
                                     : NumberValue(std::string(valueName), number);
    PutValue(CreateKey(store->root, *parts), std::move(value));
    return SaveStore(*store);
}

std::string RegValueGet(RegistryRoot, std::string_view key, std::string_view valueName, int type,
                        std::string_view fallback) {
    const auto parts = SplitKeyPath(key);
    if ((type != kRegString && type != kRegNumber) || !parts) return std::string(fallback);
    auto store = OpenStore();
    if (!store) return std::string(fallback);
    Key* found = FindKey(store->root, *parts);
    if (found == nullptr) return std::string(fallback);
    const Value* value = FindValue(*found, valueName);
    if (type == kRegString && value == nullptr) return "";
    if (value == nullptr || value->type != type) return std::string(fallback);
    return type == kRegString ? UpToNul(value->text) : std::to_string(value->number);
}

bool RegKeyDelete(RegistryRoot, std::string_view parent, std::string_view name) {
    const auto parentParts = SplitKeyPath(parent);
    const auto nameParts = SplitKeyPath(name);
    if (!parentParts || !nameParts || nameParts->empty()) return false;
    auto store = OpenStore();
    if (!store) return false;
    Key* owner = FindKey(store->root, *parentParts);
    if (owner == nullptr) return false;
    // name may itself be a path below the parent; the key it ends in goes.
    for (std::size_t i = 0; i + 1 < nameParts->size(); ++i) {
        owner = FindChild(*owner, (*nameParts)[i]);
        if (owner == nullptr) return false;
    }
    auto& siblings = owner->children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it) {
        if (!SameName(it->name, nameParts->back())) continue;
        if (!it->children.empty()) return false;
        siblings.erase(it);
        return SaveStore(*store);
    }
    return false;
}

}  // namespace folvane
