#include "app/setup_logic.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "platform/text.h"
#include "settings/path_utils.h"

namespace folvane {

namespace {

// The ranges a stored record must keep so that runs behave; the settings file clamps into the
// same ones.
constexpr int64_t kMaxColumns = 1000;
constexpr int64_t kMaxLines = 100;
constexpr int kMinSizeCells = 7;
constexpr int kMaxSizeCells = 99;
constexpr int kViewTypes = 4;
constexpr int kSortKeys = 5;

// Searched with kHiddenBit when hidden entries are listed: read-only, system and folder.
constexpr int16_t kBaseSearchAttr = 21;
constexpr int16_t kHiddenBit = 2;

bool FitsInt16(int64_t value) {
    return value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max();
}

int ClampIndex(int index, int count) {
    return std::clamp(index, 0, count - 1);
}

// Where the fractional part of a number lies relative to one half.
enum class Fraction { kZero, kBelowHalf, kHalf, kAboveHalf };

Fraction FractionOf(std::string_view digits) {
    if (digits.find_first_not_of('0') == std::string_view::npos) return Fraction::kZero;
    if (digits.front() < '5') return Fraction::kBelowHalf;
    if (digits.front() > '5') return Fraction::kAboveHalf;
    return digits.find_first_not_of('0', 1) == std::string_view::npos ? Fraction::kHalf
                                                                      : Fraction::kAboveHalf;
}

Fraction Mirrored(Fraction fraction) {
    if (fraction == Fraction::kBelowHalf) return Fraction::kAboveHalf;
    if (fraction == Fraction::kAboveHalf) return Fraction::kBelowHalf;
    return fraction;
}

// The number of text plus addend, rounded to the nearest integer with halves to even; nullopt
// when text is no number. Worked out on the decimal digits, so that a text such as "2.5" or
// "0.49999999999999999" is rounded as written. A magnitude beyond twelve digits comes out as
// +-10^13, far outside any value a box accepts.
std::optional<int64_t> RoundedNumber(std::string_view text, int addend) {
    if (!IsNumberText(text)) return std::nullopt;
    text = TrimBlanks(text);
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
    const std::size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    const std::string_view fractionDigits = dot == std::string_view::npos ? "" : text.substr(dot + 1);
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    constexpr int64_t kHuge = 10'000'000'000'000;
    if (whole.size() > 12) return negative ? -kHuge : kHuge;

    int64_t magnitude = 0;
    for (const char digit : whole)
        magnitude = magnitude * 10 + (digit - '0');
    Fraction fraction = FractionOf(fractionDigits);
    // floor is the integer at or below the number; fraction tells how far above it the number lies.
    int64_t floor = negative ? -magnitude : magnitude;
    if (negative && fraction != Fraction::kZero) {
        floor -= 1;
        fraction = Mirrored(fraction);
    }
    floor += addend;
    switch (fraction) {
        case Fraction::kZero:
        case Fraction::kBelowHalf:
            return floor;
        case Fraction::kAboveHalf:
            return floor + 1;
        case Fraction::kHalf:
            return floor % 2 == 0 ? floor : floor + 1;
    }
    return floor;
}

std::string DecimalText(int value) {
    return std::to_string(value);
}

// The file name of the selected template item, or "" for none and for " （未定義）".
std::string SelectedTemplateName(const SetupValues& values, const std::vector<std::string>& templates) {
    const int selected = values.selectedTemplate;
    if (selected < 0 || static_cast<std::size_t>(selected) >= values.templateItems.size()) return "";
    const int data = values.templateItems[static_cast<std::size_t>(selected)].data;
    if (data < 0 || static_cast<std::size_t>(data) >= templates.size()) return "";
    return templates[static_cast<std::size_t>(data)];
}

void ShowColumnSwitches(const Settings& record, SetupValues& values) {
    values.size = record.SizeFlg;
    values.attr = record.AttrFlg;
    values.cdate = record.CDateFlg;
    values.ctime = record.CTimeFlg;
    values.udate = record.UDateFlg;
    values.utime = record.UTimeFlg;
    values.version = record.VersionFlg;
    values.crc = record.CRCFlg;
}

void TakeColumnSwitches(const SetupValues& values, Settings& work) {
    work.SizeFlg = values.size;
    work.AttrFlg = values.attr;
    work.CDateFlg = values.cdate;
    work.CTimeFlg = values.ctime;
    work.UDateFlg = values.udate;
    work.UTimeFlg = values.utime;
    work.VersionFlg = values.version;
    work.CRCFlg = values.crc;
}

// The index of the template a run would open for htmlName, or -1. File names are looked up
// exactly first and then ignoring ASCII letter case, where the smallest name in byte order is
// taken; so a name from a settings file written on Windows ("plain.html") keeps selecting
// "Plain.html" instead of being replaced by the first template on the next 保存.
int MatchingTemplate(const std::vector<std::string>& templates, std::string_view htmlName) {
    int exact = -1, folded = -1;
    const std::string wanted = AsciiLower(htmlName);
    for (std::size_t i = 0; i < templates.size(); ++i) {
        const int index = static_cast<int>(i);
        if (CompareNames(templates[i], htmlName) == 0) {
            exact = index;  // a later match replaces an earlier one
        } else if (AsciiLower(templates[i]) == wanted &&
                   (folded < 0 || templates[i] < templates[static_cast<std::size_t>(folded)])) {
            folded = index;
        }
    }
    return exact >= 0 ? exact : folded;
}

}  // namespace

SetupValues ParaToView(const Settings& record, const std::vector<std::string>& templates) {
    SetupValues values;
    std::tie(values.templateItems, values.selectedTemplate) = HtmlNameListFill(templates, record.HtmlName);
    // A hand-edited settings file may hold an index no button has; the nearest button shows.
    values.viewType = ClampIndex(record.ViewType, kViewTypes);
    ShowColumnSwitches(record, values);
    values.longName = record.LongNameFlg;
    values.columns = DecimalText(record.Columns);
    values.lines = DecimalText(record.Lines - 1);
    values.charType = record.CharType == 0 ? 0 : 1;
    values.sizeType = record.SizeType == 0 ? 0 : 1;
    values.sortKey = ClampIndex(record.SortKey, kSortKeys);
    values.sortFlgIndex = record.SortFlg ? 0 : 1;
    values.compMode = record.CompMode != 0;
    values.hiddenView = (record.SearchAttr & kHiddenBit) != 0;
    values.shortCutMenu = record.ShortCutMenuFlg;
    values.workCaption = record.ShortCutCaption;
    values.subDirSearch = record.SubDirSearchFlg;
    values.memPos = record.MemPos;
    values.sizeMaxColumns = DecimalText(SizeDigits(record.SizeMaxColumns));
    values.filterFlg = record.FilterFlg;
    values.listType = record.ListType != 0;
    values.folderLink = record.FolderLinkFlg;
    values.fileLink = record.FileLinkFlg;
    values.autoOpen = record.AutoOpenFlg;
    return values;
}

std::pair<std::vector<TemplateItem>, int> HtmlNameListFill(const std::vector<std::string>& templates,
                                                           std::string_view htmlName) {
    std::vector<TemplateItem> items;
    if (templates.empty()) items.push_back(TemplateItem{.caption = std::string(kNoTemplateItem), .data = -1});
    for (std::size_t i = 0; i < templates.size(); ++i) {
        items.push_back(TemplateItem{.caption = WithoutExtension(templates[i]), .data = static_cast<int>(i)});
    }
    const int wanted = MatchingTemplate(templates, htmlName);
    const auto found = std::find_if(items.begin(), items.end(),
                                    [&](const TemplateItem& item) { return item.data == wanted; });
    return {std::move(items), found == items.end() ? 0 : static_cast<int>(found - items.begin())};
}

// Every check runs on a copy, so a failing one leaves record as it was, also the fields taken
// before it. Besides the checks of the dialog, numbers that no 16-bit field can hold and
// Columns or Lines beyond what a run handles are refused with the box's own message instead
// of being stored wrapped or out of range.
std::string ViewToPara(const SetupValues& values, const std::vector<std::string>& templates,
                       Settings& record) {
    Settings work = record;
    work.ViewType = static_cast<int16_t>(ClampIndex(values.viewType, kViewTypes));
    TakeColumnSwitches(values, work);
    work.AutoOpenFlg = values.autoOpen;
    work.LongNameFlg = values.longName;

    // Columns of zero or less are left to the width check below, which always refuses them.
    const auto columns = RoundedNumber(values.columns, 0);
    if (!columns || !FitsInt16(*columns) || *columns > kMaxColumns) return std::string(kColumnsInvalid);
    work.Columns = static_cast<int16_t>(*columns);

    const auto lines = RoundedNumber(values.lines, 1);
    if (!lines || !FitsInt16(*lines)) return std::string(kLinesInvalid);
    work.Lines = static_cast<int16_t>(*lines);

    work.CharType = values.charType == 0 ? 0 : 1;
    work.SizeType = values.sizeType == 0 ? 0 : 1;

    // Taken even while the box is disabled (scaled sizes); digit counts beyond what the column
    // can hold are brought into its range like those below it.
    const auto digits = RoundedNumber(values.sizeMaxColumns, 0);
    if (!digits || !FitsInt16(*digits)) return std::string(kSizeColumnsInvalid);
    work.SizeMaxColumns = static_cast<int16_t>(
        std::clamp<int>(SizeCells(static_cast<int16_t>(*digits)), kMinSizeCells, kMaxSizeCells));

    work.SortKey = static_cast<int16_t>(ClampIndex(values.sortKey, kSortKeys));
    work.SortFlg = values.sortFlgIndex == 0;
    work.CompMode = values.compMode ? 1 : 0;
    work.SearchAttr = static_cast<int16_t>(kBaseSearchAttr + (values.hiddenView ? kHiddenBit : 0));
    work.ShortCutMenuFlg = values.shortCutMenu;
    work.ShortCutCaption = values.workCaption;
    work.SubDirSearchFlg = values.subDirSearch;
    work.MemPos = values.memPos;

    ComputeWidths(work);
    if (work.Lines <= 0 || work.Lines > kMaxLines) return std::string(kLinesInvalid);
    if (work.NameWidth <= 0) return std::string(kColumnsTooNarrow);

    work.FilterFlg = values.filterFlg;
    work.ListType = values.listType ? 1 : 0;
    work.FolderLinkFlg = values.folderLink;
    work.FileLinkFlg = values.fileLink;
    work.HtmlName = SelectedTemplateName(values, templates);

    record = std::move(work);
    return "";
}

int16_t SizeDigits(int16_t width) {
    return static_cast<int16_t>(width - width / 4);
}

// Held to the 16-bit range, which the largest digit counts would overflow.
int16_t SizeCells(int16_t digits) {
    const int cells = digits + (digits - 1) / 3;
    return static_cast<int16_t>(std::clamp(cells, int{std::numeric_limits<int16_t>::min()},
                                           int{std::numeric_limits<int16_t>::max()}));
}

std::optional<std::pair<std::string, std::string>> SortDirectionCaptions(int sortKey) {
    switch (sortKey) {
        case 0:
        case 1:
            return std::pair<std::string, std::string>("昇順", "降順");
        case 2:
            return std::pair<std::string, std::string>("小さい順", "大きい順");
        case 3:
        case 4:
            return std::pair<std::string, std::string>("新しい順", "古い順");
        default:
            return std::nullopt;
    }
}

bool IsNumberText(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    bool digits = false, dot = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            return false;
        }
    }
    return digits;
}

}  // namespace folvane
