#include "support/fake_line.h"

namespace quillon::testing {
namespace {

// Owned by the program, forwarding to the test's FakeLine.
class FakeLineHandle : public Line {
public:
    explicit FakeLineHandle(std::shared_ptr<FakeLine> line) : line_(std::move(line)) {}
    ~FakeLineHandle() override { line_->set_listener(nullptr); }
    void write(std::string_view bytes) override { line_->write(bytes); }
    std::string read_available() override { return line_->read_available(); }
    std::size_t bytes_waiting() override { return line_->bytes_waiting(); }
    ModemLines modem_lines() override { return line_->modem_lines(); }
    void set_dtr(bool on) override { line_->set_dtr(on); }
    void set_listener(LineListener* listener) override { line_->set_listener(listener); }

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
