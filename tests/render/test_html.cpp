#include "render/html.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/path_space.h"
#include "tests/support/host_files.h"
#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::TempDir;

const std::string kEscapedFF = "\xED\xB3\xBF";  // the escape code point of host byte 0xFF

// The anchor of a path on Z:, whose URL is the host file's on hosts with one root (the text's
// escapes given as they are expected in the URL).
std::string HostRootLink(std::string_view label, std::string_view urlPath) {
    return "<A href=\"" + FileUrlOf("Z:" + std::string(urlPath)) + "\">" + std::string(label) + "</A>";
}

// Anchors: a file URL that stays inside its attribute and names the real file even where code
// page 932 cannot hold a character of its name.
TEST(Html, EscapeAndLinks) {
    EXPECT_EQ(HtmlEscape("say \"it's\" <a> & &lt;資料\xFF"),
              "say &quot;it's&quot; &lt;a&gt; &amp; &amp;lt;資料\xFF");
    // clang-format off
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"a&b", "C:\\x\\a&b", "<A href=\"file:///C:/x/a&amp;b\">a&amp;b</A>"},
        {"C:\\", "", "<A href=\"file:///C:/\">C:\\</A>"},
        {"a", "\\\\srv\\shr\\a", "<A href=\"file://srv/shr/a\">a</A>"},
        {"x", "d:\\a b\\1%#?.txt", "<A href=\"file:///d:/a%20b/1%25%23%3F.txt\">x</A>"},
        {"a\"<b>", "C:\\a\"<b>\t\n", "<A href=\"file:///C:/a%22%3Cb%3E%09%0A\">a&quot;&lt;b&gt;</A>"},
        {"資料", "C:\\資料\\ｶﾅ", "<A href=\"file:///C:/資料/ｶﾅ\">資料</A>"},
        {"😀", "C:\\😀¥", "<A href=\"file:///C:/%F0%9F%98%80%C2%A5\">😀</A>"},
        {"e", "C:\\x" + kEscapedFF, "<A href=\"file:///C:/x%FF\">e</A>"},
        {"rel", "a\\b c", "<A href=\"a/b%20c\">rel</A>"},
        {"z", "Z:\\a/b\\c", HostRootLink("z", "\\a/b\\c")},  // unmappable: text kept
    };
    // clang-format on
    for (const auto& [label, target, link] : cases)
        EXPECT_EQ(PathLink(label, target), link) << target;
    // A link is made from the path's text alone: the walk names entries as they are stored, so
    // no link needs the file system (a name in other letter case stays as written).
    EXPECT_EQ(PathLink("n", "Z:\\nowhere\\A b.txt"), HostRootLink("n", "\\nowhere\\A%20b.txt"));
    EXPECT_EQ(PathLink("n", "Z:\\x" + kEscapedFF), HostRootLink("n", "\\x%FF"));

    EXPECT_EQ(UrlLink("x", "https://h.example/a b?q=1&r=%20#\"<>"),
              "<A href=\"https://h.example/a%20b?q=1&amp;r=%20#%22%3C%3E\">x</A>");
    EXPECT_EQ(UrlLink("https://h.example/", ""), "<A href=\"https://h.example/\">https://h.example/</A>");
}

TEST(Html, TemplatesAreReadAsNameThenHtmThenHtmlAndListedWhenVisibleFiles) {
    TempDir dir;
    // clang-format off
    const std::pair<std::string, std::string> files[] = {
        {"基本.htm", "\x8A\xEE\x96\x7B"}, {"only.html", "html"}, {"both", "bare"}, {"both.htm", "htm"},
        {"empty.htm", ""}, {"dir.htm.htm", "behind a folder"}};
    // clang-format on
    for (const auto& [name, text] : files)
        dir.WriteFile("basehtml/" + name, text);
    dir.MakeFolder("basehtml/dir.htm");
    // A file past the cap is no template, even a sparse one that would take no disk space.
    dir.WriteFile("basehtml/largest.htm", std::string(kTemplateSizeLimit, 'x'));
    ASSERT_TRUE(testing::SetHostSparseLength(dir.WriteFile("basehtml/huge.htm"), uint64_t{8} << 30));
    const std::string builtIn = DefaultHtmlTemplate();
    const std::pair<std::string, std::string> cases[] = {{"基本", "基本"},
                                                         {"基本.htm", "基本"},
                                                         {"only", "html"},
                                                         {"both", "bare"},
                                                         {"empty", ""},
                                                         {"dir.htm", "behind a folder"},
                                                         {"missing", builtIn},
                                                         {"", builtIn},
                                                         {"huge", builtIn},
                                                         {"largest", std::string(kTemplateSizeLimit, 'x')}};
    for (const auto& [name, text] : cases)
        EXPECT_EQ(HtmlTemplateRead(dir.path("basehtml") + "\\", name), text) << name;
    EXPECT_EQ(HtmlTemplateRead("", "基本"), builtIn);

    for (const char* name :
         {"a.htm", "B.HTML", "e.Htm", "c.txt", ".hidden.htm", "f.htm.bak", "html", "d.htm/x"})
        dir.WriteFile(std::string("list/") + name, "x");
    dir.MakeHidden("list/.hidden.htm");
    std::vector<std::string> names = HtmlTemplateList(dir.path("list") + "\\");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.HTML", "a.htm", "e.Htm"}));
    EXPECT_TRUE(HtmlTemplateList(dir.path("nowhere")).empty());
}

