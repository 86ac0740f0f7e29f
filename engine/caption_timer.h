#pragma once
// The debounced window caption that shows which folder a run is reading. A request only
// records the caption and restarts a 100 ms count; the caption changes when 100 ms pass
// without a newer request, so a quick succession of folders never redraws the window and a
// folder that takes longer shows up. Window-system neutral: the front end calls Tick() from
// its own timer (and the walk reaches it through PumpEvents); time comes from a Clock.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/run_state.h"
#include "platform/ui_port.h"

namespace folvane {

// What leads the caption while a run names the folder it reads: "Folvane  -  " and the folder.
inline constexpr std::string_view kCaptionLead = "Folvane  -  ";

// A monotonic time source, in milliseconds from an arbitrary origin.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::chrono::milliseconds Now() const = 0;
};

// Clock over std::chrono::steady_clock.
class SteadyClock final : public Clock {
  public:
    std::chrono::milliseconds Now() const override;
};

class CaptionTimer {
  public:
    static constexpr std::chrono::milliseconds kInterval{100};

    // The timer starts stopped: nothing changes the caption before the first request. run,
    // ui and clock must outlive the timer.
    CaptionTimer(RunState& run, UiPort& ui, const Clock& clock);
    CaptionTimer(const CaptionTimer&) = delete;
    CaptionTimer& operator=(const CaptionTimer&) = delete;

    // Stores caption in run.PendingCaption and restarts the 100 ms count.
    void SetPendingCaption(std::string caption);

    // Called after every restart, so a front end can arm its own timer to call Tick() when due.
    void SetRestartHook(std::function<void()> hook) { restartHook_ = std::move(hook); }

    // When the timer runs and 100 ms have passed since the last request: stops the timer and
    // sets the window caption to run.PendingCaption unless the window already shows it.
    // Otherwise does nothing. Cheap; may be called as often as the caller likes.
    void Tick();

    bool IsRunning() const { return running_; }

    // Time left until a Tick() would act: zero when due; nullopt while the timer is stopped.
    std::optional<std::chrono::milliseconds> TimeUntilDue() const;

  private:
    RunState& run_;
    UiPort& ui_;
    const Clock& clock_;
    bool running_ = false;
    std::chrono::milliseconds startedAt_{0};
    std::function<void()> restartHook_;
};

}  // namespace folvane
