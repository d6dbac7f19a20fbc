#include "transfer/file_transfer.h"

#include "app/program.h"
#include "transfer/transfer_report.h"

// The protocol steps, the mode menu and the reconversion are placeholders
// that do nothing until the block protocol lands.
namespace quillon {

FileTransfer::FileTransfer(Program& program) : p_(program) {}
FileTransfer::~FileTransfer() = default;
void FileTransfer::send_file(const std::string&) {}
void FileTransfer::send_to_line(const std::string& value) { p_.MSComm1.output(value); }
void FileTransfer::receive_file() {}
void FileTransfer::mnumodechat_Click() {}
void FileTransfer::mnumodefile_Click() {}
void FileTransfer::filemodebinary_Click() {}
void FileTransfer::filemodetext_Click() {}
void FileTransfer::transfer_report(int start_time, int end_time, const std::string& file_name, int size) {
    if (auto text = transfer_report_text(start_time, end_time, file_name, size)) p_.message(*text, Icon::none);
}
void FileTransfer::reconvert_file(const std::string&) {}
void FileTransfer::go_offline() {}

} // namespace quillon
