#include "render/html.h"

#include <array>
#include <functional>
#include <iterator>
#include <optional>

#include "platform/cp932.h"
#include "platform/file_system.h"
#include "platform/path_space.h"
#include "platform/process.h"
#include "platform/text.h"
#include "settings/path_utils.h"
#include "settings/program_files.h"

namespace folvane {

namespace {

// ---- Link references -------------------------------------------------------------------------

enum class UrlKind {
    FilePath,    // % # ? are data in a file name, so they are encoded too
    WebAddress,  // the address is taken as written: %, # and ? keep their meaning
};

void AppendPercentByte(std::string& out, unsigned char byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

bool EncodedInEveryUrl(char32_t c) {
    return c < 0x20 || c == 0x7F || c == ' ' || c == '"' || c == '<' || c == '>';
}

bool EncodedInFileUrl(char32_t c) {
    return c == '%' || c == '#' || c == '?';
}

// The reference as it may stand between the double quotes of an href attribute in a code
// page 932 file. A character the code page would not keep (it would turn into "?" or into
// another character) is encoded as its UTF-8 bytes, so the link still names the real file; an
// escape code point stands for one raw host byte and is encoded as that byte.
std::string EncodeReference(std::string_view reference, UrlKind kind) {
    const Cp932FactsView facts = Cp932Facts();
    std::string out;
    out.reserve(reference.size());
    std::size_t pos = 0;
    while (pos < reference.size()) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(reference, pos);
        if (IsEscapeCodePoint(c)) {
            AppendPercentByte(out, static_cast<unsigned char>(c - kEscapeBase));
        } else if (EncodedInEveryUrl(c) || (kind == UrlKind::FilePath && EncodedInFileUrl(c))) {
            AppendPercentByte(out, static_cast<unsigned char>(c));
        } else if (c == '&') {
            out += "&amp;";
        } else if (c >= 0x80 && !facts.KeepsItself(c)) {
            std::string bytes;
            AppendUtf8(bytes, c);
            for (const char byte : bytes)
                AppendPercentByte(out, static_cast<unsigned char>(byte));
        } else {
            out.append(reference.substr(start, pos - start));
        }
    }
    return out;
}

std::string Anchor(std::string_view reference, std::string_view label) {
    return "<A href=\"" + std::string(reference) + "\">" + HtmlEscape(label) + "</A>";
}

// ---- Templates -------------------------------------------------------------------------------

constexpr std::string_view kMarkers[10] = {
    "<!-- Folvane PreHeader -->", "<!-- Folvane PreHeadLine -->", "<!-- Folvane PreLine -->",
    "<!-- Folvane PreBody -->",   "<!-- Folvane PreFutter -->",   "<!-- Folvane Header -->",
    "<!-- Folvane HeadLine -->",  "<!-- Folvane Line -->",        "<!-- Folvane Body -->",
    "<!-- Folvane Futter -->",
};
constexpr std::size_t kMarkerCount = std::size(kMarkers);

bool IsTemplateName(std::string_view name) {
    const std::string extension = AsciiLower(Extension(name));
    return extension == "htm" || extension == "html";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PathLink(std::string_view label, std::string_view target) {
    const std::string_view path = target.empty() ? label : target;
    return Anchor(EncodeReference(FileUrlOf(path), UrlKind::FilePath), label);
}

std::string UrlLink(std::string_view label, std::string_view address) {
    const std::string_view url = address.empty() ? label : address;
    return Anchor(EncodeReference(url, UrlKind::WebAddress), label);
}

std::string DefaultHtmlTemplate() {
    return "<HTML lang=\"ja\">\r\n"
           "<HEAD>\r\n"
           "<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
           "</HEAD>\r\n"
           "<BODY>\r\n"
           "<PRE style=\"line-height:94%;\">\r\n"
           "<!-- Folvane PreHeader -->\r\n"
           "\r\n"
           "<!-- Folvane PreHeadLine -->\r\n"
           "<!-- Folvane PreLine -->\r\n"
           "<!-- Folvane PreBody -->\r\n"
           "<!-- Folvane PreLine -->\r\n"
           "<!-- Folvane PreFutter -->\r\n"
           "</PRE>\r\n"
           "</BODY>\r\n"
           "</HTML>\r\n";
}

std::string HtmlTemplateFolder() {
    return HtmlTemplateFolderOf(ExecutableFolder());
}

std::string HtmlTemplateFolderOf(std::string_view executableFolder) {
    if (executableFolder.empty()) return "";
    const std::string beside = WithBackslash(executableFolder) + std::string(kTemplateFolderName) + "\\";
    if (IsFolder(beside)) return beside;
    const std::string installed = InstalledDataFolder(executableFolder);
    return installed.empty() ? beside : installed + std::string(kTemplateFolderName) + "\\";
}

std::string HtmlTemplateRead(std::string_view folder, std::string_view name) {
    const std::string base = std::string(folder) + std::string(name);
    for (const std::string& path : {base, base + ".htm", base + ".html"}) {
        if (IsFile(path)) return ReadTextFile(path, DefaultHtmlTemplate(), kTemplateSizeLimit);
    }
    return DefaultHtmlTemplate();
}

std::vector<std::string> HtmlTemplateList(std::string_view folder) {
    // Folders, hidden and system files are no templates on offer.
    constexpr uint32_t kNotOffered = kAttrFolder | kAttrHidden | kAttrSystem | kAttrVolume;
    std::vector<std::string> names;
    FolderHandle handle;
    std::vector<FolderItem> items;
    if (!handle.Open(folder) || !handle.ReadItems(items)) return names;
    for (const FolderItem& item : items) {
        if ((item.facts.attributes & kNotOffered) == 0 && IsTemplateName(item.name))
            names.push_back(item.name);
    }
    return names;
}

bool ScanHtmlTemplate(std::string_view t, const std::function<bool(std::string_view)>& onText,
                      const std::function<bool(int)>& onMarker) {
    std::size_t next[kMarkerCount];
    for (std::size_t i = 0; i < kMarkerCount; ++i)
        next[i] = t.find(kMarkers[i]);
    std::size_t p = 0;
    for (;;) {
        // Markers cannot overlap: each begins with "<!--", which occurs nowhere else inside one.
        std::size_t first = 0;
        for (std::size_t i = 1; i < kMarkerCount; ++i) {
            if (next[i] < next[first]) first = i;
        }
        const std::size_t at = next[first];
        if (at == std::string_view::npos) break;
        if (at > p && !onText(t.substr(p, at - p))) return false;
        if (!onMarker(static_cast<int>(first))) return false;
        p = at + kMarkers[first].size();
        next[first] = t.find(kMarkers[first], p);
    }
    return p == t.size() || onText(t.substr(p));
}

std::string BrokenAtLineEnds(std::string_view text) {
    return ReplaceAll(text, "\r\n", "<BR>\r\n");
}

std::string FillHtmlTemplate(std::string_view templateText, const ListParts& parts) {
    std::string page;
    std::array<std::optional<std::string>, kPartCount> broken;
    ScanHtmlTemplate(
        templateText,
        [&](std::string_view text) {
            page += text;
            return true;
        },
        [&](int marker) {
            const auto part = static_cast<std::size_t>(MarkerPart(marker));
            if (!MarkerBreaksLines(marker)) {
                page += parts[part];
            } else {
                if (!broken[part]) broken[part] = BrokenAtLineEnds(parts[part]);
                page += *broken[part];
            }
            return true;
        });
    return page;
}

std::string HtmlPage(const ListParts& parts, std::string_view folder, std::string_view name) {
    return FillHtmlTemplate(HtmlTemplateRead(folder, name), parts);
}

}  // namespace folvane
