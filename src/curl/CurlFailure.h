#pragma once

#include <string>

#include "net/Fetcher.h"

namespace tandu {

// What a libcurl result code means for the user. `detail` is libcurl's own
// error text for that transfer, `where` the host and port, `osError` the
// system's error number of a failed connect (0: none).
net::FetchFailure CurlFailure(int code, const std::string& detail, const std::string& where,
                              long stallSeconds, int osError);

}  // namespace tandu
