// The walk's helpers on other threads: checksums of a folder's files, and folders read ahead.
// Neither changes what a listing shows; both only let the second processor wait for the file
// system while the first one works.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "engine/crc32.h"
#include "engine/folder_read.h"

namespace folvane {

namespace {

// Threads beside the run's own one: one per further processor, at most three (a folder's
// files are read from one disk, which more readers would not make faster).
int WorkerCount() {
    const unsigned processors = std::thread::hardware_concurrency();
    return processors < 2 ? 0 : static_cast<int>(std::min(processors - 1, 3u));
}

}  // namespace

// ---- Checksums --------------------------------------------------------------------------------

struct ChecksumPool::Shared {
    std::mutex lock;
    std::condition_variable work;  // workers wait here for a batch
    std::condition_variable done;  // the run's thread waits here for blocks and the end
    const FolderHandle* folder = nullptr;
    std::vector<Job>* jobs = nullptr;
    std::size_t next = 0;    // the next job to take
    int busy = 0;            // workers inside a job
    int64_t blocksRead = 0;  // by the workers, since the batch began
    // The workers' bytes not yet counted in the run state, and their file read last.
    int64_t bytesUncounted = 0;
    int64_t latestRead = 0;
    int64_t latestLength = 0;
    uint64_t batch = 0;             // counts batches, so a worker takes each one once
    std::atomic<bool> stop{false};  // leave the current file: the run is cancelled
    bool closing = false;
    bool useWorkers = true;
    std::vector<std::thread> threads;

    // Takes the next job of the batch under the lock; nullptr when none is left.
    Job* TakeJob() {
        if (jobs == nullptr || next >= jobs->size() || stop) return nullptr;
        return &(*jobs)[next++];
    }
    void WorkerLoop();
};

namespace {

// Checksums one file; afterBlock runs after each block with the bytes the block held, then as
// for Crc32OfOpenFile.
using BlockHook = std::function<bool(int64_t blockBytes, int64_t fileRead, int64_t fileLength)>;
uint32_t Checksum(const FolderHandle& folder, ChecksumPool::Job& job, unsigned char* buffer,
                  const BlockHook& afterBlock, bool& stopped) {
    FileReader file;
    if (!folder.OpenFile(job.name, job.facts, file)) return 0;
    int64_t counted = 0;
    const auto crc = Crc32OfOpenFile(file, buffer, [&](int64_t fileRead, int64_t fileLength) {
        const int64_t blockBytes = fileRead - counted;
        counted = fileRead;
        return afterBlock(blockBytes, fileRead, fileLength);
    });
    stopped = !crc.has_value();
    return crc.value_or(0);
}

}  // namespace

void ChecksumPool::Shared::WorkerLoop() {
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kCrcBlockSize);
    std::unique_lock guard(lock);
    uint64_t seen = 0;
    for (;;) {
        work.wait(guard, [&] { return closing || (batch != seen && jobs != nullptr); });
        if (closing) return;
        seen = batch;
        while (Job* job = TakeJob()) {
            ++busy;
            const FolderHandle& from = *folder;
            guard.unlock();
            bool stopped = false;
            const uint32_t crc = Checksum(
                from, *job, buffer.get(),
                [&](int64_t blockBytes, int64_t fileRead, int64_t fileLength) {
                    {
                        std::lock_guard counting(lock);
                        ++blocksRead;
                        bytesUncounted += blockBytes;
                        latestRead = fileRead;
                        latestLength = fileLength;
                    }
                    done.notify_all();
                    return stop.load();
                },
                stopped);
            guard.lock();
            job->crc = crc;
            --busy;
        }
        done.notify_all();
    }
}

ChecksumPool::ChecksumPool(bool useWorkers) : shared_(std::make_unique<Shared>()) {
    shared_->useWorkers = useWorkers;
}

ChecksumPool::~ChecksumPool() {
    {
        std::lock_guard guard(shared_->lock);
        shared_->closing = true;
    }
    shared_->work.notify_all();
    for (std::thread& thread : shared_->threads)
        thread.join();
}

bool ChecksumPool::Run(const FolderHandle& folder, std::vector<Job>& jobs, RunState& run,
                       const std::function<bool()>& pump) {
    Shared& s = *shared_;
    // The workers start with the first folder that has files to checksum.
    if (s.useWorkers && s.threads.empty() && jobs.size() > 1) {
        try {
            for (int k = WorkerCount(); k > 0; --k)
                s.threads.emplace_back([&s] { s.WorkerLoop(); });
            s.useWorkers = false;  // started once, whatever came of it
        } catch (...) {
            // Fewer threads, or none: the run's thread checksums what they do not.
        }
    }
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kCrcBlockSize);
    std::unique_lock guard(s.lock);
    s.folder = &folder;
    s.jobs = &jobs;
    s.next = 0;
    s.blocksRead = 0;
    s.bytesUncounted = 0;
    s.stop = false;
    ++s.batch;
    s.work.notify_all();
    int64_t pumped = 0;  // of the workers' blocks
    bool cancelled = false;
    // Lets events run once for each block the workers have read since the last time.
    const auto catchUp = [&] {
        while (!cancelled && pumped < s.blocksRead) {
            ++pumped;
            if (s.bytesUncounted > 0) run.CountCrcBlock(s.bytesUncounted, s.latestRead, s.latestLength);
            s.bytesUncounted = 0;
            guard.unlock();
            cancelled = pump();
            guard.lock();
        }
    };
    while (!cancelled) {
        Job* job = s.TakeJob();
        if (job == nullptr) break;
        guard.unlock();
        bool stopped = false;
        job->crc = Checksum(
            folder, *job, buffer.get(),
            [&](int64_t blockBytes, int64_t fileRead, int64_t fileLength) {
                run.CountCrcBlock(blockBytes, fileRead, fileLength);
                cancelled = pump();
                return cancelled;
            },
            stopped);
        guard.lock();
        catchUp();
    }
    if (cancelled) s.stop = true;
    // Waits for the workers' last files, still letting events run as they read.
    while (s.busy > 0) {
        s.done.wait_for(guard, std::chrono::milliseconds(20));
        catchUp();
        if (pumped == s.blocksRead && !cancelled) {
            guard.unlock();
            cancelled = pump();
            guard.lock();
        }
        if (cancelled) s.stop = true;
    }
    s.jobs = nullptr;
    s.folder = nullptr;
    return !cancelled;
}

