// The text form of a listing: every text as it is, the parts joined by line ends.

#include "platform/cp932.h"
#include "render/listing_writers.h"
#include "render/output_file.h"
#include "render/text_width.h"

namespace folvane {

namespace {

class TextWriter final : public ListingWriter {
  public:
    TextWriter(const Settings& settings, const CharTable& chars) : ListingWriter(settings, chars) {}

    // Header, a blank line, heading, separator, body, separator, footer, each ended by CR LF.
    bool Compose(const ListingParts& parts, ByteSink& sink) const override {
        const auto line = [&](std::string_view text) {
            return sink.Write(ToCp932(text)) && sink.Write("\r\n");
        };
        return line(parts.header) && sink.Write("\r\n") && line(parts.heading) && line(parts.separator) &&
               WriteBody(parts, sink) && sink.Write("\r\n") && line(parts.separator) && line(parts.footer);
    }

    std::string_view FileNameSuffix() const override { return "のリスト.txt"; }
    std::string ChooseOutputFile(UiPort& ui, std::string_view proposedName) const override {
        return OutTextFileNameSelect(ui, proposedName);
    }

  protected:
    void AppendText(std::string& out, std::string_view text) const override { out += text; }

    void AppendNameColumn(std::string& out, std::string_view prefix, std::string_view displayName,
                          std::string_view, const FileEntry&) const override {
        std::string column(prefix);
        column += displayName;
        out += FitLeft(column, settings_.NameWidth);
    }

    void AppendRootName(std::string& out, std::string_view name, int cells, std::string_view) const override {
        out += FitLeft(name, cells);
    }

    void AppendTreeLines(std::string& out, std::string_view prefix) const override { out += prefix; }

    void AppendNamePiece(std::string& out, std::string_view piece, std::string_view, bool) const override {
        out += piece;
    }

    void AppendSummaryLead(std::string& out, std::string_view folderText) const override {
        out += folderText;
    }

    void AppendPackLead(std::string& out, std::string_view packPrefix) const override { out += packPrefix; }

    void AppendShownPath(std::string& out, std::string_view shown, std::string_view) const override {
        out += shown;
    }

    void AppendProductName(std::string& out) const override { out += kProductLine; }
};

}  // namespace

std::unique_ptr<ListingWriter> MakeTextWriter(const Settings& settings, const CharTable& chars) {
    return std::make_unique<TextWriter>(settings, chars);
}

}  // namespace folvane
