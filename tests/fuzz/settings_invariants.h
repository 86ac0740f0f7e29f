#pragma once
// Invariants of a settings record that more than one harness checks.

#include <string>

#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace folvane::fuzz {

// Every numeric field lies in the range the settings file's reader keeps it in.
inline void RequireNumbersInRange(const Settings& settings) {
    for (const SettingsNumberRange& range : SettingsNumberRanges()) {
        const int value = settings.*range.number;
        Require(value >= range.lowest && value <= range.highest, "a number lies in its field's range",
                [&] { return std::string(range.key) + std::to_string(value); });
    }
}

// NameWidth and SizeWidth are those ComputeWidths derives from the other fields.
inline void RequireComputedWidths(const Settings& settings) {
    Settings recomputed = settings;
    ComputeWidths(recomputed);
    Require(recomputed.NameWidth == settings.NameWidth && recomputed.SizeWidth == settings.SizeWidth,
            "the derived widths are those of ComputeWidths");
}

}  // namespace folvane::fuzz
