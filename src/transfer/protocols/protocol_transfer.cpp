// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/protocol_transfer.h"

#include "transfer/destination_check.h"
#include "transfer/download_folder.h"
#include "transfer/protocols/folder_files.h"
#include "transfer/protocols/xmodem_receiver.h"
#include "transfer/protocols/xmodem_sender.h"
#include "transfer/protocols/zmodem_receiver.h"
#include "transfer/protocols/zmodem_sender.h"
#include "transfer/transfer_frames.h"
#include "transfer/transfer_report.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <unistd.h>

namespace quillon {

namespace {

constexpr FileForm forms[] = {FileForm::zmodem, FileForm::ymodem, FileForm::xmodem};

std::string protocol_name(FileForm form) {
    std::string name(form_word(form));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name;
}

// A ZRQINIT hex header begins so: the pad, ZDLE, 'B' and the type 00.
constexpr std::string_view zrqinit_start = "*\x18"
                                           "B00";

std::string cancel_bytes() { return std::string(5, '\x18') + std::string(5, '\b'); }

bool writable_folder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

// A folder sink that never takes a name of one of the program's own files.
class GuardedSink : public FileSink {
public:
    GuardedSink(const std::string& folder, bool keep_partials, std::function<bool(const std::string&)> is_own)
        : sink_(folder, keep_partials), folder_(folder), is_own_(std::move(is_own)) {}

    std::unique_ptr<IncomingFile> open(const IncomingHeader& header) override {
        if (is_own_(path_of(header.name))) return nullptr;
        return sink_.open(header);
    }
    std::string path_of(const std::string& offered) const { return folder_ + "/" + safe_file_name(offered); }
    const std::vector<std::string>& received() const { return sink_.received(); }

private:
    FolderSink sink_;
    std::string folder_;
    std::function<bool(const std::string&)> is_own_;
};

} // namespace

struct ProtocolTransfer::Session {
    FileForm form = FileForm::none;
    TransferDirection direction = TransferDirection::sending;
    std::vector<std::string> paths; // sending: the local files, in order
    std::unique_ptr<GuardedSink> sink; // receiving
    std::unique_ptr<TransferEngine> engine;
    double began = 0; // the engine's clock starts here
    bool call_gone = false;
    bool file_open = false;
    int files_told = 0;
    std::string last_finished;
    TransferInfo info;
    int file_start = 0;
    std::vector<std::string> reports;

