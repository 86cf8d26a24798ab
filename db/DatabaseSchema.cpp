#include "db/DatabaseSchema.h"

#include <mutex>

namespace db {

namespace {

std::mutex& schemaMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<const DatabaseSchema>& current() {
    static std::shared_ptr<const DatabaseSchema> schema = std::make_shared<const DatabaseSchema>();
    return schema;
}

}  // namespace

void setDatabaseSchema(std::shared_ptr<const DatabaseSchema> schema) {
    std::lock_guard lock(schemaMutex());
    current() = schema ? std::move(schema) : std::make_shared<const DatabaseSchema>();
}

std::shared_ptr<const DatabaseSchema> databaseSchema() {
    std::lock_guard lock(schemaMutex());
    return current();
}

}  // namespace db
