#include "render/html.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace folvane {
namespace {

using testing::TempDir;

const std::string kEscapedFF = "\xED\xB3\xBF";  // the escape code point of host byte 0xFF

TEST(Html, Escape) {
    EXPECT_EQ(HtmlEscape("a<b & c"), "a&lt;b &amp; c");
    EXPECT_EQ(HtmlEscape("say \"it's\" <>"), "say &quot;it's&quot; &lt;&gt;");
    EXPECT_EQ(HtmlEscape("&lt;資料\xFF"), "&amp;lt;資料\xFF");
}

// Per label and target, the anchor: a file URL that stays inside its attribute and names the
// real file even where code page 932 cannot hold a character of its name.
TEST(Html, PathLink) {
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
        {"Z:", "", "<A href=\"file:///\">Z:</A>"},                   // Z: paths that cannot be
        {"z", "Z:\\a/b\\c", "<A href=\"file:///a/b/c\">z</A>"},      // mapped keep their text
    };
    // clang-format on
    for (const auto& [label, target, link] : cases)
        EXPECT_EQ(PathLink(label, target), link) << target;

    TempDir dir;
    const std::string host = dir.host().string();
    dir.WriteFile("a B.txt");
    dir.WriteFile("x\xFF");
    EXPECT_EQ(PathLink("n", dir.path("A b.txt")), "<A href=\"file://" + host + "/a%20B.txt\">n</A>");
    EXPECT_EQ(PathLink("n", dir.path() + "\\x" + kEscapedFF), "<A href=\"file://" + host + "/x%FF\">n</A>");
}

TEST(Html, UrlLinkKeepsTheAddressButNotItsQuotes) {
    EXPECT_EQ(UrlLink("x", "https://h.example/a b?q=1&r=%20#\"<>"),
              "<A href=\"https://h.example/a%20b?q=1&amp;r=%20#%22%3C%3E\">x</A>");
    EXPECT_EQ(UrlLink("https://h.example/", ""), "<A href=\"https://h.example/\">https://h.example/</A>");
}

class HtmlTemplates : public ::testing::Test {
  protected:
    std::string Folder() const { return dir_.path("basehtml") + "\\"; }
    void Write(const std::string& name, std::string_view text) const {
        dir_.WriteFile("basehtml/" + name, text);
    }
    TempDir dir_;
};

TEST_F(HtmlTemplates, ReadTriesTheNameThenHtmThenHtml) {
    Write("基本.htm", "\x8A\xEE\x96\x7B");  // 基本 in code page 932
    Write("only.html", "html");
    Write("both", "bare");
    Write("both.htm", "htm");
    Write("empty.htm", "");
    Write("dir.htm.htm", "behind a folder");
    dir_.MakeFolder("basehtml/dir.htm");
    ASSERT_EQ(mkfifo(dir_.host("basehtml/pipe.htm").c_str(), 0600), 0);  // exists, cannot be read
    const std::string builtIn = DefaultHtmlTemplate();
    const std::pair<std::string, std::string> cases[] = {
        {"基本", "基本"},  {"基本.htm", "基本"}, {"only", "html"},
        {"both", "bare"},  {"empty", ""},        {"dir.htm", "behind a folder"},
        {"pipe", builtIn}, {"missing", builtIn}, {"", builtIn}};
    for (const auto& [name, text] : cases)
        EXPECT_EQ(HtmlTemplateRead(Folder(), name), text) << name;
    EXPECT_EQ(HtmlTemplateRead("", "基本"), builtIn);
}

TEST_F(HtmlTemplates, ListKeepsVisibleHtmAndHtmlFilesOnly) {
    for (const char* name :
         {"a.htm", "B.HTML", "e.Htm", "c.txt", ".hidden.htm", "noext", "f.htm.bak", "html"})
        Write(name, "x");
    dir_.MakeFolder("basehtml/d.htm");
    std::vector<std::string> names = HtmlTemplateList(Folder());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"B.HTML", "a.htm", "e.Htm"}));
    EXPECT_TRUE(HtmlTemplateList(dir_.path("nowhere")).empty());
}

TEST_F(HtmlTemplates, PageReplacesEveryMarkerWhereverItStands) {
    const ListParts parts = {"H1\r\nH2", "HEAD", "----", "B1\r\nB2", "F"};
    // clang-format off
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"plain", "no markers\r\n", "no markers\r\n"},
        {"empty", "", ""},
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
        Write(name + ".htm", text);
        EXPECT_EQ(HtmlPage(parts, Folder(), name), page) << name;
    }
    // The built-in template: header, an empty line, heading, separator, body, separator, footer.
    const std::string page = HtmlPage(parts, Folder(), "missing");
    EXPECT_TRUE(page.starts_with("<HTML lang=\"ja\">\r\n<HEAD>\r\n")) << page;
    EXPECT_NE(
        page.find("<PRE style=\"line-height:94%;\">\r\nH1\r\nH2\r\n\r\nHEAD\r\n----\r\nB1\r\nB2\r\n----\r\n"
                  "F\r\n</PRE>\r\n</BODY>\r\n</HTML>\r\n"),
        std::string::npos)
        << page;
}

}  // namespace
}  // namespace folvane
