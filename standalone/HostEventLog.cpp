#include "standalone/HostEventLog.h"

#include <utility>

namespace standalone {

void HostEventLog::record(std::string_view kind, nlohmann::json fields) {
    nlohmann::json e = nlohmann::json::object();
    e["event"] = std::string(kind);
    if (fields.is_object()) {
        for (auto& [k, v] : fields.items()) {
            if (k != "event") e[k] = v;
        }
    }
    events_.push_back(std::move(e));
}

std::vector<nlohmann::json> HostEventLog::take() { return std::exchange(events_, {}); }

std::vector<nlohmann::json> HostEventLog::ofKind(std::string_view kind) const {
    std::vector<nlohmann::json> out;
    for (const auto& e : events_)
        if (e["event"] == kind) out.push_back(e);
    return out;
}

std::size_t HostEventLog::count(std::string_view kind) const {
    std::size_t n = 0;
    for (const auto& e : events_)
        if (e["event"] == kind) ++n;
    return n;
}

std::string HostEventLog::dump(const nlohmann::json& event) {
    return event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace standalone
