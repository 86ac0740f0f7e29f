#include "render/html.h"

#include <array>
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

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Slashed(std::string_view path) {
    return ReplaceAll(path, "\\", "/");
}

// A path on Z: is a host path; the link names the host file. The host bytes are spelled back
// with escape code points where they are no UTF-8, so that each is encoded as its own byte.
std::string HostFileUrl(std::string_view path) {
    if (const auto host = HostPathOf(path)) return "file://" + NameFromHost(*host);
    std::string rest = Slashed(path.substr(2));
    if (!rest.starts_with('/')) rest.insert(0, "/");
    return "file://" + rest;
}

// The URL of a path-space path: a file URL for a drive or share path; any other text (a
// relative path) stays a relative reference.
std::string FileUrlOf(std::string_view path) {
    if (path.starts_with("\\\\")) return "file:" + Slashed(path);
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        if (path[0] == 'Z' || path[0] == 'z') return HostFileUrl(path);
        return "file:///" + Slashed(path);
    }
    return Slashed(path);
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
constexpr std::size_t kPlainMarkers = 5;  // markers 0-4 take their part as it is

bool IsTemplateName(std::string_view name) {
    const std::string extension = AsciiLower(Extension(name));
    return extension == "htm" || extension == "html";
}

// The parts for markers 5-9, with "<BR>" before every line break; each made once, on demand.
class BrokenParts {
  public:
    explicit BrokenParts(const ListParts& parts) : parts_(parts) {}
    const std::string& Part(std::size_t index) {
        if (!made_[index]) made_[index] = ReplaceAll(parts_[index], "\r\n", "<BR>\r\n");
        return *made_[index];
    }

  private:
    const ListParts& parts_;
    std::array<std::optional<std::string>, 5> made_;
};

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
        if (IsFile(path)) return ReadTextFile(path, DefaultHtmlTemplate());
    }
    return DefaultHtmlTemplate();
}

std::vector<std::string> HtmlTemplateList(std::string_view folder) {
    // Folders, hidden and system files are no templates on offer.
    constexpr uint32_t kNotOffered = kAttrFolder | kAttrHidden | kAttrSystem | kAttrVolume;
    std::vector<std::string> names;
    FolderReader reader;
    if (!reader.Open(folder)) return names;
    FolderItem item;
    while (reader.Next(item)) {
        if ((item.facts.attributes & kNotOffered) == 0 && IsTemplateName(item.name))
            names.push_back(item.name);
    }
    reader.Close();
    return names;
}

std::string HtmlPage(const ListParts& parts, std::string_view folder, std::string_view name) {
    const std::string page = HtmlTemplateRead(folder, name);
    const std::string_view t = page;
    std::size_t next[kMarkerCount];
    for (std::size_t i = 0; i < kMarkerCount; ++i)
        next[i] = t.find(kMarkers[i]);

    BrokenParts broken(parts);
    std::string result;
    std::size_t p = 0;
    for (;;) {
        // Markers cannot overlap: each begins with "<!--", which occurs nowhere else inside one.
        std::size_t first = 0;
        for (std::size_t i = 1; i < kMarkerCount; ++i) {
            if (next[i] < next[first]) first = i;
        }
        const std::size_t at = next[first];
        if (at == std::string_view::npos) break;
        result.append(t.substr(p, at - p));
        result += first < kPlainMarkers ? parts[first] : broken.Part(first - kPlainMarkers);
        p = at + kMarkers[first].size();
        next[first] = t.find(kMarkers[first], p);
    }
    result.append(t.substr(p));
    return result;
}

}  // namespace folvane
