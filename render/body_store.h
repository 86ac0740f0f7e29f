#pragma once
// The tree body of a listing in code page 932, kept in a scratch file while it grows, so that a
// listing of millions of entries needs no more memory than its largest folder. Lines are
// appended as the walk makes them. A folder's own line comes before its subtree in the
// listing but is only known once the subtree is read (the subtree decides its CRC sum and the
// tree line below it), so a place is reserved for it and filled later.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_sink.h"
#include "platform/scratch_file.h"

namespace folvane {

class BodyStore {
  public:
    enum class Backing { kScratchFile, kMemory };

    // In a scratch file (in memory when none can be made, or later when writing it fails), or in
    // memory from the start.
    explicit BodyStore(Backing backing = Backing::kScratchFile);
    BodyStore(const BodyStore&) = delete;
    BodyStore& operator=(const BodyStore&) = delete;

    // A place reserved for text that is written later.
    struct Slot {
        int64_t offset = -1;     // of its record
        int64_t textBefore = 0;  // Size() when it was reserved
    };

    // Adds text at the end.
    void Append(std::string_view bytes);
    // Reserves a place at the end for text that Fill writes later; an unfilled slot holds nothing.
    Slot Reserve();
    // Writes the text of slot, which stands in the body where the slot was reserved. Each slot
    // is filled at most once.
    void Fill(Slot slot, std::string_view bytes);

    // Bytes of text in the body, filled slots included.
    int64_t Size() const { return textBytes_; }
    // True when nothing has been added since slot was reserved, neither appended nor filled.
    bool NothingSince(Slot slot) const { return textBytes_ == slot.textBefore; }

    // Streams the body's text in order into sink, without its last dropLast bytes; false when
    // the body cannot be read back or the sink refuses.
    bool WriteTo(ByteSink& sink, int64_t dropLast = 0) const;

  private:
    void AppendRecord(char tag, std::string_view bytes);
    void PutRaw(std::string_view bytes);
    void PatchRaw(int64_t offset, std::string_view bytes);
    bool ReadRaw(int64_t offset, void* buffer, std::size_t size) const;
    void Flush();
    void MoveIntoMemory();

    ScratchFile file_;
    bool inFile_ = false;
    int64_t flushed_ = 0;    // bytes of the record stream in the file
    std::string tail_;       // the record stream after them
    int64_t openText_ = -1;  // offset of the text record still being extended; -1 none
    int64_t textBytes_ = 0;
    bool lost_ = false;  // part of the body could not be kept
};

}  // namespace folvane
