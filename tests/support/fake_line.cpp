// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fake_line.h"

#include "support/forwarding_line.h"

namespace quillon::testing {
namespace {

// Owned by the program, forwarding to the test's FakeLine.
class FakeLineHandle : public ForwardingLine {
public:
    explicit FakeLineHandle(std::shared_ptr<FakeLine> line) : ForwardingLine(*line), line_(std::move(line)) {}
    ~FakeLineHandle() override { line_->set_listener(nullptr); }

private:
    std::shared_ptr<FakeLine> line_;
};

} // namespace

LineOpener FakeDevices::opener() {
    return [this](const std::string& device) -> std::unique_ptr<Line> {
        auto it = lines_.find(device);
        if (it == lines_.end()) throw LineError(device + " does not exist");
        if (it->second->open()) throw LineError(device + " is busy");
        return std::make_unique<FakeLineHandle>(it->second);
    };
}

} // namespace quillon::testing
