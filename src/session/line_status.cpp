// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/line_status.h"

#include "base/shared_state.h"
#include "modem/serial_control.h"
#include "session/auto_redial.h"
#include "session/status_model.h"

namespace quillon {

void LineStatus::read(StatusReading& r) {
    const SharedState& state = state_;
    r.port_open = comm_.port_open();
    r.modem_ready = state.modem_ready == 1;
    r.port = comm_.comm_port();
    if (!r.port_open) device_port_ = 0;
    else if (device_port_ != r.port) {
        device_port_ = r.port;
        device_ = comm_.device_of(r.port);
    }
    if (r.port_open) r.device = device_;
    else r.device.clear();
    r.dtr = r.port_open && comm_.dtr_enable();
    r.dsr = comm_.dsr_holding();
    r.dcd = comm_.cd_holding();
    r.ri = comm_.ri_holding();
    r.dial_mode = state.dial_mode;
    if (redial_.countdown().active) r.redial = redial_countdown_text(redial_.countdown());
    else r.redial.clear();
    r.operating_mode = mode_word(state.current_mode);
    if (state.current_mode == OperatingMode::file_transfer) {
        r.form = form_word(state.file_mode);
        r.send_file = state.send_filename;
    } else {
        r.form.clear();
        r.send_file.clear();
    }
}

} // namespace quillon
