#include "render/entry_columns.h"

#include <charconv>

#include "render/listing_writer.h"
#include "render/size_text.h"
#include "render/text_width.h"

namespace folvane {

namespace {

// Appends value with at least digits digits, a minus sign in front of them when negative.
// Dates are formatted for every entry line, so this avoids the cost of a formatted print.
void AppendZeroPadded(std::string& out, int value, int digits) {
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    if (value < 0) out += '-';
    char buffer[16];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
    for (auto written = end - buffer; written < digits; ++written)
        out += '0';
    out.append(buffer, end);
}

const CharTable& NoTable() {
    static const CharTable table;
    return table;
}

}  // namespace

std::string DateText(DateTime t) {
    const DateParts parts = SplitDateTime(t);
    std::string text;
    text.reserve(10);
    AppendZeroPadded(text, parts.year, 4);
    text += '/';
    AppendZeroPadded(text, parts.month, 2);
    text += '/';
    AppendZeroPadded(text, parts.day, 2);
    return text;
}

std::string TimeText(DateTime t) {
    const DateParts parts = SplitDateTime(t);
    std::string text;
    text.reserve(8);
    AppendZeroPadded(text, parts.hour, 2);
    text += ':';
    AppendZeroPadded(text, parts.minute, 2);
    text += ':';
    AppendZeroPadded(text, parts.second, 2);
    return text;
}

std::string SizeColumnText(int16_t sizeType, int64_t size, int width) {
    const std::string text = CListSizeText(sizeType, size);
    if (StrWidth(text) <= width) return FitRight(text, width);
    // Cutting digits off would show a wrong number; a row of "-" says that it does not fit.
    return RepeatStr(width, "-");
}

std::string EntryLine(const Settings& settings, std::string_view prefix, std::string_view displayName,
                      std::string_view folderPath, const FileEntry& entry) {
    return ListingWriter::For(settings, NoTable())->EntryLine(prefix, displayName, folderPath, entry);
}

std::string RootLine(const Settings& settings, std::string_view targetPath, const FileEntry& entry) {
    return ListingWriter::For(settings, NoTable())->RootLine(targetPath, entry);
}

}  // namespace folvane
