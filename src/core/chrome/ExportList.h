#pragma once

#include <string>
#include <vector>

namespace tandu {

class UiServices;

// Writes the URL (line 3) of every definition file into a text file, one per
// line, in listing order. Problems are told to the user, naming the file;
// definition files are only ever read.
class ExportList {
public:
    ExportList(UiServices& ui, std::string definitionsFolder);

    // True when the export file was written. Definition files too short to
    // hold a URL are skipped and reported.
    bool write(const std::string& exportPath);

    const std::vector<std::string>& skipped() const { return skipped_; }

private:
    bool refuse(const std::string& exportPath, const std::string& reason);
    void reportSkipped();

    UiServices& ui_;
    std::string definitionsFolder_;
    std::vector<std::string> skipped_;
};

}  // namespace tandu
