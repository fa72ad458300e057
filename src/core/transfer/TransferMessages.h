#pragma once

#include <string>

#include "platform/Checksum.h"

namespace tandu::messages {

inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kNoticeTitle = "Information";
inline constexpr const char* kConfigMissing = "Config file not found. Configure Qiv.";
inline constexpr const char* kDefinitionMissing =
    "Definition file not found. Please add the URL again.";
inline constexpr const char* kCannotDownload = "This URL cannot be downloaded.";
inline constexpr const char* kStartFailed = "An error ocurred. Please check the URL of the file.";
inline constexpr const char* kConnectionError =
    "An error ocurred, please verify your connection or the download link. Decription of error "
    "below";
inline constexpr const char* kClosedEarly =
    "The server closed the connection before the piece was complete.";

// An answer whose body cannot be trusted to be the file's bytes.
inline std::string untrusted(const std::string& reason) {
    return std::string(kCannotDownload) + "\r\n\r\n" + reason;
}

inline std::string connectionError(const std::string& description) {
    return std::string(kConnectionError) + "\r\n\r\n" + description;
}

// The status line of an answer's head.
inline std::string serverAnswered(const std::string& head) {
    return "The server answered: " + head.substr(0, head.find_first_of("\r\n"));
}

inline std::string noConnectionLeft(const std::string& name, const std::string& reason) {
    return "No connection is left to finish \"" + name + "\"; it is paused. Resume tries again." +
           (reason.empty() ? "" : "\r\n\r\n" + reason);
}

inline std::string heldElsewhere(const std::string& name) {
    return "\"" + name + "\" is being transferred by another Tandu process. It is left alone here.";
}

inline std::string targetBusy(const std::string& path) {
    return "The file " + path +
           " is already being written by another running download. This one was not started.";
}

inline std::string fileError(const std::string& path, const std::string& reason) {
    return "The file " + path + " cannot be written: " + reason +
           ". The download has stopped; what was downloaded so far is kept.";
}

inline std::string targetLost(const std::string& path) {
    return "The file " + path +
           " was removed or replaced while it was being downloaded. The download is paused; "
           "resuming it fetches again what was lost.";
}

inline std::string targetTaken(const std::string& path) {
    return "A file named " + path +
           " is already there. It is left as it is, and the download does not start.";
}

inline std::string restartsWhole(const std::string& name) {
    return "The server does not say how big \"" + name +
           "\" is and cannot send the rest of it. The download starts again from the beginning.";
}

inline std::string cannotResume(const std::string& name) {
    return "The server cannot resume \"" + name + "\"; it starts again from the beginning.";
}

inline std::string wholeFilesOnly(const std::string& name) {
    return "The server sends \"" + name +
           "\" only as a whole, not in pieces. The download goes on over one connection.";
}

inline std::string checksumMismatch(const std::string& name, const Checksum& expected,
                                    const Checksum& found) {
    return "\"" + name + "\" does not match its checksum. The file is kept.\r\n\r\nExpected " +
           expected.name() + ": " + expected.hex + "\r\nFound " + found.name() + ": " + found.hex;
}

inline std::string checksumUnreadable(const std::string& path, const std::string& reason) {
    return "The file " + path + " cannot be read to check its checksum: " + reason + ".";
}

inline std::string badStoredChecksum(const std::string& name, const std::string& text) {
    return "The checksum stored for \"" + name + "\" cannot be read: " + text +
           "\r\nSet it again from the row's menu (Checksum...).";
}

}  // namespace tandu::messages
