// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace quillon {

// Text that several holders keep at once without a copy of it.
using SharedText = std::shared_ptr<const std::string>;

// Something that shows parts of line_buffer without a copy of them (the
// call's conversation): when line_buffer is emptied, it is offered the text
// it referred to.
class LineBufferSharer {
public:
    virtual bool refers_to_line_buffer() const = 0;
    virtual void line_buffer_let_go(const SharedText& text) = 0;

protected:
    ~LineBufferSharer() = default;
};

} // namespace quillon
