#include "CliContext.h"

#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <iostream>

namespace tandu::cli {

CliContext::CliContext(std::string programFolder)
    : app_(std::make_unique<Application>(
          std::move(programFolder),
          SystemParts{fetcher, locks, launcher, environment, hasher, background},
          NumberText(thousandsSeparator()))) {}

Application& CliContext::app() {
    app_->loadList();
    return *app_;
}

void CliContext::show(const UserMessage& message) {
    if (message.icon == MsgIcon::Critical) {
        errorShown_ = true;
    }
    const std::string line = message.title + ": " + message.text + "\n";
    if (errorOut) {
        errorOut(line);
    } else {
        std::cerr << line << std::flush;
    }
}

std::string thousandsSeparator() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->thousands_sep == nullptr ||
        conventions->thousands_sep[0] == '\0') {
        return ",";
    }
    return conventions->thousands_sep;
}

std::string executableFolder() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path().string();
    }
    return self.parent_path().string();
}

}  // namespace tandu::cli
