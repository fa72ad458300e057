#pragma once

#include <optional>
#include <string>

namespace tandu {

// The browser's cookies handed over with a download's link, kept beside its
// definition ("NAME.def" → "NAME.cookies") in a file only the user may read,
// for as long as the download exists: line 1 the address they were handed
// with, line 2 the cookies as the browser sends them ("a=1; b=2").
struct CookieFile {
    std::string url;
    std::string cookies;

    static std::string pathFor(const std::string& definitionPath);
    // A new file, readable and writable by the user alone; never replaces one.
    static bool write(const std::string& path, const CookieFile& content, std::string* reason);
    // Nothing when there is no such regular file of this user.
    static std::optional<CookieFile> read(const std::string& path);
    // Gone, or why not.
    static std::optional<std::string> remove(const std::string& path);
};

}  // namespace tandu
