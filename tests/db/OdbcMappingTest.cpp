// The ODBC backend's pure parts: how errors are classified, what connection string reaches
// the driver manager and how column descriptions become ADO fields.

#include <sql.h>
#include <sqlext.h>

#include <gtest/gtest.h>

#include "db/odbc/Odbc.h"

namespace {

using db::ErrorItem;
using db::odbc::isDuplicateKey;

TEST(OdbcDuplicateKey, RecognisesEachDriversReport) {
    EXPECT_TRUE(isDuplicateKey(ErrorItem{"[SQLite]UNIQUE constraint failed: t.code (19)", 19, "HY000", "ODBC"}));
    EXPECT_TRUE(isDuplicateKey(ErrorItem{"ERROR: duplicate key value violates unique constraint", 7, "23505", "ODBC"}));
    EXPECT_TRUE(isDuplicateKey(ErrorItem{"Violation of PRIMARY KEY constraint 'PK_T'", 2627, "23000", "ODBC"}));
    EXPECT_TRUE(isDuplicateKey(ErrorItem{"Cannot insert duplicate key row in object 'T'", 2601, "23000", "ODBC"}));
    // SQL Server puts "The statement has been terminated." (01000) next to the real record.
    EXPECT_TRUE(isDuplicateKey(db::Error(std::vector<ErrorItem>{
        {"The statement has been terminated.", 3621, "01000", "ODBC"}, {"Violation of UNIQUE KEY", 2627, "23000", "ODBC"}})));
}

TEST(OdbcDuplicateKey, OtherConstraintViolationsAreNotDuplicates) {
    // Same SQLite code 19, different constraint.
    EXPECT_FALSE(isDuplicateKey(ErrorItem{"[SQLite]NOT NULL constraint failed: t.code (19)", 19, "HY000", "ODBC"}));
    EXPECT_FALSE(isDuplicateKey(ErrorItem{"[SQLite]FOREIGN KEY constraint failed (19)", 19, "HY000", "ODBC"}));
    // SQL Server 547 is a foreign key / check conflict, also reported as 23000.
    EXPECT_FALSE(isDuplicateKey(ErrorItem{"The INSERT statement conflicted with the FOREIGN KEY", 547, "23000", "ODBC"}));
    EXPECT_FALSE(isDuplicateKey(ErrorItem{"near \"selec\": syntax error (1)", 1, "HY000", "ODBC"}));
}

std::string driverString(const std::string& ado, const std::string& user = "", const std::string& pwd = "") {
    return db::odbc::driverConnectionString(db::ConnectionString(ado), user, pwd);
}

TEST(OdbcConnectionString, DropsProviderAndAddsCredentials) {
    EXPECT_EQ(driverString("Provider=ODBC;Driver=SQLite3;Database=/tmp/x.db"), "Driver=SQLite3;Database=/tmp/x.db;");
    EXPECT_EQ(driverString("provider=odbc;DSN=prod", "sa", "s3cret"), "DSN=prod;UID=sa;PWD=s3cret;");
    // ADO spellings of the credentials become ODBC's; explicit ones replace them.
    EXPECT_EQ(driverString("Provider=ODBC;DSN=prod;User ID=u;Password=p"), "DSN=prod;UID=u;PWD=p;");
    EXPECT_EQ(driverString("Provider=ODBC;DSN=prod;UID=old;PWD=old", "new", "pw"), "DSN=prod;UID=new;PWD=pw;");
}

TEST(OdbcConnectionString, BracesCredentialsThatWouldBreakTheString) {
    EXPECT_EQ(driverString("DSN=d", "me", "a;b"), "DSN=d;UID=me;PWD={a;b};");
    EXPECT_EQ(driverString("DSN=d", "me", "x}y=z"), "DSN=d;UID=me;PWD={x}}y=z};");
}

TEST(OdbcConnectionString, FreeTdsGetsUtf8ClientCharsetUnlessGiven) {
    EXPECT_EQ(driverString("Provider=ODBC;Driver=FreeTDS;Server=h;Port=1433"),
              "Driver=FreeTDS;Server=h;Port=1433;ClientCharset=UTF-8;");
    EXPECT_EQ(driverString("Provider=ODBC;Driver={FreeTDS};Server=h;ClientCharset=CP1252"),
              "Driver={FreeTDS};Server=h;ClientCharset=CP1252;");
    EXPECT_EQ(driverString("Driver=PostgreSQL Unicode;Server=h"), "Driver=PostgreSQL Unicode;Server=h;");
}

// Types the SQLite3 driver never reports (SQL Server and PostgreSQL do).
TEST(OdbcColumnMapping, ServerTypesBecomeAdoFields) {
    using K = db::odbc::ValueKind;
    struct Case { int sqlType; unsigned long long size; int adoType; long definedSize; K kind; };
    const Case cases[] = {
        {SQL_WVARCHAR, 40, db::ado::adVarWChar, 40, K::Text},
        {SQL_TINYINT, 3, db::ado::adUnsignedTinyInt, 1, K::Integer},
        {SQL_SMALLINT, 5, db::ado::adSmallInt, 2, K::Integer},
        {SQL_DECIMAL, 18, db::ado::adDecimal, 18, K::Decimal},
        {SQL_NUMERIC, 12, db::ado::adDecimal, 12, K::Decimal},
        {SQL_REAL, 7, db::ado::adDouble, 8, K::Double},
        // nvarchar(max) may be described with a size beyond a long: clamped, never negative.
        {SQL_WLONGVARCHAR, 0xFFFFFFFFFFULL, db::ado::adLongVarWChar, 0x7fffffffL, K::Text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("SQL type " + std::to_string(c.sqlType));
        auto f = db::odbc::fieldInfoFor("COL", c.sqlType, c.size, SQL_NULLABLE);
        EXPECT_EQ(f.type, c.adoType);
        EXPECT_EQ(f.definedSize, c.definedSize);
        EXPECT_EQ(db::odbc::valueKindFor(c.sqlType), c.kind);
    }
    EXPECT_EQ(db::odbc::fieldInfoFor("A", SQL_INTEGER, 10, SQL_NO_NULLS).attributes & db::ado::adFldIsNullable, 0);
}

}  // namespace