TEST(Html, TemplatesAreFoundBesideTheExecutableFirstThenInTheInstalledData) {
    TempDir dir;
    for (const char* folder :
         {"portable/basehtml", "usr/bin", "usr/share/folvane/basehtml", "both/bin/basehtml",
          "both/share/folvane/basehtml", "bare/bin", "bare/share/folvane"})
        dir.MakeFolder(folder);
    const std::pair<std::string, std::string> cases[] = {
        {dir.path("portable"), dir.path("portable/basehtml") + "\\"},
        {dir.path("usr/bin"), dir.path("usr/share/folvane/basehtml") + "\\"},
        {dir.path("both/bin"), dir.path("both/bin/basehtml") + "\\"},
        // No templates anywhere: the folder beside the executable, which gives the built-in one.
        {dir.path("bare/bin"), dir.path("bare/bin/basehtml") + "\\"},
        {"", ""},
    };
    for (const auto& [executableFolder, folder] : cases)
        EXPECT_EQ(HtmlTemplateFolderOf(executableFolder), folder) << executableFolder;
}

TEST(Html, PageReplacesEveryMarkerWhereverItStands) {
    TempDir dir;
    const ListParts parts = {"H1\r\nH2", "HEAD", "----", "B1\r\nB2", "F"};
    // clang-format off
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"twice", "<!-- Folvane PreLine -->|<!-- Folvane PreLine -->", "----|----"},
        {"order", "<!-- Folvane PreFutter --><!-- Folvane PreBody -->x<!-- Folvane PreHeadLine -->"
                  "<!-- Folvane PreHeader -->", "FB1\r\nB2xHEADH1\r\nH2"},
        {"broken", "<TD><!-- Folvane Body --></TD><!-- Folvane Header -->/<!-- Folvane Body -->",
                   "<TD>B1<BR>\r\nB2</TD>H1<BR>\r\nH2/B1<BR>\r\nB2"},
        {"flow", "<!-- Folvane HeadLine --><!-- Folvane Line --><!-- Folvane Futter -->", "HEAD----F"},
        {"case", "<!-- folvane body --><!-- FOLVANE BODY -->", "<!-- folvane body --><!-- FOLVANE BODY -->"},
        {"cut", "<!-- Folvane PreBody --><!-- Folvane PreBody", "B1\r\nB2<!-- Folvane PreBody"},
    };
    // clang-format on
    for (const auto& [name, text, page] : cases) {
        dir.WriteFile(name + ".htm", text);
        EXPECT_EQ(HtmlPage(parts, dir.path() + "\\", name), page) << name;
        EXPECT_EQ(FillHtmlTemplate(text, parts), page) << name;
    }
    // The built-in template: header, an empty line, heading, separator, body, separator, footer.
    const std::string page = HtmlPage(parts, dir.path() + "\\", "missing");
    EXPECT_TRUE(page.starts_with("<HTML lang=\"ja\">\r\n<HEAD>\r\n")) << page;
    EXPECT_TRUE(
        page.ends_with("<PRE style=\"line-height:94%;\">\r\nH1\r\nH2\r\n\r\nHEAD\r\n----\r\nB1\r\nB2\r\n"
                       "----\r\nF\r\n</PRE>\r\n</BODY>\r\n</HTML>\r\n"))
        << page;
}

}  // namespace
}  // namespace folvane
