#include "engine/pe_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace folvane {

namespace {

// ---- Layout of the image ------------------------------------------------------------------------

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderPointer = 0x3C;  // e_lfanew: file offset of the PE signature
constexpr std::size_t kCoffHeaderSize = 24;      // "PE\0\0" and the COFF file header
constexpr std::size_t kSectionCountAt = 6;
constexpr std::size_t kOptionalHeaderSizeAt = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDataDirectorySize = 8;
constexpr uint32_t kResourceDirectoryIndex = 2;

struct OptionalHeaderLayout {
    uint16_t magic;
    std::size_t directoryCountAt;  // NumberOfRvaAndSizes
    std::size_t directoriesAt;
};
constexpr std::array<OptionalHeaderLayout, 2> kOptionalHeaderLayouts = {{
    {0x10B, 92, 96},    // PE32
    {0x20B, 108, 112},  // PE32+
}};

// Resource directories: a 16-byte header whose last two words count the named and the
// numbered entries, then the entries, 8 bytes each. An entry's second word points to a
// subdirectory when its high bit is set and to a data entry (RVA, size, ...) otherwise.
constexpr std::size_t kResourceDirectoryHeaderSize = 16;
constexpr std::size_t kResourceEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
constexpr uint32_t kSubdirectoryBit = 0x80000000u;
constexpr uint32_t kVersionResourceType = 16;

// The version block: length, value length and type words, the key "VS_VERSION_INFO" in
// UTF-16 with its NUL, padding to a 4-byte boundary, then the 52-byte fixed file information.
constexpr std::u16string_view kVersionKey{u"VS_VERSION_INFO", 16};
constexpr std::size_t kVersionKeyAt = 6;
constexpr std::size_t kFixedInfoAt = (kVersionKeyAt + kVersionKey.size() * 2 + 3) / 4 * 4;
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::size_t kVersionBlockMinimum = kFixedInfoAt + kFixedInfoSize;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr std::size_t kFileVersionMsAt = 8;  // within the fixed file information
constexpr std::size_t kFileVersionLsAt = 12;

uint16_t Word16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Word32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// ---- Bounded reads ------------------------------------------------------------------------------

// A range of the image; every read is checked against it before it reaches the source.
class Window {
  public:
    Window(ByteSource& source, uint64_t begin, uint64_t size)
        : source_(&source), begin_(begin), size_(size) {}

    uint64_t Size() const { return size_; }

    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    bool Read(uint64_t offset, void* buffer, std::size_t length) const {
        return Contains(offset, length) && source_->ReadExact(begin_ + offset, buffer, length);
    }

    template <std::size_t N>
    std::optional<std::array<unsigned char, N>> ReadArray(uint64_t offset) const {
        std::array<unsigned char, N> bytes{};
        if (!Read(offset, bytes.data(), N)) return std::nullopt;
        return bytes;
    }

