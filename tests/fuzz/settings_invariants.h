#pragma once
// Invariants of a settings record that more than one harness checks.

#include <string>

#include "settings/settings.h"
#include "settings/settings_fields.h"
#include "tests/fuzz/fuzz_support.h"

namespace folvane::fuzz {

// Every numeric field lies in the range the settings file's reader keeps it in.
inline void RequireNumbersInRange(const Settings& settings) {
    for (const SettingsField& field : kSettingsFields) {
        if (field.kind != FieldKind::kNumber) continue;
        const int value = settings.*field.number;
        Require(field.range.Contains(value), "a number lies in its field's range",
                [&] { return std::string(field.name) + "=" + std::to_string(value); });
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
