#pragma once

#include <string>
#include <string_view>

namespace quillon {

class Program;

// The in-band block protocol: sender and receiver steps, the Operating Mode
// menu, the report and the reconversion of a binary-form reception.
class FileTransfer {
public:
    explicit FileTransfer(Program& program);
    ~FileTransfer();

    void send_file(const std::string& path);
    void send_to_line(const std::string& value);
    void receive_file();

    void mnumodechat_Click();
    void mnumodefile_Click();
    void filemodebinary_Click();
    void filemodetext_Click();

    void transfer_report(int start_time, int end_time, const std::string& file_name, int size);
    void reconvert_file(const std::string& destination);
    void go_offline();

private:
    Program& p_;
};

} // namespace quillon
