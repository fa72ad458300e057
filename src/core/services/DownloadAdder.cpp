#include "services/DownloadAdder.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "storage/CookieFile.h"
#include "storage/DefinitionFile.h"
#include "storage/DownloadOrder.h"
#include "storage/HandOffMessage.h"
#include "storage/DownloadRows.h"
#include "storage/FileNames.h"
#include "storage/TextFile.h"
#include "net/Url.h"
#include "services/Application.h"
#include "transfer/DownloadList.h"

namespace tandu {

namespace {

// The same bound SafeDownloadName keeps, so ".def.tmp" still fits a file name.
constexpr std::size_t kMaxNameBytes = 240;
constexpr std::size_t kMaxExtensionBytes = 16;

// Distinguishes this adder's scratch file from another process's.
std::string randomToken() {
    std::random_device device;
    std::uniform_int_distribution<unsigned long long> any;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", any(device));
    return text;
}

bool present(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

DownloadAdder::DownloadAdder(Application& app)
    : app_(app), definitions_(app.definitionsFolder()), token_(randomToken()) {
    const DownloadList& rows = app_.downloads();
    taken_.reserve(static_cast<std::size_t>(rows.count()) * 2 + 16);
    for (int row = 0; row < rows.count(); ++row) {
        taken_.insert(rows.at(row).text());
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

bool DownloadAdder::taken(const std::string& name, const std::string& folder) const {
    if (taken_.count(name) != 0) {
        return true;
    }
    const std::string definition = DefinitionPath(definitions_, name);
    // A file the user already has there is never overwritten by a download.
    const std::string target = textfile::trim(folder);
    const bool slash = !target.empty() && target.back() == '/';
    return present(definition) || present(ProgressPathFor(definition)) ||
           present(CookieFile::pathFor(definition)) || present(target + (slash ? "" : "/") + name);
}

std::string DownloadAdder::freeName(const std::string& name, const std::string& folder) {
    if (!taken(name, folder)) {
        return name;
    }
    // Carries on from the last number handed out, so a run of equal names stays linear.
    int& number = nextNumber_.try_emplace(name, 2).first->second;
    for (;; ++number) {
        std::string candidate = numberedName(name, number);
        if (!taken(candidate, folder)) {
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
                        const std::string& connections, const HandOffMessage* link,
                        const std::map<std::string, std::string>& extras) {
    net::Url::Error invalid;
    if (!net::Url::parse(url, &invalid) && invalid.kind == net::Url::Error::Kind::UnknownScheme) {
        failure_ = invalid.message;
        return false;
    }
    DefinitionFile definition;
    definition.url = url;
    definition.saveFolder = folder;
    definition.pieces = connections;
    definition.extras = extras;
    if (link && !link->referrer.empty()) {
        definition.extras[DefinitionFile::kReferrer] = link->referrer;
    }
    if (link && !link->userAgent.empty()) {
        definition.extras[DefinitionFile::kUserAgent] = link->userAgent;
    }
    const std::string given = link ? SafeServerName(link->fileName) : std::string();
    const auto name = claim(given.empty() ? SafeDownloadName(url) : given, definition);
    if (!name) {
        return false;
    }
    const std::string path = DefinitionPath(definitions_, *name);
    std::string reason;
    if (link && !link->cookies.empty() &&
        !CookieFile::write(CookieFile::pathFor(path), {url, link->cookies}, &reason)) {
        // Without its session the site would send its login page instead.
        std::remove(path.c_str());
        fail(reason);
        return false;
    }
    app_.downloads().add(path);
    ++added_;
    return true;
}

std::optional<std::string> DownloadAdder::claim(const std::string& name,
                                                DefinitionFile definition) {
    // The file is written whole under a private name, then linked to its real
    // name, which fails when that name was taken meanwhile (e.g. by another
    // process): nobody ever sees half a file, and no file is ever replaced.
    const std::string scratch = definitions_ + ".add-" + token_ + ".tmp";
    for (;;) {
        definition.fileName = freeName(name, definition.saveFolder);
        const std::string path = DefinitionPath(definitions_, definition.fileName);
        std::string reason;
        if (!textfile::writeLines(scratch, definition.form1Lines(), &reason)) {
            std::remove(scratch.c_str());
            fail(reason);
            return std::nullopt;
        }
        std::error_code error;
        std::filesystem::create_hard_link(scratch, path, error);
        if (error && error != std::errc::file_exists && !present(path)) {
            // A file system without hard links: the name was free a moment ago.
            error.clear();
            std::filesystem::rename(scratch, path, error);
        }
        std::remove(scratch.c_str());
        taken_.insert(definition.fileName);
        if (error) {
            if (error == std::errc::file_exists || present(path)) {
                continue;  // taken meanwhile: next number
            }
            fail(error.message());
            return std::nullopt;
        }
        // Its place in the list's order; without it the row still loads, by name.
        DownloadOrder(definitions_).append(definition.fileName);
        return definition.fileName;
    }
}

}  // namespace tandu
