#pragma once

#include <string>

namespace tandu {

// The host of a URL: the text between its second and third "/", without a
// leading "www" and the character after it. Empty when there is none.
std::string SplitHost(const std::string& url);

}  // namespace tandu
