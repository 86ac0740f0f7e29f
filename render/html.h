#pragma once
// HTML listings: escaping, links, templates and the filling of a template with the five parts
// of a listing.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace folvane {

// The five texts of a listing: header, column heading, separator, body, footer (CR LF inside).
using ListParts = std::array<std::string, 5>;

// text with "&", double quote, "<" and ">" escaped, in that order.
std::string HtmlEscape(std::string_view text);

// A link to a path-space path target (or to label when target is "") showing the escaped
// label. The reference is a file URL that a current browser opens ("file:///C:/a.txt",
// "file://srv/shr/a.txt"; a path on Z: names the host file, "file:///home/ann/a.txt"), safe
// inside the attribute: blanks, control characters, % # ? " < > and characters that code page
// 932 cannot hold are percent-encoded, & is written &amp;.
std::string PathLink(std::string_view label, std::string_view target);

// A link to a web address (or to label when address is ""), showing the escaped label; the
// address is written as given, made safe inside the attribute.
std::string UrlLink(std::string_view label, std::string_view address);

// The built-in template.
std::string DefaultHtmlTemplate();

// The template folder of the running program: HtmlTemplateFolderOf its executable's folder.
std::string HtmlTemplateFolder();

// The template folder of a program whose executable lies in executableFolder: "basehtml\"
// beside the executable when that folder exists, else "basehtml\" in the installed data
// folder when that exists, else "basehtml\" beside the executable again (every template then
// is the built-in one); "" for "".
std::string HtmlTemplateFolderOf(std::string_view executableFolder);

// A template file larger than this is no template: the built-in one serves instead, as for a
// missing file. Real templates are a few kilobytes; the cap keeps a wrong choice (a disk image
// named with /HS) from filling the memory.
inline constexpr int64_t kTemplateSizeLimit = 1 << 20;

// The template called name in folder (tried as name, name + ".htm", name + ".html");
// the built-in template when there is none, it cannot be read or it is larger than
// kTemplateSizeLimit bytes.
std::string HtmlTemplateRead(std::string_view folder, std::string_view name);

// The names of the .htm and .html files of folder, in the order the file system gives them.
std::vector<std::string> HtmlTemplateList(std::string_view folder);

// The markers a template holds: ten of them, markers 0-4 and 5-9 standing for the parts 0-4;
// the second five take their part with "<BR>" before every line break.
inline constexpr std::size_t kPartCount = 5;
constexpr int MarkerPart(int marker) {
    return marker % 5;
}
constexpr bool MarkerBreaksLines(int marker) {
    return marker >= 5;
}

// Goes through a template in order: onText for each stretch of text between markers (never
// an empty one), onMarker with the index of each marker (every occurrence; markers are exact
// and case-sensitive). Stops at the first callback that returns false, and returns false then.
bool ScanHtmlTemplate(std::string_view templateText, const std::function<bool(std::string_view)>& onText,
                      const std::function<bool(int)>& onMarker);

// text with "<BR>" before every CR LF.
std::string BrokenAtLineEnds(std::string_view text);

// templateText with every marker replaced by its part. A template without markers is itself.
std::string FillHtmlTemplate(std::string_view templateText, const ListParts& parts);

// The page: the template called name in folder with every marker replaced by its part.
std::string HtmlPage(const ListParts& parts, std::string_view folder, std::string_view name);

}  // namespace folvane
