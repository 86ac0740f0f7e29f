// The settings-file reader fed raw file bytes. Whatever the bytes, every numeric field ends in
// the range the reader's field table gives it, the derived widths are those ComputeWidths makes,
// and saving is a fixed point of loading: load(bytes) = r1, save(r1) = b2, load(b2) = r2,
// save(r2) = b3 gives b2 == b3, and r1 == r2 whenever the bytes hold only what the file can
// carry unchanged (see CarriedUnchanged).

#include <string>
#include <string_view>

#include "platform/cp932.h"
#include "settings/char_table.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/settings_invariants.h"

namespace folvane::fuzz {
namespace {

struct Loaded {
    Settings settings;
    CharTable table;
};

Loaded Load(std::string_view bytes) {
    Loaded loaded;
    ReadSettingsText(bytes, loaded.settings, loaded.table);
    return loaded;
}

void RequireFieldsInRange(const Settings& settings) {
    RequireNumbersInRange(settings);
    Require(settings.Version == kSettingsVersion, "a loaded record carries the current layout version");
    RequireComputedWidths(settings);
}

// The file carries every line as it is only when its bytes survive the code page round trip
// (undefined bytes read as U+FFFD, which is written back as "?") and every CR and LF belongs
// to a CR LF line end: a lone one stays inside a value when read, and the writer leaves line
// breaks out of values.
std::string WithoutLoneBreaks(std::string_view bytes) {
    std::string kept;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool paired = (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ||
                            (bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r');
        if ((bytes[i] != '\r' && bytes[i] != '\n') || paired) kept += bytes[i];
    }
    return kept;
}

std::string CarriedForm(std::string_view bytes) {
    return WithoutLoneBreaks(ToCp932(FromCp932(bytes)));
}

bool CarriedUnchanged(std::string_view bytes) {
    return CarriedForm(bytes) == bytes;
}

void CheckFixedPoint(std::string_view bytes) {
    const Loaded r1 = Load(bytes);
    RequireFieldsInRange(r1.settings);
    const std::string b2 = SettingsFileBytes(r1.settings, r1.table);
    Require(b2.size() < kSettingsFileSizeLimit, "a saved file is one the reader takes");
    const Loaded r2 = Load(b2);
    RequireFieldsInRange(r2.settings);
    const std::string b3 = SettingsFileBytes(r2.settings, r2.table);
    RequireEqual(b3, b2, "saving what a saved file loads as gives the same bytes");
    if (CarriedUnchanged(bytes)) {
        Require(r1.settings == r2.settings, "a saved record loads as the same settings",
                [&] { return "first save:\n" + Visible(b2); });
        Require(r1.table == r2.table, "a saved record loads as the same table",
                [&] { return "first save:\n" + Visible(b2); });
    }
}

}  // namespace
}  // namespace folvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace folvane::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckFixedPoint(bytes);
    // The same file in the form it can carry: for it the record itself must survive a save.
    const std::string carried = CarriedForm(bytes);
    if (carried != bytes) CheckFixedPoint(carried);
    return 0;
}
