#include "hostdb/BackendSchema.h"

#include "hostdb/Schema.h"
#include "hostdb/SqliteTableFunctions.h"

namespace hostdb {

const db::tsql::SchemaInfo& translationSchema() {
    static const db::tsql::SchemaInfo schema{
        .textColumnNames = {"CONTOPDC", "DESCRPDC", "CONTOPDCGRID", "DESCRPDCGRID", "CONTORICL", "DESCRRICL",
                            "CONTOPDCRICL", "DESCRCONTO", "DESCRCONTORICL", "MVT_ACTION"},
        .textColumnSuffixes = {"_CONTO", "_CONTO_CG24", "_CONTO_PC03", "_CONTORICL_PC03", "_DESCR", "_MASKEDIT",
                               "_DATABASE"},
        .uniqueKeys = {{"CG83_COLLRICL", {"CG83_CODICE_CG10", "CG83_CONTO_CG24", "CG83_CODICERICL_PC01", "CG83_INDSEGNO"}}},
    };
    return schema;
}

db::tsql::TranslateOptions translateOptions(const std::string& mainDatabase) {
    db::tsql::TranslateOptions options;
    options.mainDatabase = mainDatabase;
    options.schema = &translationSchema();
    return options;
}

std::shared_ptr<const db::DatabaseSchema> backendSchema() {
    static const auto schema = std::make_shared<const db::DatabaseSchema>(db::DatabaseSchema{
        .translation = translationSchema(),
        .tables = hostTableNames(),
        .registerSqliteFunctions = registerTableFunctions,
    });
    return schema;
}

}  // namespace hostdb
