// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace quillon {

// Simulated time shared by everything in one test world: the programs and
// the emulated line run on it, and a second lasts no real time at all.
class VirtualTime {
public:
    using Callback = std::function<void()>;
    using EventId = std::uint64_t;

    // Runs the callbacks of the events scheduled with it: a program's loop
    // guards its own, so one program's end stops only that program.
    class Runner {
    public:
        virtual void run(Callback& callback) = 0;

    protected:
        ~Runner() = default;
    };

    double now() const { return now_; }
    EventId schedule(double at, Callback callback, Runner* runner = nullptr);
    // Cancelling an event that has run, or was cancelled, does nothing.
    void cancel(EventId id);
    // Cancels every pending event of a runner.
    void cancel_all(const Runner* runner);

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
    // An id is a sequence number above the slot its event waits in, so a
    // slot used again never answers to an old id. Scenario runs schedule
    // millions of events; nothing here is allocated per event once the
    // slots have grown.
    static constexpr int slot_bits = 24;
    struct Slot {
        EventId id = 0; // 0: free
        Runner* runner = nullptr;
        Callback callback;
    };
    struct Due {
        double at;
        EventId id;
        // Inverted, so the heap's top is the earliest (and, among equals, the first scheduled).
        bool operator<(const Due& other) const { return at != other.at ? at > other.at : id > other.id; }
    };
    static std::size_t slot_of(EventId id) { return static_cast<std::size_t>(id & ((EventId{1} << slot_bits) - 1)); }
    bool pending(EventId id) const { return slots_[slot_of(id)].id == id; }
    void release(std::size_t slot);
    // The earliest pending event, after dropping cancelled ones; null when none.
    const Due* next_due();

    double now_ = 0;
    EventId next_sequence_ = 1;
    // A binary heap of times; a cancelled event leaves its entry until it comes up.
    std::vector<Due> queue_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> free_slots_;
};

// One program's view of a VirtualTime. Its time of day starts at a chosen
// second after midnight. A ProgramEnd thrown by one of its callbacks stops
// only this loop's timers and is recorded, as a real process would just exit.
class VirtualEventLoop : public EventLoop, private VirtualTime::Runner {
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
    void run(Callback& callback) override;

    VirtualTime& time_;
    double start_time_of_day_;
    Handle next_handle_ = 1;
    std::map<Handle, std::shared_ptr<Timer>> timers_;
    int depth_ = 0;
    bool ended_ = false;
};

} // namespace quillon
