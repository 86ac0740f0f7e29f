#pragma once
// The main window's texts that change with a run: the Exec button's captions and the status
// line's progress, shared by every desktop front end.

#include <cstdint>
#include <string>
#include <string_view>

namespace folvane {

// The Exec button: "実行" with its access key before the first run, "実行" when a run has
// ended, "中断" while a run goes on (a click then cancels it). "&" marks the access key.
inline constexpr std::string_view kExecCaption = "実行(&E)";
inline constexpr std::string_view kExecIdleCaption = "実行";
inline constexpr std::string_view kCancelCaption = "中断";

// The status line during a run: "フォルダ 1,234 ・ ファイル 56,789".
std::string ProgressText(int64_t folders, int64_t files);

}  // namespace folvane
