#pragma once

#include <string>
#include <string_view>

namespace tandu::net {

// Every %XX escape decoded to its byte; a '%' without two hex digits after
// it stays as it is.
std::string percentDecoded(std::string_view text);

}  // namespace tandu::net
