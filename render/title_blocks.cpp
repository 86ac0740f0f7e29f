#include "render/title_blocks.h"

namespace folvane {

const std::string_view kHomePageAddress = "https://folvane.example/";

namespace {

// The tables of the writers do not matter for these texts but the separator's.
std::unique_ptr<ListingWriter> WriterFor(const Settings& settings, const CharTable& chars) {
    return ListingWriter::For(settings, chars);
}

const CharTable& DefaultChars() {
    static const CharTable chars = [] {
        CharTable table;
        SetCharTableDefaults(table);
        return table;
    }();
    return chars;
}

}  // namespace

std::string Title(const Settings& settings, std::string_view folder, DateTime now,
                  const ListingFacts& facts) {
    return WriterFor(settings, DefaultChars())->Title(folder, now, facts);
}

std::string Midashi(const Settings& settings) {
    return WriterFor(settings, DefaultChars())->Midashi();
}

std::string PartLine(const Settings& settings, const CharTable& chars) {
    return WriterFor(settings, chars)->PartLine();
}

std::string SummaryText(const Settings& settings, const FolderTotals& totals) {
    return WriterFor(settings, DefaultChars())->SummaryText(totals);
}

std::string FolderSumLine(const Settings& settings, std::string_view folderText, const FolderTotals& totals) {
    return WriterFor(settings, DefaultChars())->FolderSumLine(folderText, totals);
}

std::string Futter(const Settings& settings, const ListingFacts& facts) {
    return WriterFor(settings, DefaultChars())->Futter(facts);
}

}  // namespace folvane
