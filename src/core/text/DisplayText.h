#pragma once

#include <string>
#include <string_view>

namespace tandu {

// Bytes from outside (a server's answer) as text safe to show: line breaks
// (CR LF, LF) stay; every other control byte, a lone CR included, becomes
// visible as \xHH, and so do the Unicode marks that reverse the direction of
// the text after them.
std::string DisplayText(std::string_view bytes);

}  // namespace tandu
