#pragma once
// The command line: "Folvane [/option] [dir [file]]". Options override settings for this
// start; a folder and an output file may follow; /AUTO asks for a run without questions.

#include <string>
#include <string_view>
#include <vector>

#include "settings/run_options.h"
#include "settings/settings.h"

namespace folvane {

enum CommandLineResult : int {
    kCommandLineAccepted = 0,
    kCommandLineBadOption = -1,  // unknown option, missing or invalid value, third plain argument
    kCommandLineBadFolder = -2,  // the folder argument is no usable existing folder
    kCommandLineBadFile = -3,    // the file argument is no usable file name
    kCommandLineTooNarrow = -4,  // no room left for the name column
};

// What the parse does to the main window besides the settings and the run options.
struct CommandLineEffects {
    bool hasFolder = false;  // folderText goes into the folder field, caret at its end
    std::string folderText;
    bool hasFilter = false;  // filterText goes into the filter field
    std::string filterText;
    bool moveWindow = false;  // move the window to (Left, Top) at once
};

// Applies commandLine (everything after the program name) to settings, options and effects;
// returns a CommandLineResult. options and effects are cleared first. Ends with ComputeWidths.
// On failure the settings changed by options before the failing one stay changed; nothing is
// shown.
int ParseCommandLine(std::string_view commandLine, Settings& settings, RunOptions& options,
                     CommandLineEffects& effects);

// The start-up message for a rejected command line: the message of code (a code that is no
// CommandLineResult gets the message of kCommandLineBadOption), a blank line, the usage line,
// the help note, a blank line and the command line in double quotes; lines end in CR LF.
std::string CommandLineErrorText(int code, std::string_view commandLine);
inline constexpr std::string_view kCommandLineErrorTitle = "Folvane 起動エラー";

// The command-line text of a host's argument vector (without the program name), such that
// SplitArguments gives the arguments back: they are joined by blanks, and one that holds a
// blank, tab, CR, LF or double quote is put in double quotes with its inner quotes doubled (an
// empty argument survives only between two others). Host paths are translated into the path
// space (relative ones against the current folder): an argument that begins with "/" is an
// option unless it holds a second "/", or it is no option keyword and names an existing host
// entry ("/" alone is always an option; "/." names the root); a plain argument that holds "/" is a host path
// ("docs/a",
// "./x"). The values of an option are passed on unchanged ("/FT */x").
std::string CommandLineFromHostArguments(const std::vector<std::string>& arguments);

}  // namespace folvane
