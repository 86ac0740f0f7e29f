#include "app/setup_logic.h"

#include <algorithm>
#include <limits>
#include <tuple>

#include "platform/text.h"
#include "settings/path_utils.h"
#include "settings/settings_fields.h"

namespace folvane {

namespace {

constexpr int kViewTypes = RangeOf(&Settings::ViewType).highest + 1;
constexpr int kSortKeys = RangeOf(&Settings::SortKey).highest + 1;
constexpr int16_t kHiddenBit = kAttrHidden;

bool FitsInt16(int64_t value) {
    return NumberRange{}.Contains(value);
}

int ClampIndex(int index, int count) {
    return std::clamp(index, 0, count - 1);
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
    const auto columns = ParseRoundedNumber(values.columns);
    if (!columns || !FitsInt16(*columns) || *columns > RangeOf(&Settings::Columns).highest)
        return std::string(kColumnsInvalid);
    work.Columns = static_cast<int16_t>(*columns);

    const auto lines = ParseRoundedNumber(values.lines, 1);
    if (!lines || !FitsInt16(*lines)) return std::string(kLinesInvalid);
    work.Lines = static_cast<int16_t>(*lines);

    work.CharType = values.charType == 0 ? 0 : 1;
    work.SizeType = values.sizeType == 0 ? 0 : 1;

    // Taken even while the box is disabled (scaled sizes); digit counts beyond what the column
    // can hold are brought into its range like those below it.
    const auto digits = ParseRoundedNumber(values.sizeMaxColumns);
    if (!digits || !FitsInt16(*digits)) return std::string(kSizeColumnsInvalid);
    work.SizeMaxColumns = RangeOf(&Settings::SizeMaxColumns).Clamp(SizeCells(static_cast<int16_t>(*digits)));

    work.SortKey = static_cast<int16_t>(ClampIndex(values.sortKey, kSortKeys));
    work.SortFlg = values.sortFlgIndex == 0;
    work.CompMode = values.compMode ? 1 : 0;
    work.SearchAttr = values.hiddenView ? kSearchAttrWithHidden : kSearchAttrWithoutHidden;
    work.ShortCutMenuFlg = values.shortCutMenu;
    work.ShortCutCaption = CappedText(&Settings::ShortCutCaption, values.workCaption);
    work.SubDirSearchFlg = values.subDirSearch;
    work.MemPos = values.memPos;

    ComputeWidths(work);
    if (work.Lines <= 0 || work.Lines > RangeOf(&Settings::Lines).highest) return std::string(kLinesInvalid);
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
    return ParseRoundedNumber(text).has_value();
}

}  // namespace folvane
