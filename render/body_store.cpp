#include "render/body_store.h"

#include <algorithm>
#include <array>

namespace folvane {

// The store is a stream of records: text ('T', a 32-bit length, the bytes), a slot ('S', the
// 64-bit offset of the record that fills it, 0 while unfilled) and a fill ('F', like text).
// Reading in order, a slot's fill is taken from where it was written and the fill record
// itself is passed over, so the text comes out in listing order.
namespace {

constexpr char kText = 'T';
constexpr char kSlot = 'S';
constexpr char kFill = 'F';
constexpr std::size_t kLengthBytes = 4;
constexpr std::size_t kOffsetBytes = 8;
// Text records are extended while they are the last one, up to this length.
constexpr int64_t kMaxRecord = 1 << 20;
// The stream goes to the file in pieces of about this size.
constexpr std::size_t kFlushSize = 1 << 20;
constexpr std::size_t kCopyBlock = 1 << 16;

std::string Encoded(uint64_t value, std::size_t bytes) {
    std::string out(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i)
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

uint64_t Decoded(const unsigned char* bytes, std::size_t count) {
    uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value |= uint64_t{bytes[i]} << (8 * i);
    return value;
}

}  // namespace

BodyStore::BodyStore(Backing backing) {
    inFile_ = backing == Backing::kScratchFile && file_.Create();
}

void BodyStore::Append(std::string_view bytes) {
    if (bytes.empty()) return;
    textBytes_ += static_cast<int64_t>(bytes.size());
    // The last text record grows while it is still in memory.
    if (openText_ >= flushed_) {
        const auto at = static_cast<std::size_t>(openText_ - flushed_);
        const uint64_t length =
            Decoded(reinterpret_cast<const unsigned char*>(tail_.data() + at + 1), kLengthBytes);
        if (static_cast<int64_t>(length + bytes.size()) <= kMaxRecord) {
            tail_.replace(at + 1, kLengthBytes, Encoded(length + bytes.size(), kLengthBytes));
            PutRaw(bytes);
            return;
        }
    }
    openText_ = flushed_ + static_cast<int64_t>(tail_.size());
    AppendRecord(kText, bytes);
}

BodyStore::Slot BodyStore::Reserve() {
    openText_ = -1;
    Slot slot{flushed_ + static_cast<int64_t>(tail_.size()), textBytes_};
    PutRaw(std::string(1, kSlot) + Encoded(0, kOffsetBytes));
    return slot;
}

void BodyStore::Fill(Slot slot, std::string_view bytes) {
    if (slot.offset < 0 || bytes.empty()) return;
    openText_ = -1;
    textBytes_ += static_cast<int64_t>(bytes.size());
    const int64_t fill = flushed_ + static_cast<int64_t>(tail_.size());
    AppendRecord(kFill, bytes);
    PatchRaw(slot.offset + 1, Encoded(static_cast<uint64_t>(fill), kOffsetBytes));
}

void BodyStore::AppendRecord(char tag, std::string_view bytes) {
    PutRaw(std::string(1, tag) + Encoded(bytes.size(), kLengthBytes));
    PutRaw(bytes);
}

void BodyStore::PutRaw(std::string_view bytes) {
    tail_.append(bytes);
    if (inFile_ && tail_.size() >= kFlushSize) Flush();
}

void BodyStore::Flush() {
    if (!file_.WriteAt(flushed_, tail_)) {
        MoveIntoMemory();
        return;
    }
    flushed_ += static_cast<int64_t>(tail_.size());
    tail_.clear();
    openText_ = -1;
}

// A scratch file that cannot be written any further (a full disk) is given up: what it holds
// comes back into memory, where the rest of the body goes too.
void BodyStore::MoveIntoMemory() {
    std::string head(static_cast<std::size_t>(flushed_), '\0');
    if (flushed_ > 0 && !file_.ReadAt(0, head.data(), head.size())) lost_ = true;
    tail_.insert(0, head);
    flushed_ = 0;
    inFile_ = false;
}

void BodyStore::PatchRaw(int64_t offset, std::string_view bytes) {
    if (offset < flushed_ && !file_.WriteAt(offset, bytes)) MoveIntoMemory();
    if (offset >= flushed_) tail_.replace(static_cast<std::size_t>(offset - flushed_), bytes.size(), bytes);
}

bool BodyStore::ReadRaw(int64_t offset, void* buffer, std::size_t size) const {
    auto* out = static_cast<char*>(buffer);
    if (offset < flushed_) {
        const std::size_t fromFile = static_cast<std::size_t>(std::min<int64_t>(flushed_ - offset, size));
        if (!file_.ReadAt(offset, out, fromFile)) return false;
        out += fromFile;
        size -= fromFile;
        offset += static_cast<int64_t>(fromFile);
        if (size == 0) return true;
    }
    const auto at = static_cast<std::size_t>(offset - flushed_);
    if (at > tail_.size() || size > tail_.size() - at) return false;
    std::copy_n(tail_.data() + at, size, out);
    return true;
}

bool BodyStore::WriteTo(ByteSink& sink, int64_t dropLast) const {
    if (lost_) return false;
    const int64_t end = flushed_ + static_cast<int64_t>(tail_.size());
    // Reads the record stream through a window, so that reading the records in order costs one
    // read of the scratch file per window, not one per field.
    class Window {
      public:
        Window(const BodyStore& store, int64_t end, std::size_t capacity)
            : store_(store), end_(end), capacity_(capacity) {}
        bool Read(int64_t offset, void* out, std::size_t size) {
            if (offset < start_ ||
                offset + static_cast<int64_t>(size) > start_ + static_cast<int64_t>(bytes_.size())) {
                if (size > capacity_) return store_.ReadRaw(offset, out, size);
                bytes_.resize(static_cast<std::size_t>(
                    std::min<int64_t>(static_cast<int64_t>(capacity_), end_ - offset)));
                if (bytes_.size() < size || !store_.ReadRaw(offset, bytes_.data(), bytes_.size())) {
                    bytes_.clear();
                    return false;
                }
                start_ = offset;
            }
            std::copy_n(bytes_.data() + (offset - start_), size, static_cast<char*>(out));
            return true;
        }

      private:
        const BodyStore& store_;
        int64_t end_;
        std::size_t capacity_;
        int64_t start_ = 0;
        std::string bytes_;
    };
    // The records in order, and the fills they refer to: those lie elsewhere, one per folder.
    Window inOrder(*this, end, kCopyBlock * 4);
    Window fills(*this, end, 4096);

    int64_t left = std::max<int64_t>(textBytes_ - dropLast, 0);
    std::string block;
    // Copies the payload of the record at offset (its length field follows the tag).
    const auto copyPayload = [&](Window& window, int64_t record, int64_t& next) {
        unsigned char length[kLengthBytes];
        if (!window.Read(record + 1, length, kLengthBytes)) return false;
        int64_t remaining = static_cast<int64_t>(Decoded(length, kLengthBytes));
        int64_t at = record + 1 + static_cast<int64_t>(kLengthBytes);
        next = at + remaining;
        while (remaining > 0 && left > 0) {
            const auto count = static_cast<std::size_t>(std::min({remaining, left, int64_t{kCopyBlock}}));
            block.resize(count);
            if (!window.Read(at, block.data(), count) || !sink.Write(block)) return false;
            at += static_cast<int64_t>(count);
            remaining -= static_cast<int64_t>(count);
            left -= static_cast<int64_t>(count);
        }
        return true;
    };
    for (int64_t offset = 0; offset < end && left > 0;) {
        char tag = 0;
        if (!inOrder.Read(offset, &tag, 1)) return false;
        int64_t next = 0;
        if (tag == kSlot) {
            unsigned char fill[kOffsetBytes];
            if (!inOrder.Read(offset + 1, fill, kOffsetBytes)) return false;
            const auto fillRecord = static_cast<int64_t>(Decoded(fill, kOffsetBytes));
            int64_t ignored = 0;
            if (fillRecord != 0 && !copyPayload(fills, fillRecord, ignored)) return false;
            next = offset + 1 + static_cast<int64_t>(kOffsetBytes);
        } else if (tag == kText) {
            if (!copyPayload(inOrder, offset, next)) return false;
        } else if (tag == kFill) {
            unsigned char length[kLengthBytes];
            if (!inOrder.Read(offset + 1, length, kLengthBytes)) return false;
            next = offset + 1 + static_cast<int64_t>(kLengthBytes) +
                   static_cast<int64_t>(Decoded(length, kLengthBytes));
        } else {
            return false;
        }
        offset = next;
    }
    return true;
}

}  // namespace folvane
