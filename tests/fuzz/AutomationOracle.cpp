#include "FuzzOracles.h"

#include <filesystem>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "automation/FakeProgram.h"
#include "standalone/automation/AutomationDriver.h"
#include "standalone/automation/JsonValues.h"

namespace fuzzoracle {

namespace {

using nlohmann::json;

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        auto p = std::filesystem::temp_directory_path() / ("brevanto-fuzz-automation-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return folder;
}

// The requests as the driver will read them, with any file they would write moved into the
// scratch folder.
std::vector<std::string> requestLines(std::string_view input) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(input)};
    for (std::string line; std::getline(in, line);) {
        json r = json::parse(line, nullptr, false);
        if (r.is_object()) {
            bool moved = false;
            for (const char* key : {"file", "pdf"})
                if (auto it = r.find(key); it != r.end() && it->is_string()) {
                    *it = (scratchFolder() / "out").string();
                    moved = true;
                }
            if (moved) line = standalone::automation::dumpLine(r);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool isBlank(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

void automation(std::string_view input) {
    const std::vector<std::string> lines = requestLines(input);
    std::string text;
    for (const auto& l : lines) text += l + "\n";

    standalone::RegisteredClasses classes;
    classes.add("Fake.Program", [](kit::WindowSystem& ws) { return std::make_shared<fake::FakeEntry>(ws); });
    standalone::Settings settings;
    settings.connectionString = "Provider=SQLite;database=NONE;Data Source=" + scratchFolder().string();
    std::istringstream in(text);
    std::ostringstream out, err;
    int status = -1;
    {
        standalone::AutomationDriver driver(settings, classes, in, out, err);
        driver.setForcedExit([](int) {});
        status = driver.run();
    }
    if (status != 0) throw OracleFailure("the driver ended with status " + std::to_string(status));

    // The request lines served: every non-blank one up to a "quit".
    std::vector<json> served;
    for (const auto& l : lines) {
        if (isBlank(l)) continue;
        json r = json::parse(l, nullptr, false);
        const bool quit = r.is_object() && r.value("cmd", json()) == "quit";
        served.push_back(std::move(r));
        if (quit) break;
    }
    std::vector<json> replies;
    std::istringstream replyText(out.str());
    for (std::string line; std::getline(replyText, line);) {
        json reply = json::parse(line, nullptr, false);
        if (!reply.is_object()) throw OracleFailure("a reply is not a JSON object: " + line);
        auto ok = reply.find("ok");
        if (ok == reply.end() || !ok->is_boolean()) throw OracleFailure("a reply without a Boolean ok: " + line);
        if (!*ok) {
            auto error = reply.find("error");
            if (error == reply.end() || !error->is_string() || error->get<std::string>().empty())
                throw OracleFailure("a failed reply without an error text: " + line);
        }
        replies.push_back(std::move(reply));
    }
    if (replies.size() != served.size())
        throw OracleFailure(std::to_string(served.size()) + " requests but " + std::to_string(replies.size()) +
                            " replies");
    for (std::size_t i = 0; i < served.size(); ++i) {
        // A request nested too deeply is refused unread, its id included.
        const bool refusedUnread = replies[i].value("error", std::string()).find("livelli di annidamento") != std::string::npos;
        if (!served[i].is_object() || refusedUnread) continue;
        auto id = served[i].find("id");
        if (id == served[i].end() || id->is_null()) continue;
        auto echoed = replies[i].find("id");
        if (echoed == replies[i].end() ||
            standalone::automation::dumpLine(*echoed) != standalone::automation::dumpLine(*id))
            throw OracleFailure("reply " + std::to_string(i) + " does not echo the id " +
                                standalone::automation::dumpLine(*id));
    }
}

}  // namespace fuzzoracle
