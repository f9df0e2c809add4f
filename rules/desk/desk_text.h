#pragma once
// The texts of the desk windows come from the string table; these fill in the values of
// a text that has places for them.

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel::desk {

// The string `id` of the string table.
std::string Text(int id);

// The string `id` with its places ("%s", "%d") filled by `values`, left to right. A value
// is put in as it is, and is never searched for places itself; places beyond the values
// stay as they are.
std::string FormatText(int id, std::initializer_list<std::string_view> values);

}  // namespace quorvel::desk
