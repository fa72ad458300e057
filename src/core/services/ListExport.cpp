#include "services/ListExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "storage/TextFile.h"
#include "transfer/DownloadList.h"

namespace fs = std::filesystem;

namespace tandu {

namespace {

constexpr int kUrlLine = 3;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A fresh file beside the export file; the export replaces its target only
// once complete, so neither a failure nor a hard link to the target can
// leave half a file behind or change another file.
FilePtr createTemporary(const std::string& exportPath, std::string& temporaryPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = exportPath + ".export" + std::to_string(attempt) + ".tmp";
        errno = 0;
        if (std::FILE* file = std::fopen(temporaryPath.c_str(), "wbx")) {
            return FilePtr(file);
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return nullptr;
}

ListExport::Outcome refuse(const std::string& exportPath, const std::string& reason) {
    return {false, UserMessage{"The list could not be exported to " + exportPath + ": " + reason,
                               "Error", MsgIcon::Critical}};
}

}  // namespace

ListExport::Outcome ListExport::write(const std::string& exportPath,
                                      const std::function<void()>& step) {
    skipped_.clear();
    std::error_code error;
    fs::path folder = fs::path(exportPath).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    // A file written among the definitions could replace one of them or
    // become a download of its own at the next start.
    if (fs::equivalent(folder, downloads_.setup().definitionsFolder(), error)) {
        return refuse(exportPath,
                      "it lies in the definitions folder, which holds the downloads' own files.");
    }
    // Only a regular file is ever replaced: renaming over a link, a device or
    // a pipe would destroy what it is, not write to it.
    const fs::file_status status = fs::symlink_status(exportPath, error);
    if (fs::is_directory(status)) {
        return refuse(exportPath, "it is a folder.");
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return refuse(exportPath,
                      "it is not a regular file (a link, a device or a pipe is left as it is).");
    }
    if (fs::exists(status)) {
        // Replacing a file the user may not write would go behind their back.
        FilePtr probe(std::fopen(exportPath.c_str(), "ab"));
        if (!probe) {
            return refuse(exportPath, std::strerror(errno));
        }
    }
    std::string temporaryPath;
    FilePtr out = createTemporary(exportPath, temporaryPath);
    if (!out) {
        return refuse(exportPath, std::strerror(errno));
    }

    int failure = 0;
    for (int row = 0; row < downloads_.count(); ++row) {
        const std::string& path = downloads_.at(row).definitionPath();
        const auto lines = textfile::readLines(path, textfile::kDefinitionLimit);
        std::error_code gone;
        if (!lines) {
            // Gone meanwhile (a download finished): no longer a download.
            if (fs::exists(path, gone)) {
                skipped_.push_back(path);
            }
        } else if (lines->size() < kUrlLine) {
            skipped_.push_back(path);
        } else {
            const std::string line = (*lines)[kUrlLine - 1] + "\r\n";
            if (std::fwrite(line.data(), 1, line.size(), out.get()) != line.size()) {
                failure = errno;
                break;
            }
        }
        if (step) {
            step();
        }
    }
    if (std::fclose(out.release()) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure != 0) {
        std::remove(temporaryPath.c_str());
        return refuse(exportPath, std::strerror(failure));
    }
    fs::rename(temporaryPath, exportPath, error);
    if (error) {
        const std::string reason = error.message();
        std::remove(temporaryPath.c_str());
        return refuse(exportPath, reason);
    }
    if (skipped_.empty()) {
        return {true, std::nullopt};
    }
    std::string text = "These definition files hold no URL line and were left out of the export:";
    for (const std::string& path : skipped_) {
        text += "\r\n" + path;
    }
    return {true, UserMessage{text, "Error", MsgIcon::Critical}};
}

}  // namespace tandu
