#pragma once

#include <string>

namespace tandu {

enum class MsgIcon { Critical, Question, Exclamation, Information };

// A message for the user, as a face shows it: a box with a title and an
// icon in the window, "TITLE: TEXT" on a console.
struct UserMessage {
    std::string text;
    std::string title;
    MsgIcon icon = MsgIcon::Critical;
};

}  // namespace tandu
