#include "settings/command_line.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "platform/path_space.h"
#include "platform/person_path.h"
#include "platform/text.h"
#include "settings/path_utils.h"
#include "settings/settings_fields.h"

namespace folvane {

namespace {

// ---- The option table -------------------------------------------------------------------------

enum class ValueKind {
    kSwitch,    // no value: /KEY is on, /-KEY off
    kNumber,    // the next argument, a number within lowest..highest
    kSortWord,  // the next argument, one of the words of kSortWords
    kText,      // the next argument, any text but ""
    kPosition,  // "x,y" in the next argument, or x and y in the next two
};

// Options whose effect is more than setting one field.
enum class Special { kNone, kAutoMode, kInit, kFilter };

struct Option {
    std::string_view longForm;
    std::string_view shortForm = {};  // "" when there is none
    ValueKind kind = ValueKind::kSwitch;
    bool Settings::*flag = nullptr;               // a switch that sets a flag
    int16_t Settings::*number = nullptr;          // a number's field, or a switch's numeric field
    std::string Settings::*text = nullptr;        // a text's field
    int16_t onValue = 0, offValue = 0;            // a switch's numeric field: the values for on and off
    int lowest = INT16_MIN, highest = INT16_MAX;  // a number: its range
    int offset = 0;                               // a number: added before it is stored
    int floor = INT16_MIN;                        // a number: smaller results are stored as this
    Special special = Special::kNone;
};

constexpr Option Switch(std::string_view longForm, std::string_view shortForm, bool Settings::*flag) {
    return {.longForm = longForm, .shortForm = shortForm, .kind = ValueKind::kSwitch, .flag = flag};
}
constexpr Option Switch(std::string_view longForm, std::string_view shortForm, int16_t Settings::*number,
                        int16_t onValue, int16_t offValue) {
    return {.longForm = longForm,
            .shortForm = shortForm,
            .kind = ValueKind::kSwitch,
            .number = number,
            .onValue = onValue,
            .offValue = offValue};
}
// A number within the field's own range.
constexpr Option Number(std::string_view longForm, std::string_view shortForm, int16_t Settings::*number) {
    return {.longForm = longForm,
            .shortForm = shortForm,
            .kind = ValueKind::kNumber,
            .number = number,
            .lowest = RangeOf(number).lowest,
            .highest = RangeOf(number).highest};
}

constexpr std::array kOptions = {
    Switch("VIEWSIZE", "VS", &Settings::SizeFlg),
    Switch("VIEWATTRIBUTE", "VA", &Settings::AttrFlg),
    Switch("VIEWCREATEDATE", "VCD", &Settings::CDateFlg),
    Switch("VIEWCREATETIME", "VCT", &Settings::CTimeFlg),
    Switch("VIEWUPDATEDATE", "VUD", &Settings::UDateFlg),
    Switch("VIEWUPDATETIME", "VUT", &Settings::UTimeFlg),
    Switch("VIEWCRC", "VC", &Settings::CRCFlg),
    Switch("VIEWVERSION", "VV", &Settings::VersionFlg),
    Option{.longForm = "SORTKEY", .kind = ValueKind::kSortWord},
    Switch("SORTMODE", "SM", &Settings::SortFlg),
    Switch("SORTCHAR", "SC", &Settings::CompMode, 1, 0),
    Number("COLUMNS", "CO", &Settings::Columns),
    // The value counts the spacer lines; Lines counts the entry's own line too.
    Option{.longForm = "LINES",
           .shortForm = "LI",
           .kind = ValueKind::kNumber,
           .number = &Settings::Lines,
           .lowest = RangeOf(&Settings::Lines).lowest - 1,
           .highest = RangeOf(&Settings::Lines).highest - 1,
           .offset = 1},
    Number("LINESET", "LS", &Settings::CharType),
    Switch("SIZEBYTE", "SB", &Settings::SizeType, 0, 1),
    // Any number up to the widest column; a narrower one is stored as the narrowest.
    Option{.longForm = "SIZECOLUMNS",
           .shortForm = "SCO",
           .kind = ValueKind::kNumber,
           .number = &Settings::SizeMaxColumns,
           .highest = RangeOf(&Settings::SizeMaxColumns).highest,
           .floor = RangeOf(&Settings::SizeMaxColumns).lowest},
    Number("STYLE", "ST", &Settings::ViewType),
    Number("LISTTYPE", "LT", &Settings::ListType),
    Option{.longForm = "HTMLSTYLE", .shortForm = "HS", .kind = ValueKind::kText, .text = &Settings::HtmlName},
    Switch("FILELINK", "FLK", &Settings::FileLinkFlg),
    Switch("DIRLINK", "DLK", &Settings::FolderLinkFlg),
    Switch("SHOWHIDDEN", "SH", &Settings::SearchAttr, kSearchAttrWithHidden, kSearchAttrWithoutHidden),
    Switch("LONGNAME", "LN", &Settings::LongNameFlg),
    Switch("SUBFOLDER", "SF", &Settings::SubDirSearchFlg),
    Switch("AUTOOPEN", "AO", &Settings::AutoOpenFlg),
    Option{
        .longForm = "FILTERTEXT", .shortForm = "FT", .kind = ValueKind::kText, .special = Special::kFilter},
    Option{.longForm = "AUTO", .shortForm = "A", .kind = ValueKind::kSwitch, .special = Special::kAutoMode},
    Option{.longForm = "INIT", .shortForm = "I", .kind = ValueKind::kSwitch, .special = Special::kInit},
    Option{.longForm = "WINDOW", .shortForm = "W", .kind = ValueKind::kPosition},
};

struct SortWord {
    std::string_view word;
    int16_t key;
};

constexpr std::array kSortWords = {
    SortWord{"NAME", 0},   SortWord{"N", 0}, SortWord{"SUFFIX", 1}, SortWord{"X", 1},
    SortWord{"SIZE", 2},   SortWord{"S", 2}, SortWord{"UPDATE", 3}, SortWord{"U", 3},
    SortWord{"CREATE", 4}, SortWord{"C", 4},
};

// An option argument taken apart: the entry of the table and the switch value.
struct OptionUse {
    const Option* option = nullptr;
    bool on = true;
};

// The option an argument that starts with "/" names; no option when the keyword is unknown.
OptionUse FindOption(std::string_view argument) {
    OptionUse use;
    std::string keyword = AsciiUpper(argument.substr(1));
    if (keyword.starts_with('-')) {
        use.on = false;
        keyword.erase(0, 1);
    }
    const auto found = std::find_if(kOptions.begin(), kOptions.end(), [&](const Option& option) {
        return keyword == option.longForm || (!option.shortForm.empty() && keyword == option.shortForm);
    });
    if (found != kOptions.end()) use.option = &*found;
    return use;
}

// A numeric option value as a 16-bit integer; nullopt when it is no number or does not fit.
std::optional<int16_t> NumberValue(std::string_view text) {
    const auto number = ParseRoundedNumber(text);
    if (!number || *number < INT16_MIN || *number > INT16_MAX) return std::nullopt;
    return static_cast<int16_t>(*number);
}

// ---- Applying options -------------------------------------------------------------------------

// The state a parse works on.
struct Parse {
    Settings& settings;
    RunOptions& options;
    CommandLineEffects& effects;
    const std::vector<std::string>& arguments;
    std::size_t next = 0;  // the argument after the one being handled
};

void ApplySwitch(Parse& parse, const Option& option, bool on) {
    if (option.flag != nullptr) {
        parse.settings.*option.flag = on;
    } else if (option.number != nullptr) {
        parse.settings.*option.number = on ? option.onValue : option.offValue;
    } else if (option.special == Special::kAutoMode) {
        parse.options.AutoMode = on;
    } else if (option.special == Special::kInit && on) {
        // Undoes the options to its left; those to its right still apply.
        SetDefaults(parse.settings);
    }
}

bool ApplyNumber(Settings& settings, const Option& option, std::string_view text) {
    const auto value = NumberValue(text);
    if (!value || *value < option.lowest || *value > option.highest) return false;
    settings.*option.number = static_cast<int16_t>(std::max(*value + option.offset, option.floor));
    return true;
}

bool ApplySortWord(Settings& settings, std::string_view text) {
    const std::string word = AsciiUpper(text);
    const auto found = std::find_if(kSortWords.begin(), kSortWords.end(),
                                    [&](const SortWord& sortWord) { return sortWord.word == word; });
    if (found == kSortWords.end()) return false;
    settings.SortKey = found->key;
    return true;
}

bool ApplyText(Parse& parse, const Option& option, const std::string& text) {
    if (text.empty()) return false;
    if (option.text != nullptr) {
        parse.settings.*option.text = CappedText(option.text, text);
    } else {
        // Also /-FT switches the filter on; the history changes only when a run starts.
        parse.settings.FilterFlg = true;
        parse.effects.hasFilter = true;
        parse.effects.filterText = text;
    }
    return true;
}

// "x,y" in one argument, or x and y in two.
bool ApplyPosition(Parse& parse) {
    const auto& arguments = parse.arguments;
    const std::string& first = arguments[parse.next];
    std::optional<int16_t> left;
    std::optional<int16_t> top;
    if (const std::size_t comma = first.find(','); comma != std::string::npos) {
        left = NumberValue(std::string_view(first).substr(0, comma));
        top = NumberValue(std::string_view(first).substr(comma + 1));
        parse.next += 1;
    } else {
        if (parse.next + 1 >= arguments.size()) return false;
        left = NumberValue(first);
        top = NumberValue(arguments[parse.next + 1]);
        parse.next += 2;
    }
    if (!left || !top) return false;
    parse.settings.Left = *left;
    parse.settings.Top = *top;
    parse.effects.moveWindow = true;
    return true;
}

// Applies one option; false when it is unknown or its value is missing or invalid.
bool ApplyOption(Parse& parse, std::string_view argument) {
    const OptionUse use = FindOption(argument);
    if (use.option == nullptr) return false;
    const Option& option = *use.option;
    if (option.kind == ValueKind::kSwitch) {
        ApplySwitch(parse, option, use.on);
        return true;
    }
    if (parse.next >= parse.arguments.size()) return false;
    if (option.kind == ValueKind::kPosition) return ApplyPosition(parse);
    const std::string& value = parse.arguments[parse.next++];
    switch (option.kind) {
        case ValueKind::kNumber:
            return ApplyNumber(parse.settings, option, value);
        case ValueKind::kSortWord:
            return ApplySortWord(parse.settings, value);
        default:
            return ApplyText(parse, option, value);
    }
}

// ---- Plain arguments --------------------------------------------------------------------------

// The folder to list: an existing folder, spelled as stored; "" when it is not usable.
std::string FolderArgument(std::string_view argument, const Settings& settings) {
    const std::string_view trimmed = TrimBlanks(argument);
    if (HasReservedName(trimmed)) return "";
    const std::string full = FullPath(trimmed);
    if (full.empty()) return "";
    std::string folder = TruePath(full, kAnyFolderMask);
    if (folder.empty() || settings.LongNameFlg) return folder;
    // The folder exists; should its short form not be had after all, its long form still names it.
    std::string shortForm = ShortPath(folder);
    return shortForm.empty() ? folder : shortForm;
}

// The output file: a full path that names no folder; "" when it is not usable.
std::string FileArgument(std::string_view argument) {
    const std::string_view trimmed = TrimBlanks(argument);
    if (HasReservedName(trimmed)) return "";
    std::string full = FullPath(trimmed);
    if (full.empty() || IsFolder(full)) return "";
    return full;
}

// ---- Host arguments ---------------------------------------------------------------------------

// On a POSIX command line "/" starts an option and also every absolute path. An argument
// that holds a second "/" is a path; so is one that is no option keyword and names an existing
// entry ("/tmp"); anything else is an option, known or not.
// "/" alone is an option (one that no keyword matches), never the host root, which "/." names.
// On Windows "/" starts an option only.
bool IsHostOption(std::string_view argument) {
    if (!SlashStartsHostPaths()) return argument.starts_with('/');
    if (argument == "/") return true;
    if (!argument.starts_with('/') || argument.find('/', 1) != std::string_view::npos) return false;
    return FindOption(argument).option != nullptr || !PathExists(PathFromHost(argument));
}

// How many of the arguments after an option are its value, as the parse takes them.
std::size_t ValueCount(std::string_view option, const std::vector<std::string>& arguments, std::size_t next) {
    const OptionUse use = FindOption(option);
    if (use.option == nullptr || use.option->kind == ValueKind::kSwitch) return 0;
    const std::size_t left = arguments.size() - next;
    if (use.option->kind != ValueKind::kPosition) return std::min<std::size_t>(left, 1);
    if (left > 0 && arguments[next].find(',') != std::string::npos) return 1;
    return std::min<std::size_t>(left, 2);
}

// A plain host argument holding a "/" is a host path ("/home/ann", "docs/a", "./x", "../x");
// anything else is passed on, to be resolved in the path space like a typed name.
// One that cannot be translated (relative to a current folder that is gone) is passed on
// as it is, and the parse finds nothing there.
std::string PlainHostArgument(const std::string& argument) {
    if (argument.find('/') == std::string::npos) return argument;
    std::string path = PathFromHost(argument);
    return path.empty() ? argument : path;
}

}  // namespace

int ParseCommandLine(std::string_view commandLine, Settings& settings, RunOptions& options,
                     CommandLineEffects& effects) {
    options = RunOptions{};
    effects = CommandLineEffects{};
    const std::vector<std::string> arguments = SplitArguments(commandLine);
    Parse parse{settings, options, effects, arguments};
    std::string folder;
    bool hasFile = false;
    for (std::size_t index = 0; index < arguments.size(); index = parse.next) {
        const std::string& argument = arguments[index];
        parse.next = index + 1;
        if (argument.starts_with('/')) {
            if (!ApplyOption(parse, argument)) return kCommandLineBadOption;
        } else if (folder.empty()) {
            folder = FolderArgument(argument, settings);
            if (folder.empty()) return kCommandLineBadFolder;
            effects.hasFolder = true;
            effects.folderText = folder;
        } else if (!hasFile) {
            options.OutFileName = FileArgument(argument);
            if (options.OutFileName.empty()) return kCommandLineBadFile;
            hasFile = true;
        } else {
            return kCommandLineBadOption;
        }
    }
    ComputeWidths(settings);
    if (settings.Lines <= 0 || settings.NameWidth <= 0) return kCommandLineTooNarrow;
    if (options.AutoMode && !folder.empty()) {
        options.AutoStart = true;
        options.SilentSave = hasFile;
        options.QuitAfterRun = hasFile;
    }
    return kCommandLineAccepted;
}

std::string CommandLineErrorText(int code, std::string_view commandLine) {
    std::string_view message;
    switch (code) {
        case kCommandLineBadFolder:
            message = "指定された調査フォルダが不正です。";
            break;
        case kCommandLineBadFile:
            message = "指定された保存ファイル名が不正です。";
            break;
        case kCommandLineTooNarrow:
            message = "桁数の指定が狭すぎます。";
            break;
        default:
            message = "起動パラメータに誤りがあります。";
            break;
    }
    std::string text(message);
    text += "\r\n\r\nFolvane [/option] [dir [file]]\r\n（詳しくはヘルプを参照して下さい）\r\n\r\n\"";
    text += commandLine;
    text += '"';
    return text;
}

std::string CommandLineFromHostArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> parts;
    for (std::size_t index = 0; index < arguments.size();) {
        const std::string& argument = arguments[index++];
        if (!IsHostOption(argument)) {
            parts.push_back(PlainHostArgument(argument));
            continue;
        }
        parts.push_back(argument);
        // Option values are never paths to translate: "/FT */x" filters, "/HS a/b" names a template.
        const std::size_t values = ValueCount(argument, arguments, index);
        for (std::size_t value = 0; value < values; ++value)
            parts.push_back(arguments[index++]);
    }
    return JoinArguments(parts);
}

}  // namespace folvane
