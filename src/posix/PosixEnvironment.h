#pragma once

#include "platform/Environment.h"

namespace tandu {

class PosixEnvironment : public Environment {
public:
    std::optional<std::string> variable(const std::string& name) const override;
};

}  // namespace tandu
