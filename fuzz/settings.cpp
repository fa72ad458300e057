#include "FuzzFile.h"
#include "storage/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const std::string& path = fuzz::storedFile(data, size);
    SettingsFile::defaults(path);
    if (const auto values = SettingsFile::read(path); values && values->buffer) {
        SettingsFile::bufferBytes(*values->buffer);
    }
    return 0;
}
