// The command line. Whatever the text, ParseCommandLine answers with one of its five result
// codes, leaves every numeric setting in the range the settings file allows, and an accepted
// parse leaves a usable record (room for the name column, a folder that exists, run options
// that agree with each other). The parse is a function of the text: a second parse of the same
// text decides the same. The input split at NUL bytes is also a list of arguments that
// JoinArguments and SplitArguments must carry through unchanged.
//
// Folder and file arguments touch the file system. Drive Z: (where the process's current
// folder lives), drive C: and the share \\srv\share are mapped onto one small temporary tree,
// so every lookup stays inside it.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_space.h"
#include "settings/command_line.h"
#include "settings/path_utils.h"
#include "settings/settings_file.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/settings_invariants.h"

namespace folvane::fuzz {
namespace {

namespace fs = std::filesystem;

// A few folders and files, Japanese and hidden names among them.
void FillFolder(const fs::path& folder) {
    for (const char* name : {"Data/sub", "Data/Con", "資料/議事録", ".hidden", "a b"})
        fs::create_directories(folder / name);
    for (const char* name : {"Data/a.txt", "資料/予算.csv", "file.txt"})
        std::ofstream(folder / name) << "x";
}

void MakeTree() {
    const fs::path root = MakeScratchFolder("command-line");
    // The process's current folder, seen on Z:, exists inside the tree too, so relative
    // arguments resolve there.
    const fs::path current = fs::current_path().relative_path();
    for (const fs::path& folder : {root, root / current, root / "c", root / "share"}) {
        fs::create_directories(folder);
        FillFolder(folder);
    }
    MapDriveForTesting('Z', root.string());
    MapDriveForTesting('C', (root / "c").string());
    MapShareForTesting("srv", "share", (root / "share").string());
}

struct Outcome {
    int code = 0;
    Settings settings;
    RunOptions options;
    CommandLineEffects effects;
};

Outcome Parse(std::string_view commandLine) {
    Outcome outcome;
    SetDefaults(outcome.settings);
    SetHistoryDefaults(outcome.settings);
    outcome.code = ParseCommandLine(commandLine, outcome.settings, outcome.options, outcome.effects);
    return outcome;
}

void RequireSettingsInRange(const Settings& settings) {
    RequireNumbersInRange(settings);
    Require(!settings.HtmlName.empty(), "the template name is never made empty");
}

// A path the parse hands on is absolute and normalised: a drive part, then "\" and components
// none of which is empty or made of dots only.
void RequireFullPath(const std::string& path, std::string_view what) {
    const std::string drive = DrivePart(path);
    const std::string_view rest = std::string_view(path).substr(drive.size());
    const auto proper = [](const std::string& component) {
        return component.find_first_not_of('.') != std::string::npos;  // neither empty nor dots only
    };
    const std::vector<std::string> components = SplitPath(rest.substr(std::min<std::size_t>(rest.size(), 1)));
    Require(!drive.empty() && rest.starts_with('\\') && !HasReservedName(path) &&
                std::all_of(components.begin(), components.end(), proper),
            what, [&] { return Visible(path); });
}

void RequireAccepted(const Outcome& o) {
    const Settings& s = o.settings;
    Require(s.Lines > 0 && s.NameWidth > 0, "an accepted parse leaves room for the name column");
    RequireComputedWidths(s);
    if (o.effects.hasFolder) {
        RequireFullPath(o.effects.folderText, "the folder is a full path");
        Require(IsFolder(o.effects.folderText), "the folder exists",
                [&] { return Visible(o.effects.folderText); });
    }
    if (!o.options.OutFileName.empty()) {
        RequireFullPath(o.options.OutFileName, "the output file is a full path");
        Require(!IsFolder(o.options.OutFileName), "the output file names no folder");
        Require(o.effects.hasFolder, "an output file comes after a folder");
    }
    Require(o.options.AutoStart == (o.options.AutoMode && o.effects.hasFolder),
            "an automatic start needs the automatic mode and a folder");
    const bool silent = o.options.AutoStart && !o.options.OutFileName.empty();
    Require(o.options.SilentSave == silent && o.options.QuitAfterRun == silent,
            "a silent save and the end after the run come with an automatic start and a file");
}

void CheckParse(std::string_view commandLine) {
    const Outcome o = Parse(commandLine);
    Require(o.code >= kCommandLineTooNarrow && o.code <= kCommandLineAccepted,
            "the result is one of the codes", [&] { return std::to_string(o.code); });
    RequireSettingsInRange(o.settings);
    Require(o.effects.hasFolder == !o.effects.folderText.empty(), "a folder effect carries a folder");
    Require(o.effects.hasFilter == !o.effects.filterText.empty(), "a filter effect carries a filter");
    if (o.code == kCommandLineAccepted) {
        RequireAccepted(o);
    } else {
        Require(!o.options.AutoStart && !o.options.SilentSave, "a rejected command line starts nothing");
        const std::string message = CommandLineErrorText(o.code, commandLine);
        Require(message.ends_with("\"" + std::string(commandLine) + "\""),
                "the error message ends with the command line in quotes");
    }
    const Outcome again = Parse(commandLine);
    Require(again.code == o.code && again.settings == o.settings &&
                again.effects.folderText == o.effects.folderText &&
                again.options.OutFileName == o.options.OutFileName,
            "a second parse of the same text decides the same");
}

// What survives a join and a split: an empty argument has no text of its own, so one at either
// end is lost with the blanks around it.
std::vector<std::string> WithoutEmptyEnds(std::vector<std::string> arguments) {
    while (!arguments.empty() && arguments.back().empty())
        arguments.pop_back();
    std::size_t first = 0;
    while (first < arguments.size() && arguments[first].empty())
        ++first;
    arguments.erase(arguments.begin(), arguments.begin() + static_cast<std::ptrdiff_t>(first));
    return arguments;
}

std::string Listed(const std::vector<std::string>& arguments) {
    std::string text;
    for (const auto& argument : arguments)
        text += "[" + Visible(argument) + "]";
    return text;
}

void RequireRoundTrip(const std::vector<std::string>& arguments, std::string_view what) {
    const std::string joined = JoinArguments(arguments);
    const std::vector<std::string> split = SplitArguments(joined);
    const std::vector<std::string> expected = WithoutEmptyEnds(arguments);
    if (split != expected)
        Fail(what, "joined:   " + Visible(joined) + "\nsplit:    " + Listed(split) +
                       "\nexpected: " + Listed(expected));
}

void CheckArguments(std::string_view input) {
    std::vector<std::string> pieces;
    Input rest(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    while (!rest.Empty())
        pieces.emplace_back(rest.Piece('\0'));
    RequireRoundTrip(pieces, "joined arguments split into the same arguments");
    RequireRoundTrip(SplitArguments(input), "split arguments joined and split again stay the same");

    // Host arguments without "/" are neither options nor host paths: they are joined as they are.
    const bool plain = input.find('/') == std::string_view::npos;
    if (plain) {
        RequireEqual(CommandLineFromHostArguments(pieces), JoinArguments(pieces),
                     "plain host arguments are joined unchanged");
    }
}

}  // namespace
}  // namespace folvane::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folvane::fuzz::MakeTree();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    folvane::fuzz::CheckParse(input);
    folvane::fuzz::CheckArguments(input);
    return 0;
}
