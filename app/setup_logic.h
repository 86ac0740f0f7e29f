#pragma once
// The Setup dialog's logic without widgets: filling the controls from a settings record, and
// validating and storing what the person entered. The desktop program maps its widgets to
// SetupValues; tests drive the logic directly.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings.h"

namespace folvane {

// One item of the template list: its caption and its item data (an index into the template
// list, or -1 for the " （未定義）" item shown when there are no templates).
struct TemplateItem {
    std::string caption;
    int data = -1;
};

// The state of the Setup dialog's controls.
struct SetupValues {
    // 表示項目
    bool size = false, attr = false, cdate = false, ctime = false, udate = false, utime = false;
    bool crc = false, version = false;
    // 表示順
    int sortKey = 0;        // optSortKey index
    int sortFlgIndex = 0;   // optSortFlg index: 0 natural direction, 1 reversed
    bool compMode = false;  // chkCompMode checked: ignore letter case
    // 表示形式
    std::string columns;         // txtColumns
    std::string lines;           // txtLines (spacer lines: Lines - 1)
    int charType = 0;            // optCharType index
    int sizeType = 0;            // optSizeType index
    std::string sizeMaxColumns;  // txtSizeMaxColumns (digits without separators)
    int viewType = 0;            // optViewType index
    // HTML
    bool listType = false;  // chkListType: HTML listing
    std::vector<TemplateItem> templateItems;
    int selectedTemplate = -1;  // index into templateItems; -1 none selected
    bool folderLink = false, fileLink = false;
    // その他
    bool shortCutMenu = false;
    std::string workCaption;  // the caption edited through the caption dialog
    bool hiddenView = false, longName = false, subDirSearch = false, memPos = false;
    bool filterFlg = false, autoOpen = false;
};

inline constexpr std::string_view kSetupTitle = "Folvane の設定";
inline constexpr std::string_view kColumnsInvalid = "行数の制限が不正です。";
inline constexpr std::string_view kLinesInvalid = "余白の行数が不正です。";
inline constexpr std::string_view kSizeColumnsInvalid = "サイズの行数が不正です。";
inline constexpr std::string_view kColumnsTooNarrow = "桁数の指定が狭すぎます。";
inline constexpr std::string_view kCrcNotice =
    "CRCをチェックすると、\r\nファイルサイズに比例して動作が遅くなります。";
inline constexpr std::string_view kVersionNotice =
    "ファイルバージョンをチェックすると、\r\nファイル数に比例して動作が遅くなります。";
inline constexpr std::string_view kNoTemplateItem = " （未定義）";

// The controls for record; templates is the template list (file names) the dialog offers.
SetupValues ParaToView(const Settings& record, const std::vector<std::string>& templates);

// The template items for templates and the index of the item to select for htmlName: the
// template a run would open for it (the name exactly, else ignoring ASCII letter case), else
// the first item.
std::pair<std::vector<TemplateItem>, int> HtmlNameListFill(const std::vector<std::string>& templates,
                                                           std::string_view htmlName);

// Validates values and, when they are all valid, stores them into record (ComputeWidths
// included) and returns "". Otherwise returns the message to show and leaves record as it was.
// Numbers are rounded to the nearest integer, halves to even. Besides the dialog's own checks,
// a number no 16-bit field can hold, Columns above 1000 and Lines outside 1..100 are refused
// with their box's message; the size digits are held to widths 7..99.
std::string ViewToPara(const SetupValues& values, const std::vector<std::string>& templates,
                       Settings& record);

// The size column's width shown as a digit count (12 -> 9), and a digit count stored as a
// width (9 -> 11, 10 -> 13), dividing with truncation; SizeCells holds its result to 16 bits.
int16_t SizeDigits(int16_t width);
int16_t SizeCells(int16_t digits);

// The captions of the two direction buttons for a sort key; nullopt for an unknown key (the
// captions then stay as they are).
std::optional<std::pair<std::string, std::string>> SortDirectionCaptions(int sortKey);

// True when text reads as a number: optional blanks, an optional sign, digits with an optional
// fractional part, optional blanks. Blank text is no number.
bool IsNumberText(std::string_view text);

}  // namespace folvane
