#pragma once
// What the stand-alone host was told, in order: notices, registrations, form events,
// current-program changes, message boxes. Each event is a JSON object whose "event" member
// names its kind, e.g. {"event":"formEvent","window":"FRMCG_CORRRICL","open":1,"action":"qvOpen"}.
// Tests and the automation driver read it.

#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace standalone {

class HostEventLog {
public:
    void record(std::string_view kind, nlohmann::json fields = nlohmann::json::object());
    const std::vector<nlohmann::json>& events() const { return events_; }
    // The events since the last take, which are then forgotten.
    std::vector<nlohmann::json> take();
    void clear() { events_.clear(); }
    // The events of one kind, in order.
    std::vector<nlohmann::json> ofKind(std::string_view kind) const;
    std::size_t count(std::string_view kind) const;

    // One event as a JSON line; bytes that are not UTF-8 (a broken database text) are
    // replaced instead of making the dump throw.
    static std::string dump(const nlohmann::json& event);

private:
    std::vector<nlohmann::json> events_;
};

}  // namespace standalone
