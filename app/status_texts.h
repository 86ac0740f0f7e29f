#pragma once
// The main window's texts that change with a run: the Exec button's captions and the status
// line's progress, shared by every desktop front end.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/listing_run.h"
#include "engine/run_state.h"

namespace folvane {

// The Exec button: "実行" with its access key before the first run, "実行" when a run has
// ended, "中断" while a run goes on (a click then cancels it). "&" marks the access key.
inline constexpr std::string_view kExecCaption = "実行(&E)";
inline constexpr std::string_view kExecIdleCaption = "実行";
inline constexpr std::string_view kCancelCaption = "中断";

// The counts of a run: "フォルダ 1,234 ・ ファイル 56,789".
std::string ProgressText(int64_t folders, int64_t files);

// A byte count in a status line: "512 B", then one decimal of KB, MB, GB or TB (1,024-based).
std::string StatusBytesText(int64_t bytes);

// The status line during a run: the counts, then what the checksums have read: while a file is
// read, its bytes read of its length and the run's total ("・ CRC 1.2 GB / 4.0 GB (計 5.3 GB)"),
// between files the total ("・ CRC 計 5.3 GB"); nothing of it before the first checksum block.
std::string RunProgressText(const RunState& run);

// The status line after a run: where the listing went ("保存先: /home/ann/Workのリスト.txt"), or
// "" when nothing was saved.
std::string RunEndText(const ListingResult& result);

}  // namespace folvane
