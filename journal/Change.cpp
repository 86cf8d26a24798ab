#include "journal/Change.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

namespace journal {

std::string describe(const Step& step) {
    if (step.changes.size() == 1) {
        const Change& c = step.changes.front();
        const char* sign = c.sign == 1 ? "Dare" : c.sign == 2 ? "Avere" : "?";
        return step.source + (c.rows == Rows::Intermediary ? ", intermediario " : ", conto ") + c.account + " in " + sign;
    }
    return step.source + ", " + std::to_string(step.changes.size()) + " correlazioni";
}

std::string intermediaryKeyText(const std::string& owner, int tipoCf, int intermediary) {
    return owner + "/" + std::to_string(tipoCf) + "/" + std::to_string(intermediary);
}

std::string currentUser() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    if (const char* user = std::getenv("USER"); user && *user) return user;
    return "?";
}

std::string now() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&t, &local);
    char text[20];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace journal
