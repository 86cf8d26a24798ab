#pragma once
// The module's own message texts by id, as ShowMessage loads them. "%1" and "%2" are
// placeholders the caller fills in.

#include <optional>
#include <string>

namespace resources {

inline constexpr int kFirstModuleMessage = 101;
inline constexpr int kLastModuleMessage = 121;

// The text of message `id` (UTF-8), or nothing for an id outside the table.
std::optional<std::string> moduleMessage(int id);

}  // namespace resources
