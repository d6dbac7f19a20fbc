// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/line.h"
#include "support/forwarding_line.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quillon::testing {

// A Line a test drives by hand: it keeps what the program wrote and hands
// over what the test makes arrive.
class FakeLine : public Line {
public:
    void write(std::string_view bytes) override { written += bytes; }
    void read_available(std::string& into) override {
        into += pending_;
        pending_.clear();
    }
    std::size_t bytes_waiting() override { return pending_.size(); }
    ModemLines modem_lines() override { return lines; }
    void set_dtr(bool on) override {
        dtr = on;
        dtr_history.push_back(on);
    }
    void set_listener(LineListener* listener) override { listener_ = listener; }
    bool set_flow_control(bool on) override {
        if (has_flow_control) rts_cts = on;
        return has_flow_control;
    }

    // Bytes from the modem.
    void arrive(const std::string& bytes) {
        pending_ += bytes;
        if (listener_) listener_->line_readable();
    }
    void error(int code) {
        if (listener_) listener_->line_error(code);
    }
    bool open() const { return listener_ != nullptr; }

    std::string written;
    ModemLines lines{false, true, false};
    bool dtr = false;
    std::vector<bool> dtr_history;
    bool has_flow_control = true; // false: an adapter or a link without RTS/CTS
    bool rts_cts = false;

private:
    std::string pending_;
    LineListener* listener_ = nullptr;
};

// Owned by the program, forwarding to the test's FakeLine.
class FakeLineHandle : public ForwardingLine {
public:
    explicit FakeLineHandle(std::shared_ptr<FakeLine> line) : ForwardingLine(*line), line_(std::move(line)) {}
    ~FakeLineHandle() override { line_->set_listener(nullptr); }

private:
    std::shared_ptr<FakeLine> line_;
};

// Devices the tests can plug in and out; opening hands out the same
// FakeLine for a device each time, kept alive by the test.
class FakeDevices {
public:
    FakeLine& plug(const std::string& device) {
        auto& slot = lines_[device];
        if (!slot) slot = std::make_shared<FakeLine>();
        return *slot;
    }
    void unplug(const std::string& device) { lines_.erase(device); }
    LineOpener opener() {
        return [this](const std::string& device) -> std::unique_ptr<Line> {
            auto it = lines_.find(device);
            if (it == lines_.end()) throw LineError(device + " does not exist");
            if (it->second->open()) throw LineError(device + " is busy");
            return std::make_unique<FakeLineHandle>(it->second);
        };
    }

private:
    std::map<std::string, std::shared_ptr<FakeLine>> lines_;
};

} // namespace quillon::testing
