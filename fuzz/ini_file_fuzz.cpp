// Any quillon.ini parses, and a written value always reads back.
#include "app/ini_file.h"
#include "memory_temp.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool in_memory = use_memory_temp();
    static quillon::testing::TempDir dir;
    (void)in_memory;
    const std::string file = dir.file("quillon.ini");
    std::string content(reinterpret_cast<const char*>(data), size);
    dir.write("quillon.ini", content);

    auto port = quillon::read_profile_string(file, "Quillon", "PORTNO.", "DEFAULT", 10);
    if (port.value.size() > 9 || port.length > 9) std::abort();
    quillon::read_profile_section(file, "Ports");

    // A value without blanks at its ends or line breaks is kept exactly.
    std::string value = "v" + std::to_string(size) + "x";
    if (!quillon::write_profile_string(file, "Quillon", "DIALMODE", value)) std::abort();
    if (quillon::read_profile_string(file, "Quillon", "DIALMODE", "DEFAULT", 255).value != value) std::abort();
    if (quillon::read_profile_string(file, "Quillon", "PORTNO.", "DEFAULT", 10).value != port.value) std::abort();
    return 0;
}
