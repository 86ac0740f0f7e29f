// The registry on Windows. HKEY_CLASSES_ROOT is the merged view of the machine's classes and
// the user's own (HKEY_CURRENT_USER\Software\Classes): values are read from the merged view,
// so the entries of either count, and keys are created and deleted in the user's part, which
// an account without administrator rights may change.

#include "platform/registry.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/test_hooks.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace folvane {

namespace {

constexpr const wchar_t* kUserClasses = L"Software\\Classes";
// Tests work below a key of their own instead: HKEY_CURRENT_USER\Software\Folvane tests\<name>.
constexpr const wchar_t* kTestingScope = L"Software\\Folvane tests\\";

constexpr REGSAM kWriteAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
                                KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK;
constexpr REGSAM kReadAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;

// Where keys are read and where they are written: a root key and the path below it.
struct Scope {
    HKEY root;
    std::wstring below;  // "" or ending in "\"
};

std::optional<std::wstring> TestingScope() {
    const std::string home = RegistryHomeForTesting();
    if (home.empty()) return std::nullopt;
    const std::size_t separator = home.find_last_of("\\/");
    return kTestingScope + WideFromUtf8(separator == std::string::npos ? home : home.substr(separator + 1));
}

Scope ReadScope() {
    if (auto testing = TestingScope()) return {HKEY_CURRENT_USER, *testing + L"\\"};
    return {HKEY_CLASSES_ROOT, L""};
}

Scope WriteScope() {
    if (auto testing = TestingScope()) return {HKEY_CURRENT_USER, *testing + L"\\"};
    return {HKEY_CURRENT_USER, std::wstring(kUserClasses) + L"\\"};
}

// A key path as the API takes it; nullopt when a component is empty ("a\\b", "\a", "a\").
std::optional<std::wstring> KeyPathOf(std::string_view key) {
    if (key.empty()) return std::wstring();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = key.find('\\', start);
        if ((end == std::string_view::npos ? key.size() : end) == start) return std::nullopt;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return WideFromUtf8(key);
}

// The full path of key below scope: the scope's own key when key is "".
std::wstring Below(const Scope& scope, const std::wstring& key) {
    std::wstring path = scope.below + key;
    while (path.ends_with(L'\\'))
        path.pop_back();
    return path;
}

RegistryKey OpenKey(const Scope& scope, const std::wstring& key, REGSAM access) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(scope.root, Below(scope, key).c_str(), 0, access, &opened) != ERROR_SUCCESS) return {};
    return RegistryKey(opened);
}

RegistryKey CreateKey(const Scope& scope, const std::wstring& key) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(scope.root, Below(scope, key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        kWriteAccess, nullptr, &created, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return RegistryKey(created);
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The raw data of a value; nullopt when it cannot be read. The value may grow between the
// query of its size and the read, so the read is repeated while it does not fit.
std::optional<std::vector<BYTE>> ValueData(const RegistryKey& key, const std::wstring& name, DWORD& type,
                                           LSTATUS& status) {
    std::vector<BYTE> data(256);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD size = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.resize(size);
            return data;
        }
        if (status != ERROR_MORE_DATA) return std::nullopt;
        data.resize(static_cast<std::size_t>(size) + sizeof(wchar_t));
    }
    return std::nullopt;
}

// A string value's text up to its first NUL (the data need not end in one).
std::string TextOf(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
              reinterpret_cast<BYTE*>(text.data()));
    return Utf8FromWide(std::wstring_view(text.c_str()));
}

}  // namespace

bool RegValueSet(RegistryRoot, std::string_view key, std::string_view valueName, int type,
                 std::string_view text, uint32_t number) {
    if (type != kRegString && type != kRegNumber) return false;
    const auto path = KeyPathOf(key);
    if (!path) return false;
    const RegistryKey opened = CreateKey(WriteScope(), *path);
    if (!opened.IsOpen()) return false;
    const std::wstring name = WideFromUtf8(valueName);
    LSTATUS status = ERROR_SUCCESS;
    if (type == kRegString) {
        const std::wstring data = WideFromUtf8(text);
        // The stated length counts the terminating NUL.
        status =
            RegSetValueExW(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    } else {
        const DWORD data = number;
        status = RegSetValueExW(opened.Get(), name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    return status == ERROR_SUCCESS;
}

std::string RegValueGet(RegistryRoot, std::string_view key, std::string_view valueName, int type,
                        std::string_view fallback) {
    const auto path = KeyPathOf(key);
    if ((type != kRegString && type != kRegNumber) || !path) return std::string(fallback);
    const RegistryKey opened = OpenKey(ReadScope(), *path, kReadAccess);
    if (!opened.IsOpen()) return std::string(fallback);
    DWORD found = REG_NONE;
    LSTATUS status = ERROR_SUCCESS;
    const auto data = ValueData(opened, WideFromUtf8(valueName), found, status);
    if (!data) return type == kRegString && status == ERROR_FILE_NOT_FOUND ? "" : std::string(fallback);
    if (type == kRegString) return IsStringType(found) ? TextOf(*data) : std::string(fallback);
    if (found != REG_DWORD || data->size() != sizeof(DWORD)) return std::string(fallback);
    DWORD number = 0;
    std::copy(data->begin(), data->end(), reinterpret_cast<BYTE*>(&number));
    return std::to_string(number);
}

bool RegKeyDelete(RegistryRoot, std::string_view parent, std::string_view name) {
    const auto parentPath = KeyPathOf(parent);
    const auto namePath = KeyPathOf(name);
    if (!parentPath || !namePath || namePath->empty()) return false;
    const RegistryKey opened = OpenKey(WriteScope(), *parentPath, kWriteAccess);
    if (!opened.IsOpen()) return false;
    // RegDeleteKeyW refuses a key that still has sub-keys.
    return RegDeleteKeyW(opened.Get(), namePath->c_str()) == ERROR_SUCCESS;
}

}  // namespace folvane
