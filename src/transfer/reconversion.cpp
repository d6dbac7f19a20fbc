// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/reconversion.h"

#include "base/hex_codec.h"
#include "transfer/replacing_file.h"

#include <cstdio>
#include <fstream>

namespace quillon {

namespace {
// A failure of the conversion, with the number shown to the user.
struct ConversionFailure {
    int code;
};
constexpr int file_not_found = 53;
constexpr int device_io_error = 57;
constexpr int path_file_access_error = 75;
constexpr std::size_t chunk_size = 4096;
} // namespace

Reconversion::Reconversion(EventLoop& loop, Dialogs& dialogs, Media& media, const FileLocations& files,
                           MainForm& form, ConvertForm& convert_form, CallEvents& events, SerialControl& line,
                           CommHandler& comm_handler, Dialler& dialler)
    : loop_(loop), dialogs_(dialogs), media_(media), files_(files), form_(form), convert_form_(convert_form),
      events_(events), line_(line), comm_handler_(comm_handler), dialler_(dialler) {
    convert_form_.on_close = [this] { close_window(); };
}

void Reconversion::reconvert_file(const std::string& destination) {
    bool offline = dialogs_.ask_yes_no("File download complete.File must be converted"
                                         ".This will take time.Would you like to go offline"
                                         "and then reconvert?");
    if (offline) events_.call_ended(CallEnd::went_offline);
    if (offline) go_offline();
    else line_.output("Receiver::Conversion in progress.Please wait!");
    std::int64_t bad_pairs = 0;
    events_.converting(true);
    try {
        bad_pairs = convert(files_.spool_file(), destination);
    } catch (const ConversionFailure& failure) {
        events_.converting(false);
        dialogs_.message(std::to_string(failure.code) + "Unspecified error! Cannot complete conversion.", Icon::stop);
        return;
    }
    // To the peer only: an idle modem would take it as a command line.
    if (comm_handler_.call_up() && line_.cd_holding()) line_.output("Receiver::Conversion complete.");
    close_window();
    events_.converting(false);
    // One box for the whole file: a damaged line can spoil thousands of pairs.
    if (bad_pairs > 0)
        dialogs_.message("Unexpected Error! Cannot continue. " + std::to_string(bad_pairs) +
                             (bad_pairs == 1 ? " pair" : " pairs") +
                             " of digits came damaged; the bytes they stand for are wrong in the saved file.",
                         Icon::stop);
    dialogs_.message("Conversion complete!", Icon::information);
}

std::int64_t Reconversion::convert(const std::string& spool, const std::string& destination) {
    std::ifstream conv_src_file(spool, std::ios::binary);
    if (!conv_src_file) throw ConversionFailure{file_not_found};
    conv_src_file.seekg(0, std::ios::end);
    std::streamoff length = conv_src_file.tellg();
    conv_src_file.seekg(0);
    if (length < 0 || !conv_src_file) throw ConversionFailure{device_io_error};
    // Replaced only when the conversion is through: a failure leaves an
    // existing destination as it was.
    ReplacingFile conv_dst_file;
    if (!conv_dst_file.open(destination)) throw ConversionFailure{path_file_access_error};

    Frmconvert_Load();
    convert_form_.set_visible(true);
    ProgressBar& bar = convert_form_.ProgressBar1;
    bar.set_max(static_cast<double>(length));
    bar.set_min(0);
    bar.set_value(0);
    loop_.process_pending_events();

    std::int64_t bad_pairs = 0;
    std::string chunk(chunk_size, '\0');
    std::string bytes;
    bytes.reserve(chunk_size / 2 + 1);
    std::streamoff done = 0;
    while (done < length) {
        loop_.process_pending_events();
        std::streamoff left = length - done;
        auto n = static_cast<std::size_t>(left >= static_cast<std::streamoff>(chunk_size) ? chunk_size : left);
        if (!conv_src_file.read(chunk.data(), static_cast<std::streamsize>(n))) throw ConversionFailure{device_io_error};
        bytes.clear();
        bad_pairs += static_cast<std::int64_t>(append_hex_values(bytes, std::string_view(chunk).substr(0, n)));
        if (!conv_dst_file.write(bytes)) throw ConversionFailure{device_io_error};
        done += static_cast<std::streamoff>(n);
        bar.set_value(bar.value() + static_cast<double>(n));
    }
    conv_src_file.close();
    if (!conv_dst_file.commit()) throw ConversionFailure{device_io_error};
    if (std::remove(spool.c_str()) != 0) throw ConversionFailure{path_file_access_error};
    return bad_pairs;
}

void Reconversion::go_offline() { dialler_.drop_call(); }

void Reconversion::Frmconvert_Load() {
    std::string animation = files_.program_file("images\\filecopy.avi");
    // Without a playable animation the window still shows, and the main
    // window stays usable.
    if (!media_.can_play_animation(animation)) return;
    convert_form_.Animation1.play(animation);
    form_.set_enabled(false);
}

void Reconversion::Frmconvert_Unload() {
    convert_form_.Animation1.stop();
    form_.set_enabled(true);
}

void Reconversion::close_window() {
    convert_form_.set_visible(false);
    Frmconvert_Unload();
}

} // namespace quillon
