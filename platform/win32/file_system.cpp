// Path queries on Windows: attributes and times from GetFileAttributesExW, stored spellings from
// FindFirstFileExW, short names from GetShortPathNameW, contents through CreateFileW.

#include "platform/file_system.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>

#include "platform/path_space.h"
#include "platform/win32/file_open.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win_facts.h"
#include "platform/win32/win_path.h"

namespace folvane {

namespace {

// ---- Times ------------------------------------------------------------------------------------

// The seconds a FILETIME can hold: from 1601 to about 30828.
constexpr int64_t kFirstFileTimeSecond = -11'644'473'600;
constexpr int64_t kLastFileTimeSecond = INT64_MAX / 10'000'000 + kFirstFileTimeSecond;

// The time zone with its rules for every year (Windows keeps the dates on which daylight
// saving time began and ended in earlier years). Read once per year asked: the walk converts
// two times per entry, and the zone does not change during a listing. Worker threads may ask.
std::optional<TIME_ZONE_INFORMATION> ZoneForYear(WORD year) {
    static std::mutex lock;
    static std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone;
    static std::map<WORD, std::optional<TIME_ZONE_INFORMATION>> years;
    std::lock_guard guard(lock);
    if (!zone) {
        DYNAMIC_TIME_ZONE_INFORMATION info{};
        if (GetDynamicTimeZoneInformation(&info) == TIME_ZONE_ID_INVALID) return std::nullopt;
        zone = info;
    }
    const auto known = years.find(year);
    if (known != years.end()) return known->second;
    TIME_ZONE_INFORMATION rules{};
    std::optional<TIME_ZONE_INFORMATION> found;
    if (GetTimeZoneInformationForYear(year, &*zone, &rules)) found = rules;
    years.emplace(year, found);
    return found;
}

// ---- Entries ----------------------------------------------------------------------------------

// One find query of exactly this path (no wildcards in it); false when nothing answers.
bool FindExactly(const std::wstring& extendedPath, WIN32_FIND_DATAW& data) {
    const FindHandle find(
        FindFirstFileExW(extendedPath.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    return find.IsOpen();
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> AttributeData(const std::wstring& extendedPath) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(extendedPath.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data;
}

FileFacts FactsFromAttributeData(const WIN32_FILE_ATTRIBUTE_DATA& attributes) {
    WIN32_FIND_DATAW data{};
    data.dwFileAttributes = attributes.dwFileAttributes;
    data.ftCreationTime = attributes.ftCreationTime;
    data.ftLastWriteTime = attributes.ftLastWriteTime;
    data.nFileSizeHigh = attributes.nFileSizeHigh;
    data.nFileSizeLow = attributes.nFileSizeLow;
    return FactsFromFind(data);
}

// Facts of a path, a link followed to what it leads to; withIdentity also asks for the file's
// identity, which costs one more open.
std::optional<FileFacts> QueryFacts(std::string_view path, bool withIdentity) {
    const auto extended = ExtendedPathOf(path);
    if (!extended) return std::nullopt;
    const auto attributes = AttributeData(*extended);
    if (!attributes) return std::nullopt;
    // Only a find query tells which kind of reparse point an entry is.
    WIN32_FIND_DATAW found{};
    if ((attributes->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && FindExactly(*extended, found))
        return ResolvedFacts(found, *extended);
    FileFacts facts = FactsFromAttributeData(*attributes);
    if (withIdentity) {
        if (const auto opened = FactsThroughHandle(*extended)) facts.identity = opened->identity;
    }
    return facts;
}

bool HoldsWildcard(std::string_view name) {
    // FindFirstFileExW would read these as patterns; no Windows name holds one.
    return name.find_first_of("*?<>\"") != std::string_view::npos;
}

std::wstring ShortFormOf(const std::wstring& extendedPath) {
    return GrowingWideQuery(
        [&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(extendedPath.c_str(), buffer, size); });
}

// The path-space root of a full path: "C:\" or "\\srv\shr\".
std::string PathSpaceRoot(std::string_view path) {
    if (!path.starts_with("\\\\")) return std::string(path.substr(0, 3));
    const std::size_t serverEnd = path.find('\\', 2);
    const std::size_t shareEnd = std::min(path.find('\\', serverEnd + 1), path.size());
    return std::string(path.substr(0, shareEnd)) + "\\";
}

}  // namespace

int64_t LocalSecondsOf(UtcSeconds t) {
    // The rules of the zone for that moment's year, as a clock on the wall showed it then (and
    // as the POSIX backend's localtime does); FileTimeToLocalFileTime would apply today's
    // daylight saving offset to every date of the year.
    if (t < kFirstFileTimeSecond || t > kLastFileTimeSecond) return t;
    const FILETIME utc = FileTimeOf(t);
    SYSTEMTIME utcParts{};
    SYSTEMTIME localParts{};
    FILETIME local{};
    if (!FileTimeToSystemTime(&utc, &utcParts)) return t;
    const auto zone = ZoneForYear(utcParts.wYear);
    if (!zone || !SystemTimeToTzSpecificLocalTime(&*zone, &utcParts, &localParts) ||
        !SystemTimeToFileTime(&localParts, &local)) {
        return t;  // outside the years Windows can convert
    }
    return UtcSecondsOf(local);
}

int64_t LocalSecondsNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return LocalSecondsOf(UtcSecondsOf(now));
}

std::optional<uint32_t> GetAttributes(std::string_view path) {
    const auto facts = QueryFacts(path, false);
    if (!facts) return std::nullopt;
    return facts->attributes;
}

std::optional<FileFacts> GetFileFacts(std::string_view path) {
    return QueryFacts(path, true);
}

std::optional<std::string> StoredName(std::string_view folder, std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.find('\\') != std::string_view::npos ||
        HoldsWildcard(name)) {
        return std::nullopt;
    }
    std::string path(folder);
    if (!path.ends_with('\\')) path += '\\';
    path += name;
    const auto extended = ExtendedPathOf(path);
    WIN32_FIND_DATAW data{};
    if (!extended || !FindExactly(*extended, data)) return std::nullopt;
    return Utf8FromWide(data.cFileName);
}

std::string ShortPathOf(std::string_view path) {
    const auto windowsPath = WindowsPathOf(path);
    if (!windowsPath) return "";
    const std::wstring shortForm = ShortFormOf(ExtendedForm(*windowsPath));
    if (shortForm.empty()) return "";
    // The part below the root, in the path space's own root: a drive mapped by a test keeps
    // its letter.
    const std::string root = PathSpaceRoot(path);
    const auto hostRoot = WindowsPathOf(root);
    const std::wstring shortRoot = hostRoot ? ShortFormOf(ExtendedForm(*hostRoot)) : L"";
    const std::string shortPath = PathFromWide(shortForm);
    const std::string shortRootPath = PathFromWide(shortRoot);
    if (shortRoot.empty() || !shortPath.starts_with(shortRootPath)) return shortPath;
    std::string below = shortPath.substr(shortRootPath.size());
    if (below.starts_with('\\')) below.erase(0, 1);
    return root + below;
}

std::optional<int64_t> FileLength(std::string_view path) {
    const auto facts = QueryFacts(path, false);
    if (!facts || (facts->attributes & kAttrFolder) != 0) return std::nullopt;
    return facts->size;
}

}  // namespace folvane
