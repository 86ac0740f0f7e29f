// The HTML form of a listing: texts escaped, names linked as the settings ask, tree lines in a
// teletype span, and the five parts poured into the template.

#include <array>
#include <optional>

#include "platform/cp932.h"
#include "render/html.h"
#include "render/listing_writers.h"
#include "render/output_file.h"
#include "render/text_width.h"

namespace folvane {

namespace {

// Puts "<BR>" before every CR LF of a code page 932 stream. CR and LF are single bytes that no
// double-byte character contains, so the bytes can be scanned as they come; a CR at the end
// of one piece waits for the next.
class LineBreakingSink final : public ByteSink {
  public:
    explicit LineBreakingSink(ByteSink& out) : out_(out) {}

    bool Write(std::string_view bytes) override {
        std::string piece;
        piece.reserve(bytes.size() + 16);
        for (const char c : bytes) {
            if (pendingCr_) {
                pendingCr_ = false;
                piece += c == '\n' ? "<BR>\r" : "\r";
            }
            if (c == '\r') {
                pendingCr_ = true;
                continue;
            }
            piece += c;
        }
        return out_.Write(piece);
    }
    bool Finish() { return !pendingCr_ || (pendingCr_ = false, out_.Write("\r")); }

  private:
    ByteSink& out_;
    bool pendingCr_ = false;
};

class HtmlWriter final : public ListingWriter {
  public:
    HtmlWriter(const Settings& settings, const CharTable& chars, std::string templateFolder)
        : ListingWriter(settings, chars), templateFolder_(std::move(templateFolder)) {}

    bool Compose(const ListingParts& parts, ByteSink& sink) const override {
        const std::array<const std::string*, kPartCount> texts = {&parts.header, &parts.heading,
                                                                  &parts.separator, nullptr, &parts.footer};
        // Each text part is converted once for each of its two forms, as it is needed.
        std::array<std::array<std::optional<std::string>, 2>, kPartCount> converted;
        const auto writePart = [&](int marker) {
            const auto part = static_cast<std::size_t>(MarkerPart(marker));
            const bool breaks = MarkerBreaksLines(marker);
            if (texts[part] == nullptr) {
                if (!breaks) return WriteBody(parts, sink);
                LineBreakingSink broken(sink);
                return WriteBody(parts, broken) && broken.Finish();
            }
            auto& bytes = converted[part][breaks ? 1 : 0];
            if (!bytes) bytes = ToCp932(breaks ? BrokenAtLineEnds(*texts[part]) : *texts[part]);
            return sink.Write(*bytes);
        };
        return ScanHtmlTemplate(
            HtmlTemplateRead(templateFolder_, settings_.HtmlName),
            [&](std::string_view text) { return sink.Write(ToCp932(text)); }, writePart);
    }

    std::string_view FileNameSuffix() const override { return "のリスト.htm"; }
    std::string ChooseOutputFile(UiPort& ui, std::string_view proposedName) const override {
        return OutHtmlFileNameSelect(ui, proposedName);
    }

  protected:
    void AppendText(std::string& out, std::string_view text) const override { out += HtmlEscape(text); }

    // The tree prefix in a teletype span, then the name in the cells the prefix leaves; a linked
    // name keeps its padding outside the link.
    void AppendNameColumn(std::string& out, std::string_view prefix, std::string_view displayName,
                          std::string_view folderPath, const FileEntry& entry) const override {
        AppendTreeLines(out, CutWidth(prefix, settings_.NameWidth));
        const int rest = settings_.NameWidth - StrWidth(prefix);
        const bool link = entry.IsFolder() ? settings_.FolderLinkFlg : settings_.FileLinkFlg;
        if (!link) {
            out += HtmlEscape(FitLeft(displayName, rest));
            return;
        }
        out += PathLink(CutWidth(displayName, rest), std::string(folderPath) + entry.Name);
        out += PadSpace(displayName, rest);
    }

    void AppendRootName(std::string& out, std::string_view name, int cells,
                        std::string_view target) const override {
        if (!settings_.FolderLinkFlg) {
            out += HtmlEscape(FitLeft(name, cells));
            return;
        }
        out += PathLink(CutWidth(name, cells), target);
        out += PadSpace(name, cells);
    }

    void AppendTreeLines(std::string& out, std::string_view prefix) const override {
        out.append("<TT>").append(HtmlEscape(prefix)).append("</TT>");
    }

    void AppendNamePiece(std::string& out, std::string_view piece, std::string_view target,
                         bool link) const override {
        out += link ? PathLink(piece, target) : HtmlEscape(piece);
    }

    void AppendSummaryLead(std::string& out, std::string_view folderText) const override {
        AppendTreeLines(out, CutWidth(folderText, settings_.NameWidth));
    }

    void AppendPackLead(std::string& out, std::string_view packPrefix) const override {
        AppendTreeLines(out, CutWidth(packPrefix, settings_.Columns));
    }

    void AppendShownPath(std::string& out, std::string_view shown, std::string_view target) const override {
        out += settings_.FolderLinkFlg ? PathLink(shown, target) : HtmlEscape(shown);
    }

    void AppendProductName(std::string& out) const override {
        out += settings_.FolderLinkFlg ? UrlLink(kProductLine, kHomePageAddress) : std::string(kProductLine);
    }

  private:
    std::string templateFolder_;
};

}  // namespace

std::unique_ptr<ListingWriter> MakeHtmlWriter(const Settings& settings, const CharTable& chars,
                                              std::string templateFolder) {
    return std::make_unique<HtmlWriter>(settings, chars, std::move(templateFolder));
}

}  // namespace folvane
