#include "FuzzFile.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const auto lines = textfile::readLines(fuzz::storedFile(data, size), textfile::kListLimit);
    if (!lines) {
        __builtin_trap();  // a small regular file always reads
    }
    for (const std::string& line : *lines) {
        if (!textfile::trim(line).empty() && !textfile::hasControlCharacter(line)) {
            SafeDownloadName(line);
        }
    }
    return 0;
}
