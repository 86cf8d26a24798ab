#include "standalone/Dictionary.h"

#include <charconv>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "db/Error.h"

namespace standalone {

namespace detail {
std::string_view embeddedDictionaryJson();
}

Dictionary Dictionary::fromJson(std::string_view json) {
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(json.begin(), json.end());
    } catch (const nlohmann::json::parse_error& e) {
        throw std::invalid_argument(std::string("dictionary: malformed JSON: ") + e.what());
    }
    if (!doc.is_object()) throw std::invalid_argument("dictionary: expected an object of id: text");
    Dictionary d;
    for (auto& [key, value] : doc.items()) {
        long id = 0;
        auto [p, ec] = std::from_chars(key.data(), key.data() + key.size(), id);
        if (ec != std::errc() || p != key.data() + key.size() || key.empty())
            throw std::invalid_argument("dictionary: key '" + key + "' is not a numeric id");
        if (!value.is_string()) throw std::invalid_argument("dictionary: the value of " + key + " is not a text");
        d.entries_[id] = value.get<std::string>();
    }
    return d;
}

const Dictionary& Dictionary::builtin() {
    static const Dictionary dictionary = fromJson(detail::embeddedDictionaryJson());
    return dictionary;
}

std::optional<std::string> Dictionary::text(long id) const {
    auto it = entries_.find(id);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

std::string fillPlaceholders(std::string_view text, const std::vector<db::Variant>& params) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            std::size_t index = static_cast<std::size_t>(text[i + 1] - '1');
            if (index < params.size()) {
                try {
                    out += params[index].toText();
                } catch (const db::Exception&) {
                    out += params[index].debugString();   // an object has no text form
                }
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace standalone
