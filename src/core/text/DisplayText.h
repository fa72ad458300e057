#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tandu {

// Bytes from outside (a server's answer) as text safe to show: line breaks
// (CR LF, LF) stay; every other control byte, a lone CR included, becomes
// visible as \xHH, and so do the Unicode marks that reverse the direction of
// the text after them.
std::string DisplayText(std::string_view bytes);
// The same for a name on one line: every control byte, direction mark and
// byte that is not part of valid UTF-8 shows as \xHH.
std::string DisplayName(std::string_view bytes);

// The length of the direction mark (U+061C, U+200E-F, U+202A-E, U+2066-9)
// at byte i in UTF-8, or 0: such marks reorder the text around them, so an
// address could show something else than what it says.
std::size_t DirectionMarkAt(std::string_view bytes, std::size_t i);

}  // namespace tandu
