#include "engine/caption_timer.h"

#include <utility>

namespace folvane {

std::chrono::milliseconds SteadyClock::Now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

CaptionTimer::CaptionTimer(RunState& run, UiPort& ui, const Clock& clock)
    : run_(run), ui_(ui), clock_(clock) {}

void CaptionTimer::SetPendingCaption(std::string caption) {
    run_.PendingCaption = std::move(caption);
    running_ = true;
    startedAt_ = clock_.Now();
    if (restartHook_) restartHook_();
}

void CaptionTimer::Tick() {
    if (!running_ || clock_.Now() - startedAt_ < kInterval) return;
    running_ = false;
    // Setting an equal caption would still repaint the title bar on some window systems.
    if (ui_.WindowCaption() != run_.PendingCaption) ui_.SetWindowCaption(run_.PendingCaption);
}

std::optional<std::chrono::milliseconds> CaptionTimer::TimeUntilDue() const {
    if (!running_) return std::nullopt;
    const auto elapsed = clock_.Now() - startedAt_;
    // A tick that comes late finds the timer overdue; that is zero, never a negative wait.
    return elapsed >= kInterval ? std::chrono::milliseconds{0} : kInterval - elapsed;
}

}  // namespace folvane