  private:
    ByteSource* source_;
    uint64_t begin_;
    uint64_t size_;
};

// ---- Headers and sections -----------------------------------------------------------------------

struct Section {
    uint32_t virtualAddress = 0;
    uint32_t virtualSize = 0;
    uint32_t rawSize = 0;
    uint32_t rawPointer = 0;
};

struct ImageLayout {
    std::vector<Section> sections;
    uint32_t resourceRva = 0;
    uint32_t resourceSize = 0;
};

struct CoffFacts {
    uint64_t optionalHeaderAt = 0;
    uint16_t optionalHeaderSize = 0;
    uint16_t sectionCount = 0;
};

std::optional<CoffFacts> ReadCoffHeader(const Window& image) {
    const auto dos = image.ReadArray<kDosHeaderSize>(0);
    if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z') return std::nullopt;
    const uint64_t peAt = Word32(dos->data() + kNewHeaderPointer);
    const auto coff = image.ReadArray<kCoffHeaderSize>(peAt);
    if (!coff ||
        std::string_view(reinterpret_cast<const char*>(coff->data()), 4) != std::string_view("PE\0\0", 4))
        return std::nullopt;
    return CoffFacts{peAt + kCoffHeaderSize, Word16(coff->data() + kOptionalHeaderSizeAt),
                     Word16(coff->data() + kSectionCountAt)};
}

// RVA and size of the resource directory from the optional header; nullopt when the header
// has no such entry or an unknown magic number.
std::optional<std::pair<uint32_t, uint32_t>> ReadResourceDirectoryEntry(const Window& image,
                                                                        const CoffFacts& coff) {
    const auto magicBytes = image.ReadArray<2>(coff.optionalHeaderAt);
    if (!magicBytes) return std::nullopt;
    const uint16_t magic = Word16(magicBytes->data());
    const auto layout = std::find_if(kOptionalHeaderLayouts.begin(), kOptionalHeaderLayouts.end(),
                                     [&](const OptionalHeaderLayout& l) { return l.magic == magic; });
    if (layout == kOptionalHeaderLayouts.end()) return std::nullopt;

    const std::size_t entryAt = layout->directoriesAt + kResourceDirectoryIndex * kDataDirectorySize;
    if (coff.optionalHeaderSize < entryAt + kDataDirectorySize) return std::nullopt;
    const auto count = image.ReadArray<4>(coff.optionalHeaderAt + layout->directoryCountAt);
    const auto entry = image.ReadArray<kDataDirectorySize>(coff.optionalHeaderAt + entryAt);
    if (!count || !entry || Word32(count->data()) <= kResourceDirectoryIndex) return std::nullopt;
    return std::pair{Word32(entry->data()), Word32(entry->data() + 4)};
}

// The section table. Every section's stored bytes must lie inside the image: a truncated or
// damaged file is not a well-formed image, whichever section the damage hits.
std::optional<std::vector<Section>> ReadSections(const Window& image, const CoffFacts& coff) {
    const uint64_t tableAt = coff.optionalHeaderAt + coff.optionalHeaderSize;
    const uint64_t tableSize = uint64_t{coff.sectionCount} * kSectionHeaderSize;
    if (coff.sectionCount == 0 || !image.Contains(tableAt, tableSize)) return std::nullopt;
    std::vector<unsigned char> table(static_cast<std::size_t>(tableSize));
    if (!image.Read(tableAt, table.data(), table.size())) return std::nullopt;

    std::vector<Section> sections(coff.sectionCount);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const unsigned char* header = table.data() + i * kSectionHeaderSize;
        sections[i] =
            Section{Word32(header + 12), Word32(header + 8), Word32(header + 16), Word32(header + 20)};
        if (sections[i].rawSize != 0 && !image.Contains(sections[i].rawPointer, sections[i].rawSize))
            return std::nullopt;
    }
    return sections;
}

std::optional<ImageLayout> ReadImageLayout(const Window& image) {
    const auto coff = ReadCoffHeader(image);
    if (!coff) return std::nullopt;
    const auto resource = ReadResourceDirectoryEntry(image, *coff);
    if (!resource || resource->first == 0 || resource->second == 0) return std::nullopt;
    auto sections = ReadSections(image, *coff);
    if (!sections) return std::nullopt;
    return ImageLayout{std::move(*sections), resource->first, resource->second};
}

// The file bytes of the range [rva, rva + size) of the loaded image, which must lie wholly in
// the stored data of the first section that holds rva. The part of a section that exists
// only in memory (past its stored size) holds no resource data, so a range reaching into it
// is damaged.
std::optional<Window> MapRange(ByteSource& source, const std::vector<Section>& sections, uint32_t rva,
                               uint32_t size) {
    for (const auto& section : sections) {
        const uint64_t span = section.virtualSize != 0 ? section.virtualSize : section.rawSize;
        const uint64_t stored = std::min<uint64_t>(span, section.rawSize);
        if (rva < section.virtualAddress || rva - uint64_t{section.virtualAddress} >= stored) continue;
        const uint64_t into = rva - uint64_t{section.virtualAddress};
        if (size > stored - into) return std::nullopt;
        return Window(source, section.rawPointer + into, size);
    }
    return std::nullopt;
}

// ---- Resource directory -------------------------------------------------------------------------

struct ResourceEntry {
    uint32_t name = 0;
    uint32_t target = 0;
};

