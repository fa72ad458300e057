#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "storage/TextFile.h"

namespace tandu {

// A download's definition file. Form 1 (five lines) when added; form 2
// (eight lines, with size, piece size and remainder) once the first answer came. What newer
// builds add follows as "Key: value" lines from line 9 on, which older builds
// never read; a form 1 with such lines has lines 6 to 8 empty. Without extras
// the files are byte for byte what they always were.
struct DefinitionFile {
    static constexpr int kExtrasLine = 9;
    static constexpr const char* kWaiting = "Waiting";
    static constexpr const char* kDownloading = "Downloading";
    // Extras: the download's own speed limit in KB/s, and what its file
    // must hash to ("sha256=HEX"); each written only when set.
    static constexpr const char* kLimitKey = "Limit";
    static constexpr const char* kChecksumKey = "Checksum";
    // Extras of a link a browser handed over: what the browser sends with it.
    static constexpr const char* kReferrer = "Referrer";
    static constexpr const char* kUserAgent = "User-Agent";

    std::string fileName;    // line 1
    std::string state;       // line 2
    std::string url;         // line 3, as given
    std::string saveFolder;  // line 4, ends with "/"
    std::string pieces;      // line 5, the connections text as shown
    std::string size;        // line 6 as stored (form 2)
    std::string pieceSize;   // line 7
    std::string remainder;   // line 8
    // Lines 9 on, by key; a key holds no ':' and no value a line break.
    std::map<std::string, std::string> extras;
    int lineCount = 0;       // lines the file held when read, extras included

    // Nothing when the file cannot be read; missing lines read as empty.
    static std::optional<DefinitionFile> read(const std::string& path);

    // " 12345 ": the number with a blank in its sign position and one after.
    static std::string numberLine(std::int64_t value);

    std::vector<std::string> form1Lines() const;
    // Form 2 with the state "Downloading" and the three numbers.
    std::vector<std::string> form2Lines(std::int64_t fileSize, std::int64_t pieceSizeBytes,
                                        std::int64_t remainderBytes) const;

    // Each replaces the whole file; false (with the system's reason) on failure.
    static bool writeForm1(const std::string& path, const std::string& name, const std::string& url,
                           const std::string& folder, const std::string& pieces,
                           std::string* reason = nullptr);
    bool writeForm2(const std::string& path, std::int64_t fileSize, std::int64_t pieceSizeBytes,
                    std::int64_t remainderBytes, std::string* reason = nullptr) const;
    // The same, staged: see textfile::stageLinesAtomically.
    std::optional<std::function<bool(std::string*)>> stageForm2(const std::string& path,
                                                                std::int64_t fileSize,
                                                                std::int64_t pieceSizeBytes,
                                                                std::int64_t remainderBytes,
                                                                std::string* reason) const;
    // Sets (or, with an empty value, removes) one extra line of the file at
    // `path`, which keeps its form and every other line.
    static bool setExtra(const std::string& path, const std::string& key, const std::string& value,
                         std::string* reason = nullptr);

private:
    void appendExtras(std::vector<std::string>& lines) const;
};

}  // namespace tandu
