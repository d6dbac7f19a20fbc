#include "transfer/file_transfer.h"

#include "app/program.h"

// Placeholder steps until the block protocol lands: each does nothing.
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
void FileTransfer::transfer_report(int, int, const std::string&, int) {}
void FileTransfer::reconvert_file(const std::string&) {}
void FileTransfer::go_offline() {}

} // namespace quillon
