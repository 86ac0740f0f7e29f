#pragma once
// The records of the walk: one file or folder with the facts the listing can show, and the
// counters of a folder's subtree. They live in the rendering layer because the entry columns
// print them; the engine fills them.

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace folvane {

// Local date and time as whole seconds since 1899-12-30 00:00 (the listing's epoch); 0 is that
// instant and stands for "not read". Printed as yyyy/mm/dd and hh:mm:ss.
using DateTime = int64_t;

// Seconds from the listing's epoch to 1970-01-01 00:00.
inline constexpr int64_t kUnixEpochInDateTime = 25569LL * 86400;

// The local date and time of a UTC moment, and of now.
DateTime LocalDateTimeOf(UtcSeconds t);
DateTime LocalDateTimeNow();

struct DateParts {
    int year, month, day, hour, minute, second;
};
// The calendar date and time of day of t (proleptic Gregorian calendar, any year; a moment
// beyond the years an int can hold is taken as the first or last second of that range).
DateParts SplitDateTime(DateTime t);
// The date and time of day as a DateTime; the inverse of SplitDateTime. Fields outside their
// usual ranges carry over (month 13 is January of the next year, day 0 the last of the month
// before); exact for every int field.
DateTime MakeDateTime(const DateParts& parts);

struct FileEntry {
    uint32_t Attr = 0;     // AttributeBits; kAttrFolder decides whether the entry is a folder
    int64_t Size = 0;      // bytes; 0 for folders and when not read
    std::string Name;      // the name shown
    DateTime Updated = 0;  // a file's last write; 0 for a folder and when not read
    DateTime Created = 0;  // a file's creation; a folder's last modification
    std::string Version;   // a file's version text, or ""
    uint32_t Crc = 0;      // a file's CRC-32; for a folder the sum of its files' CRCs

    bool IsFolder() const { return (Attr & kAttrFolder) != 0; }
};

// Counters of a folder's subtree. 64-bit, so huge trees print what they hold.
struct FolderTotals {
    int64_t Folders = 0;  // folders below, at all depths
    int64_t Files = 0;    // files below, at all depths
    int64_t Bytes = 0;    // sum of those files' sizes
    uint32_t CrcSum = 0;  // sum of those files' CRCs, modulo 2^32
};

// a + b modulo 2^32.
constexpr uint32_t AddWrap32(uint32_t a, uint32_t b) {
    return a + b;
}

}  // namespace folvane
