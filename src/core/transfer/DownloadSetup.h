#pragma once

#include <functional>
#include <string>

#include "catalogue/NumberText.h"

namespace tandu {

class Download;
class SocketFactory;
class TransferLocks;

// What every download of a process shares.
struct DownloadSetup {
    SocketFactory& sockets;
    TransferLocks& locks;
    NumberText numbers;
    std::string programFolder;  // without a trailing "/"
    std::string definitionsFolder() const { return programFolder + "/definitions/"; }
    std::string settingsPath() const { return programFolder + "/config.cfg"; }
    // Whether another running download writes that path.
    std::function<bool(const Download& asking, const std::string& path)> targetBusy;
};

}  // namespace tandu
