#pragma once
// The host dictionary of the stand-alone host: Italian texts by numeric id, from the JSON file
// standalone/dictionary.it.json embedded at build time ({"id": "text", …}).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/Variant.h"

namespace standalone {

class Dictionary {
public:
    // The embedded Italian dictionary.
    static const Dictionary& builtin();
    // Parses a dictionary; std::invalid_argument naming the problem for malformed JSON, a key
    // that is not a number or a value that is not a text.
    static Dictionary fromJson(std::string_view json);

    std::optional<std::string> text(long id) const;
    const std::map<long, std::string>& entries() const { return entries_; }

private:
    std::map<long, std::string> entries_;
};

// Replaces "%1".."%9" with params[0]..params[8] (as text) in one pass, so a parameter that
// itself contains "%2" is not substituted again. Placeholders without a parameter stay.
std::string fillPlaceholders(std::string_view text, const std::vector<db::Variant>& params);

}  // namespace standalone
