#pragma once

#include <cstdint>
#include <string>

namespace tandu {

// The host of a URL: the text between its second and third "/", without a
// leading "www" and the character after it; empty when there is none.
std::string SplitHost(const std::string& url);

// True when the URL holds a control character, which would break the request line.
bool UrlBreaksRequest(const std::string& url);

// "HEAD url HTTP/1.0" and a blank line: the probe for the file's size.
std::string ProbeRequest(const std::string& url);
// A GET for the bytes first..last (both included, counted from 0).
std::string RangeRequest(const std::string& url, std::int64_t first, std::int64_t last);

}  // namespace tandu
