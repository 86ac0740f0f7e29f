#pragma once
// The program's name, version and own file, shared by every desktop front end.

#include <string>
#include <string_view>

namespace folvane {

// The product name of this build; each build names the platform it runs on.
extern const std::string_view kProductName;
inline constexpr std::string_view kCopyrightNotice = "Copyright (C) 2026 Folvane developers";
inline constexpr std::string_view kVersionDialogTitle = "バージョン情報";

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 8;
inline constexpr int kVersionRevision = 0;

// " Version major.minor", with ".revision" appended only when revision is not 0.
std::string VersionText(int major, int minor, int revision);

// The running program's own file in the path space, for the context-menu entry and Setup;
// "" when it cannot be found out.
std::string OwnProgramPath();

}  // namespace folvane
