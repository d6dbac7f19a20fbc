#pragma once

#include "app/event_loop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quillon {

// Simulated time shared by everything in one test world: the programs and
// the emulated line run on it, and a second lasts no real time at all.
class VirtualTime {
public:
    using Callback = std::function<void()>;
    using EventId = std::uint64_t;

    double now() const { return now_; }
    EventId schedule(double at, Callback callback);
    void cancel(EventId id);

    // Runs every event due by now; true when any ran.
    bool run_due();
    // Moves the clock to the next event (no further than limit) and runs
    // what is due there; false when nothing is scheduled before limit.
    bool advance(double limit);
    void run_for(double seconds);
    // Runs events until done() holds or the clock passes now + max_seconds;
    // returns done().
    bool run_until(const std::function<bool()>& done, double max_seconds);

private:
    struct Due {
        double at;
        EventId id;
        // Inverted, so the heap's top is the earliest (and, among equals, the first scheduled).
        bool operator<(const Due& other) const { return at != other.at ? at > other.at : id > other.id; }
    };
    // The earliest pending event, after dropping cancelled ones; null when none.
    const Due* next_due();

    double now_ = 0;
    EventId next_id_ = 1;
    // A binary heap of times; a cancelled event leaves its entry until it comes up.
    std::vector<Due> queue_;
    std::unordered_map<EventId, Callback> pending_;
};

// One program's view of a VirtualTime. Its time of day starts at a chosen
// second after midnight. A ProgramEnd thrown by one of its callbacks stops
// only this loop's timers and is recorded, as a real process would just exit.
class VirtualEventLoop : public EventLoop {
public:
    explicit VirtualEventLoop(VirtualTime& time, double start_time_of_day = 12 * 3600.0);
    ~VirtualEventLoop() override;

    double time_of_day() override;
    double monotonic() override { return time_.now(); }
    Handle start_timer(int interval_ms, Callback callback) override;
    void stop_timer(Handle timer) override;
    Handle watch_readable(int fd, Callback callback) override;
    void unwatch(Handle watch) override;
    void post(Callback callback) override;
    void process_pending_events() override;
    void wait_for_events(double max_seconds) override;

    bool ended() const { return ended_; }
    // Stops every timer and posted callback of this loop.
    void shut_down();

private:
    struct Timer {
        double interval;
        Callback callback;
        VirtualTime::EventId next = 0;
    };
    void arm(Handle handle);
    void run_guarded(const Callback& callback);

    VirtualTime& time_;
    double start_time_of_day_;
    Handle next_handle_ = 1;
    std::map<Handle, std::shared_ptr<Timer>> timers_;
    std::unordered_set<VirtualTime::EventId> posted_;
    int depth_ = 0;
    bool ended_ = false;
};

} // namespace quillon