// The entries of the directory at offset in the resource area; nullopt when the directory
// or any of its entries lies outside it. Counts are at most 2 x 65535, and each entry must be
// inside the area, so a damaged count cannot make the walk long.
std::optional<std::vector<ResourceEntry>> ReadDirectory(const Window& resources, uint64_t offset,
                                                        std::size_t maxEntries) {
    const auto header = resources.ReadArray<kResourceDirectoryHeaderSize>(offset);
    if (!header) return std::nullopt;
    const std::size_t count = std::size_t{Word16(header->data() + 12)} + Word16(header->data() + 14);
    const std::size_t wanted = std::min(count, maxEntries);
    if (wanted == 0 || !resources.Contains(offset + kResourceDirectoryHeaderSize, count * kResourceEntrySize))
        return std::nullopt;
    std::vector<unsigned char> bytes(wanted * kResourceEntrySize);
    if (!resources.Read(offset + kResourceDirectoryHeaderSize, bytes.data(), bytes.size()))
        return std::nullopt;
    std::vector<ResourceEntry> entries(wanted);
    for (std::size_t i = 0; i < wanted; ++i)
        entries[i] = ResourceEntry{Word32(bytes.data() + i * kResourceEntrySize),
                                   Word32(bytes.data() + i * kResourceEntrySize + 4)};
    return entries;
}

std::optional<uint32_t> SubdirectoryOf(const ResourceEntry& entry) {
    if ((entry.target & kSubdirectoryBit) == 0) return std::nullopt;
    return entry.target & ~kSubdirectoryBit;
}

// The first entry of the subdirectory that entry points to.
std::optional<ResourceEntry> FirstEntryBelow(const Window& resources, const ResourceEntry& entry) {
    const auto below = SubdirectoryOf(entry);
    if (!below) return std::nullopt;
    const auto entries = ReadDirectory(resources, *below, 1);
    if (!entries) return std::nullopt;
    return entries->front();
}

// RVA and size of the version resource's data: the type directory's entry with number 16,
// the first name below it, the first language below that, which must be a data entry. The
// walk has exactly three levels, so a directory that points back at itself ends it too.
std::optional<std::pair<uint32_t, uint32_t>> FindVersionData(const Window& resources) {
    const auto types = ReadDirectory(resources, 0, SIZE_MAX);
    if (!types) return std::nullopt;
    const auto type = std::find_if(types->begin(), types->end(),
                                   [](const ResourceEntry& e) { return e.name == kVersionResourceType; });
    if (type == types->end()) return std::nullopt;
    const auto name = FirstEntryBelow(resources, *type);
    if (!name) return std::nullopt;
    const auto language = FirstEntryBelow(resources, *name);
    if (!language || SubdirectoryOf(*language)) return std::nullopt;
    const auto data = resources.ReadArray<kResourceDataEntrySize>(language->target);
    if (!data) return std::nullopt;
    return std::pair{Word32(data->data()), Word32(data->data() + 4)};
}

// ---- Version block ------------------------------------------------------------------------------

std::optional<FileVersionWords> ReadVersionBlock(const Window& data) {
    const auto block = data.ReadArray<kVersionBlockMinimum>(0);
    if (!block) return std::nullopt;
    const unsigned char* b = block->data();
    const uint16_t length = Word16(b);
    const uint16_t valueLength = Word16(b + 2);
    if (length < kVersionBlockMinimum || length > data.Size() || valueLength < kFixedInfoSize)
        return std::nullopt;
    for (std::size_t i = 0; i < kVersionKey.size(); ++i) {
        if (Word16(b + kVersionKeyAt + 2 * i) != kVersionKey[i]) return std::nullopt;
    }
    const unsigned char* fixed = b + kFixedInfoAt;
    if (Word32(fixed) != kFixedInfoSignature) return std::nullopt;
    return FileVersionWords{Word32(fixed + kFileVersionMsAt), Word32(fixed + kFileVersionLsAt)};
}

}  // namespace

std::optional<FileVersionWords> ReadPeVersion(ByteSource& source) {
    const Window image(source, 0, source.Size());
    const auto layout = ReadImageLayout(image);
    if (!layout) return std::nullopt;
    const auto resources = MapRange(source, layout->sections, layout->resourceRva, layout->resourceSize);
    if (!resources) return std::nullopt;
    const auto version = FindVersionData(*resources);
    if (!version || version->second == 0) return std::nullopt;
    const auto data = MapRange(source, layout->sections, version->first, version->second);
    if (!data) return std::nullopt;
    return ReadVersionBlock(*data);
}

}  // namespace folvane
