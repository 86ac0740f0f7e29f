#pragma once
// The values that a listing run, the walk and the main window share while the walk lets
// pending events run. The options of one start (RunOptions) come from the command line.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/run_options.h"

namespace folvane {

enum CancelRequest : int16_t {
    kNoCancel = 0,
    kCancelByUser = 1,     // Yes to the cancel question
    kCancelByClosing = 2,  // the main window is closed during a run
};

struct RunState {
    bool BusyFlag = false;                    // a run is in progress
    int16_t CancelFlag = kNoCancel;           // above 0 stops the walk
    std::vector<std::string> FilterPatterns;  // lower-cased wildcard patterns; empty: no filter
    std::string PendingCaption;               // the caption to show at the next timer tick
    // Progress of the walk for a status line: folders entered and files listed so far.
    int64_t FoldersRead = 0;
    int64_t FilesRead = 0;
    // Contents read for checksums: in the whole run, and of the file read last (its bytes read
    // so far and its length), so that a long checksum of one large file shows its progress.
    int64_t CrcBytesRead = 0;
    int64_t CrcFileRead = 0;
    int64_t CrcFileLength = 0;

    bool CancelRequested() const { return CancelFlag > 0; }
    // Clears the counters for a new run.
    void ResetProgress() { FoldersRead = FilesRead = CrcBytesRead = CrcFileRead = CrcFileLength = 0; }
    // One more block of a checksum: blockBytes read, fileRead of fileLength bytes of its file.
    void CountCrcBlock(int64_t blockBytes, int64_t fileRead, int64_t fileLength) {
        CrcBytesRead += blockBytes;
        CrcFileRead = fileRead;
        CrcFileLength = fileLength;
    }
};

}  // namespace folvane
