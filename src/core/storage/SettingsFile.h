#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tandu {

// config.cfg: "1.0", the default connections, the default folder and the
// buffer size per connection ("512KB"), one per line; then the number of
// downloads "Download all" runs at once, a later addition that older builds
// never read; then, from line 6 on, "Key=value" lines for what newer builds
// added (line 5 is written whenever one follows). Read anew at every use.
class SettingsFile {
public:
    static constexpr const char* kMarker = "1.0";
    static constexpr const char* kDefaultConnections = "4";
    static constexpr const char* kDefaultBuffer = "512KB";
    static constexpr std::int64_t kDefaultBufferBytes = 512 * 1000;
    static constexpr int kMostSimultaneous = 32;
    // The speed limit for all downloads together, KB/s; written only when set.
    static constexpr const char* kLimitKey = "Limit";

    // Lines 2 to 4 as stored (untrimmed); a line the file lacks is nothing.
    struct Values {
        std::optional<std::string> connections;
        std::optional<std::string> folder;
        std::optional<std::string> buffer;
        std::optional<std::string> simultaneous;
        // Lines 6 on, by key.
        std::map<std::string, std::string> extras;
    };

    using Extras = std::map<std::string, std::string>;

    // What the dialogs offer: lines 2 to 4 trimmed, the defaults standing in
    // for a line 2 or 4 that is missing or not a usable number.
    struct Defaults {
        bool fromFile = false;  // the file exists and carries the marker
        std::string connections = kDefaultConnections;
        std::string folder;
        std::string buffer = kDefaultBuffer;
        int simultaneous = 1;
        Extras extras;
    };

    // Nothing when the file is missing or its line 1 (trimmed) is not "1.0".
    static std::optional<Values> read(const std::string& path);
    static Defaults defaults(const std::string& path);
    // Replaces the file with the lines exactly as given; refuses a value
    // holding a line break, which would shift every later line. Without a
    // number of simultaneous downloads the file's own stays, and so do its
    // extras without extras given.
    static bool write(const std::string& path, const std::string& connections,
                      const std::string& folder, const std::string& buffer,
                      std::string* reason = nullptr);
    static bool write(const std::string& path, const std::string& connections,
                      const std::string& folder, const std::string& buffer, int simultaneous,
                      std::string* reason = nullptr);
    static bool write(const std::string& path, const std::string& connections,
                      const std::string& folder, const std::string& buffer, int simultaneous,
                      const Extras& extras, std::string* reason = nullptr);
    // Downloads at once, 1 to 32: 1 for a file without a usable line 5.
    static int simultaneous(const std::string& path);

    // Bytes per connection from a line 4 such as "512KB": the number before the
    // last two characters, times 1000. Nothing when that is not a whole number
    // from 1 to kLargestBufferKB: a larger buffer would hold whole files in memory.
    static std::optional<std::int64_t> bufferBytes(const std::string& line4);
    static constexpr std::int64_t kLargestBufferKB = 65536;
    // The KB/s of a stored limit; 0 (none) for a missing or unreadable one.
    static std::int64_t limitOf(const Extras& extras);
    // A connections text that names 1 to 16 connections.
    static bool usableConnections(const std::string& text);
};

}  // namespace tandu