// ---- Folders read ahead ----------------------------------------------------------------------

struct FolderPrefetch::Shared {
    // Folders read ahead and not yet taken, and the entries they hold: the worker waits when
    // either limit is reached, so memory stays bounded whatever the tree.
    static constexpr std::size_t kMaxReady = 32;
    static constexpr std::size_t kMaxReadyItems = 200'000;

    // A request keeps no folder open: a folder the walk has let go of is not read ahead.
    struct Asked {
        std::weak_ptr<const FolderHandle> parent;
        Request request;
    };

    std::mutex lock;
    std::condition_variable changed;
    std::deque<Asked> queue;
    std::string reading;  // the folder the worker reads now; "" none
    std::unordered_map<std::string, Read> ready;
    std::size_t readyItems = 0;
    bool stopping = false;
    // Who sleeps on `changed`: waking a thread costs a system call, so only a sleeper is woken.
    bool workerWaiting = false;
    int takersWaiting = 0;
    std::thread worker;

    bool HasRoom() const { return ready.size() < kMaxReady && readyItems < kMaxReadyItems; }
    void Work();
    static Read ReadFolderItems(const FolderHandle& parent, const std::string& name);
};

FolderPrefetch::Read FolderPrefetch::Shared::ReadFolderItems(const FolderHandle& parent,
                                                             const std::string& name) {
    Read read;
    auto folder = std::make_shared<FolderHandle>();
    if (!folder->OpenChild(parent, name)) return read;
    read.itemsRead = folder->ReadItems(read.items);
    read.folder = std::move(folder);
    return read;
}

void FolderPrefetch::Shared::Work() {
    std::unique_lock guard(lock);
    for (;;) {
        workerWaiting = true;
        changed.wait(guard, [&] { return stopping || (!queue.empty() && HasRoom()); });
        workerWaiting = false;
        if (stopping) return;
        Asked asked = std::move(queue.front());
        queue.pop_front();
        reading = asked.request.path;
        guard.unlock();
        std::optional<Read> read;
        if (const auto parent = asked.parent.lock()) {
            try {
                read = ReadFolderItems(*parent, asked.request.name);
            } catch (...) {
                // Out of memory: the walk reads this folder itself when it gets there.
            }
        }
        guard.lock();
        if (read) {
            readyItems += read->items.size();
            ready.emplace(asked.request.path, std::move(*read));
        }
        reading.clear();
        if (takersWaiting > 0) changed.notify_all();
    }
}

FolderPrefetch::FolderPrefetch() {
    // One processor gains nothing from a second thread.
    if (WorkerCount() == 0) return;
    try {
        auto shared = std::make_unique<Shared>();
        shared->worker = std::thread([state = shared.get()] { state->Work(); });
        shared_ = std::move(shared);
    } catch (...) {
        // No thread: every folder is read when it is needed.
    }
}

FolderPrefetch::~FolderPrefetch() {
    if (!shared_) return;
    {
        std::lock_guard guard(shared_->lock);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
    shared_->worker.join();
}

void FolderPrefetch::Ask(std::shared_ptr<const FolderHandle> parent, std::vector<Request> subfolders) {
    if (!shared_ || !parent || subfolders.empty()) return;
    bool wake = false;
    {
        std::lock_guard guard(shared_->lock);
        auto& queue = shared_->queue;
        std::vector<Shared::Asked> asked;
        asked.reserve(subfolders.size());
        for (Request& request : subfolders)
            asked.push_back(Shared::Asked{parent, std::move(request)});
        queue.insert(queue.begin(), std::make_move_iterator(asked.begin()),
                     std::make_move_iterator(asked.end()));
        wake = shared_->workerWaiting;
    }
    if (wake) shared_->changed.notify_all();
}

std::optional<FolderPrefetch::Read> FolderPrefetch::Take(const std::string& path) {
    if (!shared_) return std::nullopt;
    std::unique_lock guard(shared_->lock);
    ++shared_->takersWaiting;
    shared_->changed.wait(guard, [&] { return shared_->reading != path; });
    --shared_->takersWaiting;
    const auto found = shared_->ready.find(path);
    if (found == shared_->ready.end()) {
        std::erase_if(shared_->queue, [&](const Shared::Asked& asked) { return asked.request.path == path; });
        return std::nullopt;
    }
    Read read = std::move(found->second);
    shared_->ready.erase(found);
    shared_->readyItems -= read.items.size();
    // A full store may have stopped the worker.
    const bool wake = shared_->workerWaiting;
    guard.unlock();
    if (wake) shared_->changed.notify_all();
    return read;
}

}  // namespace folvane
