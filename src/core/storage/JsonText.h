#pragma once

#include <string>
#include <string_view>

namespace tandu {

// JSON string literals for the small files and answers the program writes.
class JsonText {
public:
    // The text as a quoted JSON string; control characters become \u escapes.
    static std::string quote(std::string_view text);
};

}  // namespace tandu
