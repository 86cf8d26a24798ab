// What the translation knows of the tables comes from the schema its caller passes, not from
// the translator: the same text is typed by the text columns and merged by the unique keys of
// whatever schema is given, and without one nothing is assumed.

#include <gtest/gtest.h>

#include <string>

#include "db/tsql/SchemaInfo.h"
#include "db/tsql/Translator.h"

namespace {

const db::tsql::SchemaInfo kShop{
    .textColumnNames = {"NAME"},
    .textColumnSuffixes = {"_CODE"},
    .uniqueKeys = {{"STOCK", {"ITEM_CODE", "SHELF"}}},
};

std::string sqliteText(const std::string& tsql, const db::tsql::SchemaInfo* schema) {
    db::tsql::TranslateOptions options;
    options.schema = schema;
    return db::tsql::translateToText(tsql, options);
}

TEST(TsqlSchemaInfo, TextColumnsByNameOrSuffixAreCaseInsensitive) {
    EXPECT_TRUE(kShop.isTextColumn("name"));
    EXPECT_TRUE(kShop.isTextColumn("ITEM_code"));
    EXPECT_FALSE(kShop.isTextColumn("_CODE"));      // a suffix alone names no column
    EXPECT_FALSE(kShop.isTextColumn("NAMES"));
    ASSERT_NE(kShop.uniqueKeyOf("stock"), nullptr);
    EXPECT_EQ(kShop.uniqueKeyOf("stock")->columns.size(), 2u);
    EXPECT_EQ(kShop.uniqueKeyOf("SHELF"), nullptr);
}

TEST(TsqlSchemaInfo, ThePassedSchemaDecidesConcatenationAndCollation) {
    const std::string sql = "SELECT NAME + ITEM_CODE FROM T WHERE NAME = X";
    EXPECT_EQ(sqliteText(sql, &kShop), "SELECT NAME||ITEM_CODE FROM T WHERE NAME COLLATE TSQL = X");
    EXPECT_EQ(sqliteText(sql, nullptr), "SELECT tsql_plus(NAME, ITEM_CODE) FROM T WHERE NAME = X");
}

TEST(TsqlSchemaInfo, AMergeOnAKeyOfTheSchemaIsOneUpsert) {
    const std::string sql =
        "MERGE STOCK AS Target USING (SELECT ITEM_CODE, SHELF, QTY FROM NEWSTOCK) AS Source "
        "ON Target.ITEM_CODE = Source.ITEM_CODE AND Target.SHELF = Source.SHELF "
        "WHEN MATCHED THEN UPDATE SET QTY = Source.QTY "
        "WHEN NOT MATCHED THEN INSERT (ITEM_CODE, SHELF, QTY) VALUES (Source.ITEM_CODE, Source.SHELF, Source.QTY);";
    const std::string keyed = sqliteText(sql, &kShop);
    EXPECT_NE(keyed.find("ON CONFLICT (ITEM_CODE, SHELF) DO UPDATE SET QTY = excluded.QTY"), std::string::npos);
    const std::string plain = sqliteText(sql, nullptr);
    EXPECT_EQ(plain.find("ON CONFLICT"), std::string::npos);
    EXPECT_NE(plain.find("NOT EXISTS"), std::string::npos);
}

}  // namespace
