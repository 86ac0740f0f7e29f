// CRC-32 throughput: in memory by each method and by zlib's crc32 for comparison, and over files
// in the page cache through FileCrc32 (which adds the block reads and one event pump per 102,400
// bytes).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/crc32.h"
#include "engine/crc32_methods.h"
#include "platform/path_space.h"

namespace {

using folvane::Crc32Update;

class QuietUi final : public folvane::UiPort {
  public:
    folvane::MsgAnswer ShowMessage(const folvane::MessageRequest&) override { return folvane::MsgAnswer::Ok; }
    folvane::FileChooserResult ChooseSaveFile(const folvane::FileChooserRequest&) override { return {}; }
    folvane::FileChooserResult ChooseOpenFile(const folvane::FileChooserRequest&) override { return {}; }
    std::string ChooseFolder(const std::string&, const std::string&, uint32_t) override { return ""; }
    std::string WindowCaption() const override { return ""; }
    void SetWindowCaption(const std::string&) override {}
    void OpenWithAssociatedProgram(const std::string&) override {}
    void Beep() override {}
    void PumpEvents() override { ++pumps; }
    int64_t pumps = 0;
};

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    uint32_t x = 2463534242u;
    for (auto& b : bytes) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        b = static_cast<unsigned char>(x);
    }
    return bytes;
}

// A file in /tmp made at first use and removed when the program ends.
class TempFile {
  public:
    // size bytes of pattern; when sparse, a hole of size bytes followed by "123456789".
    TempFile(int64_t size, bool sparse) {
        std::string name = "/tmp/folvane-bench-XXXXXX";
        const int fd = mkstemp(name.data());
        if (fd < 0) return;
        bool ok = true;
        if (sparse) {
            ok = pwrite(fd, "123456789", 9, size) == 9;
        } else {
            const auto chunk = Pattern(1 << 20);
            for (int64_t done = 0; ok && done < size; done += static_cast<int64_t>(chunk.size())) {
                ok = write(fd, chunk.data(), chunk.size()) == static_cast<ssize_t>(chunk.size());
            }
        }
        ok = close(fd) == 0 && ok;
        host_ = name;
        if (ok) path_ = folvane::PathFromHost(host_);
    }
    ~TempFile() {
        if (!host_.empty()) unlink(host_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // The path-space path; "" when the file could not be made.
    const std::string& path() const { return path_; }

  private:
    std::string host_;
    std::string path_;
};

// Times update(crc, data, size) over state.range(0) bytes.
template <typename Update>
void TimeUpdates(benchmark::State& state, Update update) {
    const auto data = Pattern(static_cast<std::size_t>(state.range(0)));
    uint32_t crc = 0;
    for (auto _ : state) {
        crc = update(crc, data.data(), data.size());
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void TimeMethod(benchmark::State& state, folvane::Crc32Method method) {
    if (!folvane::Crc32MethodAvailable(method)) {
        state.SkipWithError("not available on this processor");
        return;
    }
    TimeUpdates(state, [method](uint32_t crc, const unsigned char* data, std::size_t size) {
        return folvane::Crc32UpdateBy(method, crc, data, size);
    });
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(16)->Arg(64)->Arg(256)->Arg(4096)->Arg(102'400)->Arg(16 << 20);
}

// The method the program runs.
void BM_Crc32Update(benchmark::State& state) {
    TimeUpdates(state, [](uint32_t crc, const unsigned char* data, std::size_t size) {
        return Crc32Update(crc, data, size);
    });
}
BENCHMARK(BM_Crc32Update)->Apply(Sizes);

void BM_Crc32SlicedTables(benchmark::State& state) {
    TimeMethod(state, folvane::Crc32Method::SlicedTables);
}
BENCHMARK(BM_Crc32SlicedTables)->Apply(Sizes);

void BM_Crc32CarrylessMultiply(benchmark::State& state) {
    TimeMethod(state, folvane::Crc32Method::CarrylessMultiply);
}
BENCHMARK(BM_Crc32CarrylessMultiply)->Apply(Sizes);

// zlib's crc32 as the system has it, the yardstick for the methods above.
void BM_Crc32Zlib(benchmark::State& state) {
    TimeUpdates(state, [](uint32_t crc, const unsigned char* data, std::size_t size) {
        return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
    });
}
BENCHMARK(BM_Crc32Zlib)->Apply(Sizes);

// The one-table loop, one look-up per byte: the yardstick for the sliced tables.
void BM_Crc32OneTableBaseline(benchmark::State& state) {
    static const auto table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i;
            for (int k = 0; k < 8; ++k)
                r = (r >> 1) ^ ((r & 1u) != 0 ? 0xEDB88320u : 0u);
            t[i] = r;
        }
        return t;
    }();
    const auto data = Pattern(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        uint32_t reg = 0xFFFFFFFFu;
        for (unsigned char b : data)
            reg = (reg >> 8) ^ table[(reg ^ b) & 0xFFu];
        benchmark::DoNotOptimize(reg);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Crc32OneTableBaseline)->Arg(102'400);

void BM_FileCrc32PageCache256MB(benchmark::State& state) {
    constexpr int64_t kSize = int64_t{256} << 20;
    static TempFile file(kSize, false);
    if (file.path().empty()) {
        state.SkipWithError("cannot write the file in /tmp");
        return;
    }
    QuietUi ui;
    folvane::RunState run;
    const uint32_t expected = [&] {
        const auto chunk = Pattern(1 << 20);
        uint32_t crc = 0;
        for (int64_t done = 0; done < kSize; done += static_cast<int64_t>(chunk.size())) {
            crc = Crc32Update(crc, chunk.data(), chunk.size());
        }
        return crc;
    }();
    benchmark::DoNotOptimize(folvane::FileCrc32(file.path(), ui, run));  // into the page cache
    for (auto _ : state) {
        const uint32_t crc = folvane::FileCrc32(file.path(), ui, run);
        if (crc != expected) state.SkipWithError("wrong checksum");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
    state.counters["pumps/iter"] =
        benchmark::Counter(static_cast<double>(ui.pumps) / (state.iterations() + 1));
}
BENCHMARK(BM_FileCrc32PageCache256MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// A sparse file past 4 GiB, read whole once: the length must stay a 64-bit count all the way.
void BM_FileCrc32Sparse4GiB(benchmark::State& state) {
    constexpr int64_t kHole = int64_t{1} << 32;
    static TempFile file(kHole, true);
    if (file.path().empty()) {
        state.SkipWithError("cannot write the file in /tmp");
        return;
    }
    QuietUi ui;
    folvane::RunState run;
    const std::vector<unsigned char> zeros(1 << 20);
    uint32_t expected = 0;
    for (int64_t done = 0; done < kHole; done += static_cast<int64_t>(zeros.size())) {
        expected = Crc32Update(expected, zeros.data(), zeros.size());
    }
    expected = Crc32Update(expected, "123456789", 9);
    for (auto _ : state) {
        if (folvane::FileCrc32(file.path(), ui, run) != expected) state.SkipWithError("wrong checksum");
    }
    state.SetBytesProcessed(state.iterations() * (kHole + 9));
}
BENCHMARK(BM_FileCrc32Sparse4GiB)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
