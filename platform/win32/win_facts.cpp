#include "platform/win32/win_facts.h"

#include "platform/win32/handles.h"

namespace folvane {

namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDifference = 11'644'473'600;

constexpr DWORD kListingBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;

int64_t SizeOf(DWORD high, DWORD low) {
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

FileFacts BasicFacts(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& created,
                     const FILETIME& written) {
    FileFacts facts;
    facts.attributes = ListingAttributes(attributes);
    // A folder has no length of its own.
    facts.size = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : SizeOf(sizeHigh, sizeLow);
    facts.created = UtcSecondsOf(created);
    facts.updated = UtcSecondsOf(written);
    // Folders hold no devices or pipes on Windows: whatever is no folder is a file.
    facts.isRegular = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    return facts;
}

}  // namespace

uint32_t ListingAttributes(DWORD attributes) {
    // The listing's bits are the file system's own: 1, 2, 4, 16, 32.
    static_assert(FILE_ATTRIBUTE_READONLY == kAttrReadOnly && FILE_ATTRIBUTE_HIDDEN == kAttrHidden &&
                  FILE_ATTRIBUTE_SYSTEM == kAttrSystem && FILE_ATTRIBUTE_DIRECTORY == kAttrFolder &&
                  FILE_ATTRIBUTE_ARCHIVE == kAttrArchive);
    return attributes & kListingBits;
}

UtcSeconds UtcSecondsOf(const FILETIME& time) {
    const auto ticks =
        static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    // FILETIME counts up to 2^63 ticks; a value with the top bit set is no time at all.
    if (ticks < 0) return 0;
    return ticks / kTicksPerSecond - kEpochDifference;
}

FILETIME FileTimeOf(UtcSeconds seconds) {
    const auto ticks = static_cast<uint64_t>((seconds + kEpochDifference) * kTicksPerSecond);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

bool IsLinkReparseTag(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (reparseTag == IO_REPARSE_TAG_SYMLINK || reparseTag == IO_REPARSE_TAG_MOUNT_POINT);
}

FileFacts FactsFromFind(const WIN32_FIND_DATAW& data) {
    return BasicFacts(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftCreationTime,
                      data.ftLastWriteTime);
}

std::optional<FileFacts> FactsThroughHandle(const std::wstring& extendedPath) {
    // No access rights are asked for: reading the facts needs none, so even a file that another
    // program holds open without sharing answers. FILE_FLAG_BACKUP_SEMANTICS opens folders too.
    const FileHandle handle(CreateFileW(extendedPath.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.IsOpen()) return std::nullopt;
    return FactsOfHandle(handle.Get());
}

std::optional<FileFacts> FactsOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
    FileFacts facts = BasicFacts(info.dwFileAttributes, info.nFileSizeHigh, info.nFileSizeLow,
                                 info.ftCreationTime, info.ftLastWriteTime);
    facts.identity = {info.dwVolumeSerialNumber,
                      (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return facts;
}

FileFacts FactsFromDirectoryInfo(const FILE_ID_BOTH_DIR_INFO& info, DWORD volumeSerial) {
    FileFacts facts =
        BasicFacts(info.FileAttributes, static_cast<DWORD>(info.EndOfFile.QuadPart >> 32),
                   static_cast<DWORD>(info.EndOfFile.QuadPart & 0xFFFFFFFF),
                   FILETIME{info.CreationTime.LowPart, static_cast<DWORD>(info.CreationTime.HighPart)},
                   FILETIME{info.LastWriteTime.LowPart, static_cast<DWORD>(info.LastWriteTime.HighPart)});
    facts.identity = {volumeSerial, static_cast<uint64_t>(info.FileId.QuadPart)};
    return facts;
}

FileFacts ResolvedFacts(const WIN32_FIND_DATAW& data, const std::wstring& extendedPath) {
    if (!IsLinkReparseTag(data.dwFileAttributes, data.dwReserved0)) return FactsFromFind(data);
    FileFacts facts;
    if (auto target = FactsThroughHandle(extendedPath)) {
        facts = *target;
    } else {
        facts = FactsFromFind(data);  // a link that leads nowhere reports itself
        facts.size = 0;
        facts.isRegular = false;
    }
    facts.isLink = true;
    return facts;
}

}  // namespace folvane
