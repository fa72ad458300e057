#include "dialogs/DownloadAdder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "catalogue/DefinitionFile.h"
#include "catalogue/DownloadRows.h"
#include "catalogue/FileNames.h"
#include "shell/frmMain.h"
#include "shell/modMain.h"

namespace tandu {

namespace {

// The same bound SafeDownloadName keeps, so ".def.tmp" still fits a file name.
constexpr std::size_t kMaxNameBytes = 240;
constexpr std::size_t kMaxExtensionBytes = 16;
constexpr auto kPaintInterval = std::chrono::milliseconds(30);
constexpr int kPaintEvery = 64;  // adds between two chances to paint, however fast they go

bool present(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

DownloadAdder::DownloadAdder(frmMain& main)
    : main_(main),
      definitions_(main.app().definitionsFolder()),
      lastPaint_(std::chrono::steady_clock::now()) {
    const ListView& rows = main_.lstDown;
    taken_.reserve(static_cast<std::size_t>(rows.rowCount()) * 2 + 16);
    for (int row = 0; row < rows.rowCount(); ++row) {
        taken_.insert(rows.text(row));
    }
}

std::string DownloadAdder::numberedName(const std::string& name, int number) {
    const std::string suffix = " (" + std::to_string(number) + ")";
    const std::size_t dot = name.rfind('.');
    std::string stem = name;
    std::string extension;
    if (dot != std::string::npos && dot > 0 && name.size() - dot <= kMaxExtensionBytes) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    const std::size_t room = kMaxNameBytes - suffix.size() - extension.size();
    if (stem.size() > room) {
        stem.resize(room);
    }
    return stem + suffix + extension;
}

bool DownloadAdder::taken(const std::string& name) const {
    if (taken_.count(name) != 0) {
        return true;
    }
    const std::string definition = DefinitionPath(definitions_, name);
    return present(definition) || present(ProgressPathFor(definition));
}

std::string DownloadAdder::freeName(const std::string& name) {
    if (!taken(name)) {
        return name;
    }
    // Carries on from the last number handed out, so a run of equal names stays linear.
    int& number = nextNumber_.try_emplace(name, 2).first->second;
    for (;; ++number) {
        std::string candidate = numberedName(name, number);
        if (!taken(candidate)) {
            ++number;
            return candidate;
        }
    }
}

void DownloadAdder::fail(const std::string& reason) {
    std::error_code error;
    if (!std::filesystem::is_directory(definitions_, error)) {
        failure_ = "Downloads cannot be added: the folder " + definitions_ + " does not exist.";
    } else {
        failure_ = "Downloads cannot be added: no definition file can be written in the folder " +
                   definitions_ + " (" + reason + ").";
    }
}

bool DownloadAdder::add(const std::string& url, const std::string& folder,
                        const std::string& connections) {
    std::string name;
    std::string path;
    for (;;) {
        name = freeName(SafeDownloadName(url));
        path = DefinitionPath(definitions_, name);
        // Claims the name first, so a download added meanwhile by another
        // process is never written over.
        std::FILE* claim = std::fopen(path.c_str(), "wbx");
        if (claim != nullptr) {
            std::fclose(claim);
            break;
        }
        if (errno != EEXIST) {
            fail(std::strerror(errno));
            return false;
        }
        taken_.insert(name);
    }
    std::string reason;
    if (!DefinitionFile::writeForm1(path, name, url, folder, connections, &reason)) {
        std::remove(path.c_str());
        fail(reason);
        return false;
    }
    taken_.insert(name);
    AddDownloadRow(main_.lstDown, main_.numbers(), path);
    ++added_;
    return true;
}

void DownloadAdder::keepWindowPainting() {
    const auto now = std::chrono::steady_clock::now();
    if (++sincePaint_ >= kPaintEvery || now - lastPaint_ >= kPaintInterval) {
        sincePaint_ = 0;
        main_.app().platform().ui.processPendingEvents();
        lastPaint_ = std::chrono::steady_clock::now();
    }
}

}  // namespace tandu
