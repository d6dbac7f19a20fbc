// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target's entry over every file of the folders given, as the
// fuzzer would, once each: the committed corpus checked in an ordinary
// build, under whatever sanitizers that build has.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    long inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
            ++inputs;
        }
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
    }
    std::printf("%ld inputs\n", inputs);
    // A corpus that vanished would pass silently otherwise.
    return inputs > 0 ? 0 : 1;
}
