#pragma once
// HTML listings: escaping, links, templates and the filling of a template with the five parts
// of a listing.

#include <array>
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

// The template called name in folder (tried as name, name + ".htm", name + ".html");
// the built-in template when there is none or its length cannot be read.
std::string HtmlTemplateRead(std::string_view folder, std::string_view name);

// The names of the .htm and .html files of folder, in the order the file system gives them.
std::vector<std::string> HtmlTemplateList(std::string_view folder);

// The page: the template called name in folder with every marker replaced by its part.
std::string HtmlPage(const ListParts& parts, std::string_view folder, std::string_view name);

}  // namespace folvane
