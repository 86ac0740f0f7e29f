#pragma once
// The settings record: every user-adjustable behaviour of the program. Field names are the
// keys of the settings file. One live record exists for the program's life (owned by the
// front end); other instances are temporaries, such as the Setup dialog's scratch record.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace folvane {

// Layout version of the settings record; a loaded record always carries it.
inline constexpr std::string_view kSettingsVersion = "1.8";
// The filter history keeps at most this many texts when a run adds one.
inline constexpr int kFilterHistoryLimit = 5;

struct Settings {
    // Every field gets its default from the field table (settings_fields.h).
    Settings();

    std::string Version;                  // settings layout version ("" until loaded)
    int16_t ListType;                     // 0 text listing, 1 HTML listing
    int16_t NameWidth = 0;                // derived by ComputeWidths: cells of the name column
    int16_t SizeWidth = 0;                // derived by ComputeWidths: cells of the size column
    int16_t SearchAttr;                   // attribute mask of the walk: 23 with hidden, 21 without
    std::vector<std::string> FilterText;  // filter history, newest first
    bool FilterFlg;                       // apply the wildcard filter
    int16_t ViewType;                     // 0 normal, 1..3 abbreviated styles
    bool SizeFlg;
    bool CDateFlg;
    bool CTimeFlg;
    bool UDateFlg;
    bool UTimeFlg;
    bool AttrFlg;
    bool VersionFlg;
    bool CRCFlg;
    int16_t Columns;         // line width in cells
    int16_t Lines;           // lines per entry
    int16_t CharType;        // tree-line set: 0 half-width, 1 full-width
    int16_t SizeType;        // 0 exact byte count, 1 scaled with a unit
    int16_t SizeMaxColumns;  // width of an exact byte count
    int16_t SortKey;         // 0 name, 1 extension, 2 size, 3 updated, 4 created
    bool SortFlg;            // natural direction of the key
    int16_t CompMode;        // 1 ignore letter case, 0 binary
    bool ShortCutMenuFlg;    // keep the file manager's context-menu entry
    std::string ShortCutCaption;
    bool LongNameFlg;
    bool AutoOpenFlg;
    bool FolderLinkFlg;
    bool FileLinkFlg;
    std::string HtmlName;
    std::string LastPathName;     // folder field at the last exit
    std::string LastOutPathName;  // folder of the last saved listing, ending in "\"
    bool SubDirSearchFlg;
    bool MemPos;   // remember the main window's position
    int16_t Left;  // window position in screen pixels; -1 none
    int16_t Top;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// Puts the defaults into every field except LastPathName, LastOutPathName, Left and Top;
// Version becomes "" and the filter history empty; then ComputeWidths.
void SetDefaults(Settings& settings);

// LastPathName and LastOutPathName become "", Left and Top -1.
void SetHistoryDefaults(Settings& settings);

// Recomputes SizeWidth and NameWidth from Columns and the column switches. Nothing is
// clamped: NameWidth may come out zero or negative, which the callers reject.
void ComputeWidths(Settings& settings);

// Records text as the most recent filter text: an entry equal to it ignoring the case of the
// ASCII letters moves to the front and takes its spelling; otherwise it is put in front and,
// when the history already holds kFilterHistoryLimit or more texts, the oldest one drops out.
void AddFilterText(Settings& settings, std::string_view text);

}  // namespace folvane
