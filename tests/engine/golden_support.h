#pragma once
// Shared by the engine tests: a listing rig over the scripted Ui, small folder trees, CR LF lines,
// a file's bytes.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/tree_body.h"
#include "platform/cp932.h"
#include "render/listing_writer.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace folvane::testing {

struct StringSink final : ByteSink {
    bool Write(std::string_view more) override {
        bytes += more;
        return true;
    }
    std::string bytes;
};

struct StepClock final : Clock {
    std::chrono::milliseconds Now() const override { return now; }
    void Advance(std::chrono::milliseconds by) { now += by; }
    std::chrono::milliseconds now{10000};
};

// Beyond the defaults: half-width tree lines, a name column, then size (exact, 12 cells) and CRC.
struct Look {
    int columns = 40, charType = 0, lines = 1, viewType = 0;
    bool subDirs = true, size = false, crc = false, html = false, fileLink = false, folderLink = false;
};

struct ListingRig {
    ListingRig() {
        SetDefaults(settings);
        SetCharTableDefaults(chars);
    }
    void Apply(const Look& look) {
        settings.AttrFlg = settings.UDateFlg = settings.UTimeFlg = false;
        settings.Columns = static_cast<int16_t>(look.columns);
        settings.CharType = static_cast<int16_t>(look.charType);
        settings.Lines = static_cast<int16_t>(look.lines);
        settings.ViewType = static_cast<int16_t>(look.viewType);
        settings.SubDirSearchFlg = look.subDirs;
        settings.SizeFlg = look.size;
        settings.CRCFlg = look.crc;
        settings.ListType = look.html ? 1 : 0;
        settings.FileLinkFlg = look.fileLink;
        settings.FolderLinkFlg = look.folderLink;
        ComputeWidths(settings);
    }
    // The tree body of folder (a path-space path without the final "\"), listed as the root, as
    // the writer of the settings' form makes it.
    std::string Walk(std::string_view folder, FolderTotals& totals) {
        const auto writer = ListingWriter::For(settings, chars);
        BodyStore store(BodyStore::Backing::kMemory);
        TreeBody(context, *writer, store, "", std::string(folder) + "\\", totals);
        StringSink sink;
        store.WriteTo(sink);
        return FromCp932(sink.bytes);
    }

    Settings settings;
    CharTable chars;
    RunState run;
    ScriptedUi ui{"Folvane"};
    StepClock clock;
    CaptionTimer caption{run, ui, clock};
    ListingContext context{settings, chars, run, ui, caption};
};

// Entries inside dir's folder base: "a/b.txt=text" a file and its content, "a/" a folder, "b" empty.
inline void MakeTree(const TempDir& dir, std::string_view base, const std::vector<std::string>& tree) {
    const std::string lead = base.empty() ? "" : std::string(base) + "/";
    dir.MakeFolder(base);
    for (const std::string& entry : tree) {
        const size_t equals = std::min(entry.find('='), entry.size());
        if (entry.ends_with('/'))
            dir.MakeFolder(lead + entry);
        else
            dir.WriteFile(lead + entry.substr(0, equals), entry.substr(std::min(equals + 1, entry.size())));
    }
}

inline std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// lead followed by i (below 1000) in three digits ("f007").
inline std::string Numbered(int i, std::string_view lead = "f") {
    return std::string(lead) + std::to_string(1000 + i).substr(1);
}

inline std::string Sp(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

}  // namespace folvane::testing
