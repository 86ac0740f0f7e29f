// HTML output. The input, split at NUL bytes, is a template, the five listing parts, a label
// and a link target. No label breaks out of its text and no target out of its href attribute;
// the filled template equals the template with every marker occurrence replaced by its part,
// which a plain left-to-right model here computes on its own. A link to a path on Z: looks
// the host path up, so Z: is mapped onto an empty scratch folder that bounds the lookups.

#include <array>
#include <string>
#include <string_view>

#include "platform/cp932.h"
#include "platform/path_space.h"
#include "platform/text.h"
#include "render/html.h"
#include "tests/fuzz/fuzz_support.h"

namespace folvane::fuzz {
namespace {

struct Marker {
    std::string_view text;
    std::size_t part;
    bool lineBreaks;  // "<BR>" before every CR LF of the part
};

constexpr std::array<Marker, 10> kMarkers = {{
    {"<!-- Folvane PreHeader -->", 0, false},
    {"<!-- Folvane PreHeadLine -->", 1, false},
    {"<!-- Folvane PreLine -->", 2, false},
    {"<!-- Folvane PreBody -->", 3, false},
    {"<!-- Folvane PreFutter -->", 4, false},
    {"<!-- Folvane Header -->", 0, true},
    {"<!-- Folvane HeadLine -->", 1, true},
    {"<!-- Folvane Line -->", 2, true},
    {"<!-- Folvane Body -->", 3, true},
    {"<!-- Folvane Futter -->", 4, true},
}};

// The model: walk the template; where a marker starts, put its part and skip the marker.
std::string ModelFill(std::string_view templateText, const ListParts& parts) {
    std::string page;
    std::size_t at = 0;
    while (at < templateText.size()) {
        const Marker* found = nullptr;
        for (const Marker& marker : kMarkers) {
            if (templateText.substr(at).starts_with(marker.text)) found = &marker;
        }
        if (found == nullptr) {
            page += templateText[at++];
            continue;
        }
        const std::string& part = parts[found->part];
        for (std::size_t k = 0; k < part.size(); ++k) {
            if (found->lineBreaks && part.compare(k, 2, "\r\n") == 0) page += "<BR>";
            page += part[k];
        }
        at += found->text.size();
    }
    return page;
}

constexpr std::array<std::string_view, 4> kEntities = {"&amp;", "&quot;", "&lt;", "&gt;"};

std::string Unescaped(std::string_view escaped) {
    constexpr std::string_view kPlain = "&\"<>";
    std::string text;
    for (std::size_t at = 0; at < escaped.size();) {
        std::size_t entity = 0;
        while (entity < kEntities.size() && !escaped.substr(at).starts_with(kEntities[entity]))
            ++entity;
        if (entity < kEntities.size()) {
            text += kPlain[entity];
            at += kEntities[entity].size();
        } else {
            text += escaped[at++];
        }
    }
    return text;
}

bool AmpersandsAreAmpEntities(std::string_view text) {
    for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&', at + 1)) {
        if (!text.substr(at).starts_with("&amp;")) return false;
    }
    return true;
}

void RequireEscaped(std::string_view label, std::string_view escaped) {
    Require(escaped.find_first_of("<>\"") == std::string_view::npos, "an escaped text holds no < > or \"",
            [&] { return Visible(escaped); });
    for (std::size_t at = escaped.find('&'); at != std::string_view::npos; at = escaped.find('&', at + 1)) {
        bool entity = false;
        for (const std::string_view name : kEntities)
            entity = entity || escaped.substr(at).starts_with(name);
        Require(entity, "every & of an escaped text starts an entity", [&] { return Visible(escaped); });
    }
    RequireEqual(Unescaped(escaped), label, "an escaped text reads as the text");
}

bool IsUnsafeInReference(unsigned char byte) {
    return byte <= 0x20 || byte == 0x7F || byte == '"' || byte == '<' || byte == '>';
}

enum class LinkKind { Path, Url };

// <A href="reference">escaped label</A>, with a reference that stays inside its attribute and
// survives the code page of the listing file.
void RequireLink(std::string_view link, std::string_view label, LinkKind kind) {
    constexpr std::string_view kOpen = "<A href=\"";
    constexpr std::string_view kClose = "</A>";
    Require(link.starts_with(kOpen) && link.ends_with(kClose), "a link is one anchor",
            [&] { return Visible(link); });
    const std::string_view inner = link.substr(kOpen.size(), link.size() - kOpen.size() - kClose.size());
    const std::size_t quote = inner.find('"');
    Require(quote != std::string_view::npos && inner.substr(quote).starts_with("\">"),
            "the reference is closed by a quote and the tag by >", [&] { return Visible(link); });
    const std::string_view reference = inner.substr(0, quote);
    for (const char c : reference) {
        Require(!IsUnsafeInReference(static_cast<unsigned char>(c)),
                "a reference holds no blank, control character, quote, < or >",
                [&] { return Visible(reference); });
    }
    Require(AmpersandsAreAmpEntities(reference), "every & of a reference is written &amp;",
            [&] { return Visible(reference); });
    if (kind == LinkKind::Path)
        Require(reference.find('\\') == std::string_view::npos, "a path reference has / for \\",
                [&] { return Visible(reference); });
    RequireEqual(FromCp932(ToCp932(reference)), reference, "a reference survives the code page");
    RequireEqual(inner.substr(quote + 2), HtmlEscape(label), "a link shows its escaped label");
}

void Check(Input& input) {
    const std::string templateText(input.Piece('\0'));
    ListParts parts;
    for (std::string& part : parts)
        part = std::string(input.Piece('\0'));
    const std::string label(input.Piece('\0'));
    const std::string target(input.Rest());

    const std::string page = FillHtmlTemplate(templateText, parts);
    RequireEqual(page, ModelFill(templateText, parts), "the page is the template with its markers replaced");
    if (templateText.find("<!-- Folvane ") == std::string::npos)
        RequireEqual(page, templateText, "a template without markers is the page");

    RequireEscaped(label, HtmlEscape(label));
    for (const LinkKind kind : {LinkKind::Path, LinkKind::Url}) {
        const auto link = [kind](std::string_view l, std::string_view t) {
            return kind == LinkKind::Path ? PathLink(l, t) : UrlLink(l, t);
        };
        RequireLink(link(label, target), label, kind);
        RequireEqual(link(label, ""), link(label, label), "a link without a target leads to its label");
    }
}

}  // namespace
}  // namespace folvane::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folvane::MapDriveForTesting('Z', folvane::fuzz::MakeScratchFolder("html").string());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    folvane::fuzz::Input input(data, size);
    folvane::fuzz::Check(input);
    return 0;
}
