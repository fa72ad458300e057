#include "PosixEnvironment.h"

#include <cstdlib>

namespace tandu {

std::optional<std::string> PosixEnvironment::variable(const std::string& name) const {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

}  // namespace tandu
