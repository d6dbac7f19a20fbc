#include "transfer/file_transfer.h"

#include "app/program.h"
#include "transfer/transfer_report.h"

namespace quillon {

FileTransfer::FileTransfer(Program& program)
    : p_(program), sender_(program), receiver_(program), mode_menu_(program), reconversion_(program) {}

void FileTransfer::transfer_report(int start_time, int end_time, const std::string& file_name, int size) {
    if (auto text = transfer_report_text(start_time, end_time, file_name, size)) p_.message(*text, Icon::none);
}

} // namespace quillon
