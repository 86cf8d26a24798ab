#include "db/Error.h"

namespace db {

namespace {
std::string firstDescription(const std::vector<ErrorItem>& items) {
    return items.empty() ? std::string("errore del database") : items.front().description;
}
}  // namespace

Error::Error(std::vector<ErrorItem> items) : Exception(firstDescription(items)), items_(std::move(items)) {}

Error::Error(std::string description, long nativeError, std::string sqlState, std::string source)
    : Error(std::vector<ErrorItem>{{std::move(description), nativeError, std::move(sqlState), std::move(source)}}) {}

}  // namespace db