    EngineTime clock(double monotonic) const { return static_cast<EngineTime>((monotonic - began) * 1000); }
};

ProtocolTransfer::ProtocolTransfer(EventLoop& loop, Dialogs& dialogs, MainForm& form, SharedState& state,
                                   SerialControl& line, CallEvents& events, std::function<bool()> own_transfer_running,
                                   std::function<bool(const std::string&)> is_own_file)
    : loop_(loop), dialogs_(dialogs), form_(form), state_(state), line_(line), events_(events),
      own_transfer_running_(std::move(own_transfer_running)), is_own_file_(std::move(is_own_file)),
      stall_watch_(loop, [this](int seconds) { tell_stall(seconds); }) {}

ProtocolTransfer::~ProtocolTransfer() {
    *alive_ = false;
    if (timer_) loop_.stop_timer(timer_);
}

bool ProtocolTransfer::is_protocol_form(FileForm form) {
    return std::find(std::begin(forms), std::end(forms), form) != std::end(forms);
}

MenuItem* ProtocolTransfer::item_of(FileForm form) {
    if (form == FileForm::zmodem) return &form_.filemodezmodem;
    if (form == FileForm::ymodem) return &form_.filemodeymodem;
    if (form == FileForm::xmodem) return &form_.filemodexmodem;
    return nullptr;
}

void ProtocolTransfer::untick_forms() {
    for (FileForm f : forms) item_of(f)->set_checked(false);
}

void ProtocolTransfer::choose_form(FileForm form) {
    state_.file_mode = form;
    form_.mnumodechat.set_checked(false);
    form_.filemodebinary.set_checked(false);
    form_.filemodetext.set_checked(false);
    for (FileForm f : forms) item_of(f)->set_checked(f == form);
    state_.current_mode = OperatingMode::file_transfer;
    // A cancelled dialog keeps the files chosen before.
    std::vector<std::string> names;
    if (form == FileForm::ymodem) names = dialogs_.open_files(file_dialog_filter);
    else if (auto name = dialogs_.open_file(file_dialog_filter, "")) names = {*name};
    if (names.empty()) return;
    chosen_ = names;
    state_.send_filename = names.front();
}

bool ProtocolTransfer::send() {
    if (!is_protocol_form(state_.file_mode)) return false;
    // "File Transfer" may have chosen another file since the form's dialog.
    std::vector<std::string> paths = !chosen_.empty() && chosen_.front() == state_.send_filename
                                         ? chosen_
                                         : std::vector{state_.send_filename};
    // Only YMODEM's dialog chooses several.
    if (state_.file_mode != FileForm::ymodem) paths.resize(1);
    send_files(std::move(paths));
    return true;
}

bool ProtocolTransfer::send_files(std::vector<std::string> paths) {
    if (running() || paths.empty()) return false;
    auto s = std::make_unique<Session>();
    s->form = state_.file_mode;
    s->paths = std::move(paths);
    if (s->form == FileForm::xmodem) s->paths.resize(1);
    std::vector<OutgoingFile> files;
    for (const std::string& path : s->paths) {
        auto file = file_to_send(path);
        if (!file) {
            dialogs_.message("The file " + path + " cannot be read.", Icon::stop);
            return false;
        }
        files.push_back(std::move(*file));
    }
    if (s->form == FileForm::zmodem) s->engine = std::make_unique<ZmodemSender>(std::move(files));
    else
        s->engine = std::make_unique<XmodemSender>(std::move(files), s->form == FileForm::ymodem
                                                                         ? XmodemSender::Variant::ymodem
                                                                         : XmodemSender::Variant::xmodem);
    start(std::move(s));
    return true;
}

void ProtocolTransfer::receive_chosen() {
    if (running() || own_transfer_running_()) {
        dialogs_.message("A transfer is under way.", Icon::information);
        return;
    }
    if (state_.connected != 1) {
        dialogs_.message("There is no call to receive files over.", Icon::information);
        return;
    }
    start_receiving(state_.file_mode == FileForm::xmodem ? FileForm::xmodem : FileForm::ymodem);
}

std::optional<std::string> ProtocolTransfer::receiving_folder() {
    if (!folder_.empty() && writable_folder(folder_)) return folder_;
    asking_ = true;
    std::string answer = dialogs_.input_box("Files received with ZMODEM, YMODEM or XMODEM go into this folder:",
                                            "Quillon", quillon::download_folder());
    asking_ = false;
    if (answer.empty()) return std::nullopt;
    if (!writable_folder(answer)) {
        dialogs_.message("Files cannot be saved in " + answer + ".", Icon::stop);
        return std::nullopt;
    }
    return folder_ = answer;
}

bool ProtocolTransfer::start_receiving(FileForm form) {
    auto s = std::make_unique<Session>();
    s->form = form;
    s->direction = TransferDirection::receiving;
    std::string folder, name;
    if (form == FileForm::xmodem) {
        // XMODEM carries no name: the user gives one.
        asking_ = true;
        auto path = dialogs_.save_file(file_dialog_filter, in_download_folder(""));
        asking_ = false;
        if (!path) return false;
        if (std::string problem = destination_problem(*path); !problem.empty()) {
            dialogs_.message(problem, Icon::stop);
            return false;
        }
        std::filesystem::path chosen(*path);
        folder = chosen.parent_path().string();
        name = chosen.filename().string();
        if (folder.empty()) folder = ".";
    } else if (auto into = receiving_folder()) {
        folder = *into;
    } else {
        return false;
    }
    // Only ZMODEM can go on with a partial file, so only it keeps one.
    s->sink = std::make_unique<GuardedSink>(folder, form == FileForm::zmodem, is_own_file_);
    if (form == FileForm::zmodem) s->engine = std::make_unique<ZmodemReceiver>(*s->sink);
    else if (form == FileForm::ymodem) s->engine = std::make_unique<XmodemReceiver>(*s->sink);
    else s->engine = std::make_unique<XmodemReceiver>(*s->sink, name);
    start(std::move(s));
    return true;
}

void ProtocolTransfer::refuse_session() { line_.output(cancel_bytes()); }

void ProtocolTransfer::start(std::unique_ptr<Session> session) {
    session->began = loop_.monotonic();
    session_ = std::move(session);
    tail_.clear();
    const std::string name = protocol_name(session_->form);
    state_.current_mode = OperatingMode::file_transfer;
    state_.file_mode = session_->form;
    form_.mnumodechat.set_checked(false);
    form_.mnumode.set_enabled(false);
    form_.cmdsend.set_enabled(false);
    form_.cmdcan.set_enabled(true);
    ProgressBar& bar = form_.ProgressBar1;
    bar.set_min(0);
    bar.set_max(100);
    bar.set_value(0);
    bar.set_visible(true);
    form_.txtreceived.set_text(session_->direction == TransferDirection::sending ? "Sending with " + name + "..."
                                                                                 : "Receiving with " + name + "...");
    timer_ = loop_.start_timer(tick_ms, [this] { step(); });
    stall_watch_.waiting();
    step();
}

ArrivalShare ProtocolTransfer::take_arrival(const std::string& bytes) {
    if (session_) {
        TransferEngine& engine = *session_->engine;
        engine.set_time(session_->clock(loop_.monotonic()));
        const std::size_t read = engine.receive(bytes);
        // After a cancel or a failure the rest is the peer's noise.
        const std::size_t taken = engine.state() == EngineState::succeeded ? read : bytes.size();
        stall_watch_.waiting();
        step();
        return {0, taken};
    }
    // Under our own question the line's bytes have nowhere to go.
    if (asking_) return {0, bytes.size()};
    if (state_.connected != 1 || own_transfer_running_()) {
        tail_.clear();
        return {};
    }
    // Looked for in the arrival itself and across its join with the last
    // one: nothing the size of an arrival is copied on the chat's path.
    const std::size_t keep = zrqinit_start.size() - 1;
    std::string edge = tail_;
    edge.append(bytes, 0, std::min(bytes.size(), keep));
    const std::size_t at = bytes.find(zrqinit_start);
    const bool across_join = edge.find(zrqinit_start) != std::string::npos;
    if (at == std::string::npos && !across_join) {
        if (bytes.size() >= keep) tail_.assign(bytes, bytes.size() - keep, keep);
        else tail_ = edge.substr(edge.size() - std::min(edge.size(), keep));
        return {};
    }
    tail_.clear();
    // The peer's words before the request (and its pads) are seen before
    // the session takes the line; the rest of the arrival comes back here.
    if (!across_join) {
        std::size_t words = at;
        while (words > 0 && bytes[words - 1] == '*') --words;
        if (words > 0) return {words, 0};
    }
    if (!start_receiving(FileForm::zmodem)) refuse_session();
    return {0, bytes.size()};
}

void ProtocolTransfer::cancel() {
    if (!session_) return;
    session_->engine->cancel();
    step();
}

void ProtocolTransfer::call_ended(CallEnd) {
    if (!session_) return;
    session_->call_gone = true;
    finish();
}

void ProtocolTransfer::step() {
    // A report or a message may run the loop; its ticks wait.
    if (!session_ || stepping_) return;
    stepping_ = true;
    session_->engine->set_time(session_->clock(loop_.monotonic()));
    write_output();
    follow_files();
    stepping_ = false;
    if (!session_->engine->running()) finish();
}

void ProtocolTransfer::write_output() {
    // Without a carrier the modem takes bytes as commands; the call's end
    // is noticed soon and ends the session.
    if (!line_.cd_holding()) return;
    const std::size_t queued = line_.out_buffer_count();
    if (queued >= line_ahead) return;
    std::string out = session_->engine->take_output(line_ahead - queued);
    if (!out.empty()) line_.output(out);
}

void ProtocolTransfer::follow_files() {
    Session& s = *session_;
    const EngineProgress& p = s.engine->progress();
    while (s.files_told < p.files_done) {
        if (!s.file_open) start_file();
        file_over(TransferOutcome::complete, "");
        ++s.files_told;
        s.last_finished = p.file;
    }
    if (!s.file_open && s.engine->running() && !p.file.empty() && (p.files_done == 0 || p.file != s.last_finished))
        start_file();
    if (!s.file_open) return;
    const auto total = static_cast<std::int64_t>(p.total.value_or(0));
    const auto done = static_cast<std::int64_t>(p.done);
    if (total > 0) form_.ProgressBar1.set_value(100.0 * static_cast<double>(std::min(done, total)) / total);
    events_.transfer_progress(done, total);
}

void ProtocolTransfer::start_file() {
    Session& s = *session_;
    const EngineProgress& p = s.engine->progress();
    std::string local = s.direction == TransferDirection::sending
                            ? s.paths[std::min<std::size_t>(s.files_told, s.paths.size() - 1)]
                            : s.sink->path_of(p.file);
    s.info = {s.direction, local, s.form, static_cast<std::int64_t>(p.total.value_or(0))};
    s.file_start = static_cast<int>(loop_.time_of_day());
    s.file_open = true;
    events_.transfer_started(s.info);
}

void ProtocolTransfer::file_over(TransferOutcome outcome, const std::string& detail) {
    Session& s = *session_;
    if (!s.file_open) return;
    s.file_open = false;
    TransferInfo info = s.info;
    const EngineProgress& p = s.engine->progress();
    if (outcome == TransferOutcome::complete) {
        // Several files may have ended since the last step: this one is the
        // first of them not yet told.
        const auto told = static_cast<std::size_t>(s.files_told);
        if (s.sink && told < s.sink->received().size()) info.file_name = s.sink->received()[told];
        info.size = static_cast<std::int64_t>(p.total.value_or(p.done));
        auto text = transfer_report_text(s.file_start, static_cast<int>(loop_.time_of_day()), info.file_name,
                                         static_cast<int>(info.size));
        if (text) s.reports.push_back(*text + "\r\nprotocol : " + protocol_name(s.form));
    }
    events_.transfer_ended(info, outcome, detail);
}

void ProtocolTransfer::finish() {
    Session& s = *session_;
    loop_.stop_timer(timer_);
    timer_ = 0;
    stall_watch_.stop();
    const std::string name = protocol_name(s.form);
    if (!s.call_gone) {
        // The last acknowledgement, "OO" or the cancel still to go.
        std::string rest = s.engine->take_output(std::numeric_limits<std::size_t>::max());
        if (!rest.empty()) line_.output(rest);
    }
    std::string text;
    TransferOutcome outcome = TransferOutcome::abandoned;
    if (s.call_gone) {
        text = "The call ended before the " + name + " transfer was over.";
        outcome = TransferOutcome::failed;
    } else {
        switch (s.engine->state()) {
        case EngineState::succeeded: {
            const int n = s.engine->progress().files_done;
            text = name + ": " + std::to_string(n) + (n == 1 ? " file " : " files ") +
                   (s.direction == TransferDirection::sending ? "sent." : "received.");
            break;
        }
        case EngineState::cancelled_by_peer: text = "The other side cancelled the " + name + " transfer."; break;
        case EngineState::cancelled_by_us: text = "The " + name + " transfer was cancelled."; break;
        case EngineState::failed:
        case EngineState::running:
            outcome = TransferOutcome::failed;
            text = "The " + name + " transfer failed." + (s.engine->reason().empty() ? "" : " " + s.engine->reason());
            break;
        }
    }
    file_over(outcome, text);
    std::vector<std::string> reports = std::move(s.reports);
    session_.reset();

    form_.ProgressBar1.set_visible(false);
    state_.current_mode = OperatingMode::chat;
    form_.mnumodechat.set_checked(true);
    form_.mnumode.set_enabled(true);
    form_.cmdsend.set_enabled(state_.connected == 1);
    form_.txtreceived.set_text(text);
    if (reports.empty()) return;
    // Shown from the loop: the step that ended the session may be the
    // line's own handler.
    std::string joined;
    for (const std::string& r : reports) joined += (joined.empty() ? "" : "\r\n\r\n") + r;
    loop_.post([this, joined, alive = alive_] {
        if (*alive) dialogs_.message(joined, Icon::none);
    });
}

void ProtocolTransfer::tell_stall(int seconds) {
    if (!session_) return stall_watch_.stop();
    form_.txtreceived.set_text("No data from the other side for " + std::to_string(seconds) +
                               " s; the cancel button ends the transfer.");
}

} // namespace quillon
