#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {

class Program;

// MSComm1_OnComm: the only reader of the line. Keeps its pattern searches
// and the copy into rx_buffer proportional to what arrived, not to the
// whole conversation.
class CommHandler {
public:
    explicit CommHandler(Program& program) : p_(program) {}

    void MSComm1_OnComm();

private:
    void receive();
    void append_arrival(const std::string& arrived);
    void empty_line_buffer();
    bool line_buffer_has(std::string_view pattern, bool ignore_case = false) const;
    bool rx_buffer_has(std::string_view marker) const;
    void show_line_buffer();

    Program& p_;
    // line_buffer searches only look at text from here on; earlier text is
    // known not to hold the patterns that matter.
    std::size_t searched_up_to_ = 0;
    bool seen_ok_ = false;
    // rx_buffer is line_buffer's copy while its size matches this.
    std::size_t rx_mirror_size_ = std::string::npos;
    std::size_t rx_searched_up_to_ = 0;
    // txtreceived shows line_buffer while its revision is this one.
    unsigned long shown_revision_ = 0;
    std::size_t shown_size_ = 0;
    bool showing_line_buffer_ = false;
};

} // namespace quillon
