#pragma once
#include <string_view>

namespace kelvane {

// Matches a bare name against one wildcard pattern the way file managers do:
// "*" is any run of characters, "?" exactly one character, letters compare
// ignoring case, brackets are plain characters, and a trailing ".*" also
// matches names without any extension ("*.*" therefore matches every name).
// Both arguments are UTF-8 bytes; the pattern is expected in upper case.
// ASCII names are matched without allocating; other names fall back to a
// Unicode case-insensitive comparison.
bool WildcardMatch(std::string_view upperPattern, std::string_view name);

} // namespace kelvane
