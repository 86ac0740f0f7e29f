// Display-cell text operations over realistic listing text: file names that mix Japanese
// (double-byte and half-width katakana) with ASCII, the way a folder tree of office documents
// and photos looks. Throughput counts the UTF-8 bytes of the input.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp932.h"
#include "platform/cp932_system.h"
#include "render/text_width.h"

namespace {

constexpr std::size_t kTextBytes = 1 << 20;
// The name column of a default listing.
constexpr int kNameColumnCells = 41;

// Deterministic file names: one to three words, a number and an extension.
std::vector<std::string> ListingNames(std::size_t totalBytes) {
    static const char* const kWords[] = {"ファイル",         "資料",  "報告書",     "会議録_第3回", "写真",
                                         "新しいフォルダー", "ﾃﾞｰﾀ",  "見積書",     "backup",       "IMG_",
                                         "report",           "final", "2024-03-15", "契約書 (控え)"};
    static const char* const kExtensions[] = {".txt", ".xlsx", ".pdf", ".jpg", ".docx", ""};
    std::vector<std::string> names;
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    };
    std::size_t bytes = 0;
    while (bytes < totalBytes) {
        std::string name;
        for (uint32_t w = 0, count = 1 + next(3); w < count; ++w)
            name += kWords[next(std::size(kWords))];
        name += std::to_string(next(10000));
        name += kExtensions[next(std::size(kExtensions))];
        bytes += name.size();
        names.push_back(std::move(name));
    }
    return names;
}

std::string JoinedText(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += name + "  ";
    return text;
}

// StrWidth over one text of 1 MB of names.
void BM_StrWidthMixed(benchmark::State& state) {
    const std::string text = JoinedText(ListingNames(kTextBytes));
    for (auto _ : state)
        benchmark::DoNotOptimize(folvane::StrWidth(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_StrWidthMixed);

// StrWidth over 1 MB of ASCII, the fast path.
void BM_StrWidthAscii(benchmark::State& state) {
    const std::string text(kTextBytes, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(folvane::StrWidth(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_StrWidthAscii);

// FitLeft of every name of 1 MB of listing names into the 41-cell name column: the padding
// and cutting the entry lines of a listing do, one result string per name.
void BM_FitLeftListingNames(benchmark::State& state) {
    const std::vector<std::string> names = ListingNames(kTextBytes);
    std::size_t bytes = 0;
    for (const std::string& name : names)
        bytes += name.size();
    for (auto _ : state) {
        for (const std::string& name : names)
            benchmark::DoNotOptimize(folvane::FitLeft(name, kNameColumnCells));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["names"] = static_cast<double>(names.size());
}
BENCHMARK(BM_FitLeftListingNames);

// What building the code page tables costs at start-up: one question to the system converter
// per code point of the Basic Multilingual Plane and per single byte and lead/trail pair.
void BM_SystemConverterSweep(benchmark::State& state) {
    for (auto _ : state) {
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c < 0xD800 || c > 0xDFFF) benchmark::DoNotOptimize(folvane::SystemCp932Encode(c));
        }
        for (int lead = 0; lead < 256; ++lead) {
            benchmark::DoNotOptimize(folvane::SystemCp932Decode(std::string(1, static_cast<char>(lead))));
            if (!folvane::IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0; trail < 256; ++trail) {
                const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
                benchmark::DoNotOptimize(folvane::SystemCp932Decode(pair));
            }
        }
    }
}
BENCHMARK(BM_SystemConverterSweep)->Unit(benchmark::kMillisecond);

}  // namespace
