#pragma once

namespace quillon {

class Program;

// The carrier and readiness checks run by Timer1.
class LineSupervision {
public:
    explicit LineSupervision(Program& program) : p_(program) {}

    void check_carrier();
    void check_modem_ready();

private:
    Program& p_;
};

} // namespace quillon
