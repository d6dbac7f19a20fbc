#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace quillon {

class Program;

// The receiving half of the block protocol: one step per end-of-block
// marker, appending each payload to the output file as it comes.
class FileReceiver {
public:
    explicit FileReceiver(Program& program) : p_(program) {}

    void receive_file();
    void call_lost();

private:
    std::string_view payload() const;
    void opening_step();
    void length_step();
    void name_step();
    void form_step();
    void text_data_step();
    void binary_data_step();
    void store(std::string_view payload);
    void finish_reception();
    void abandon();
    void close_output();

    Program& p_;
    std::string rx_filename;
    std::ofstream rx_file;
    std::int64_t rx_location_ = 0;
    int rx_length = 0;
    int rx_block_size = 0;
};

} // namespace quillon
