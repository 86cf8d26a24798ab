// Values braced as ODBC defines keep their ';' and '}}' and reach the driver as written.
#include <gtest/gtest.h>

#include "db/ConnectionString.h"
#include "db/odbc/Odbc.h"

TEST(ConnectionStringBraces, ABracedValueHoldsSemicolonsAndDoubledBraces) {
    const db::ConnectionString cs("Provider=ODBC;DSN=prod;PWD= {se;cr}}et=1} ;Database={a b};UID=u");
    EXPECT_EQ(cs.get("PWD"), "{se;cr}}et=1}");
    EXPECT_EQ(cs.get("Database"), "{a b}");
    EXPECT_EQ(cs.get("UID"), "u");
    EXPECT_EQ(db::odbc::driverConnectionString(cs, "", ""), "DSN=prod;PWD={se;cr}}et=1};Database={a b};UID=u;");
    // What the module composes for a password reads back whole.
    const std::string pwd = "x;y}=z{";
    EXPECT_EQ(db::ConnectionString("DSN=d;PWD=" + db::odbc::connectionValue(pwd) + ";UID=u").get("PWD"),
              "{x;y}}=z{}");
    // Blanks at the ends of a value are kept by its braces, tabs and form feeds too.
    EXPECT_EQ(db::odbc::connectionValue("\tpw\f"), "{\tpw\f}");
    EXPECT_EQ(db::ConnectionString("PWD=" + db::odbc::connectionValue(" pw\t") + ";").get("PWD"), "{ pw\t}");
}

TEST(ConnectionStringBraces, AnUnclosedBraceIsPlainText) {
    const db::ConnectionString cs("PWD={abc;DSN=d;X=}}");
    EXPECT_EQ(cs.get("PWD"), "{abc");
    EXPECT_EQ(cs.get("DSN"), "d");
    EXPECT_EQ(cs.get("X"), "}}");
}
