#pragma once

#include <string>
#include <vector>

namespace tandu {

class DownloadList;
class UiServices;

// Writes the URL (line 3) of every download of a list into a text file, one
// per line, in the list's order. Problems are told to the user, naming the
// file; definition files are only ever read.
class ExportList {
public:
    ExportList(UiServices& ui, const DownloadList& downloads);

    // True when the export file was written. Definition files too short to
    // hold a URL are skipped and reported.
    bool write(const std::string& exportPath);

    const std::vector<std::string>& skipped() const { return skipped_; }

private:
    bool refuse(const std::string& exportPath, const std::string& reason);
    void reportSkipped();

    UiServices& ui_;
    const DownloadList& downloads_;
    std::vector<std::string> skipped_;
};

}  // namespace tandu
