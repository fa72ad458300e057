#include "FuzzFile.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"
#include "services/DownloadAdder.h"
#include "net/Url.h"
#include "platform/Checksum.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tandu;
    const std::string url = fuzz::text(data, size);
    const std::string name = SafeDownloadName(url);
    // A name the row shows as it is, that stays within one file-name component.
    if (name.empty() || name != textfile::trim(name) || name == "." || name == ".." ||
        name.find('/') != std::string::npos || name.size() > 240) {
        __builtin_trap();
    }
    const std::string numbered = DownloadAdder::numberedName(name, static_cast<int>(size) + 2);
    if (numbered.size() > 240 || numbered.find('/') != std::string::npos) {
        __builtin_trap();
    }
    // A checksum in the fragment goes whole, and only it.
    const std::string bare = Checksum::withoutChecksumFragment(url);
    if (Checksum::fromUrl(url) ? url.compare(0, bare.size(), bare) != 0 || Checksum::fromUrl(bare)
                               : bare != url) {
        __builtin_trap();
    }
    net::Url::parse(url);
    return 0;
}
