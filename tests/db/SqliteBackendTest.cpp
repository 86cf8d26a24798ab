// The embedded engine: opening, sessions, attached databases, batches, values and errors.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <fstream>
#include <thread>

#include "db/Error.h"
#include "db/SqlText.h"
#include "db/sqlite/SqliteBackend.h"
#include "db/sqlite/SqliteRuntime.h"
#include "db/tsql/Translator.h"
#include "hostdb/BackendSchema.h"
#include "support/TestSupport.h"

namespace {

using db::ConnectionString;
using db::Variant;
using db::sqlite::SqliteBackend;

// The engine's own tests use tables of their own: any schema is accepted.
std::unique_ptr<SqliteBackend> openIn(const testsupport::TempDir& dir, const std::string& name = "MAIN",
                                      const std::string& extra = "") {
    return SqliteBackend::open(
        ConnectionString("Provider=SQLite;database=" + name + ";Data Source=" + dir.str() + ";Schema=any" + extra));
}

db::ErrorItem errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const db::Error& e) {
        EXPECT_FALSE(e.items().empty());
        return e.items().front();
    }
    ADD_FAILURE() << "no db::Error";
    return {};
}

// A raw second session on a database file: another process, or the DDL the translated
// dialect has no statement for.
struct RawDb {
    sqlite3* db = nullptr;
    explicit RawDb(const std::string& path) {
        EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), SQLITE_OK);
        db::sqlite::registerSqliteRuntime(db);
    }
    ~RawDb() { sqlite3_close_v2(db); }
    void exec(const std::string& sql) {
        char* err = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql;
        sqlite3_free(err);
    }
    std::string text(const std::string& sql) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        std::string out;
        if (s && sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0))
            out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        sqlite3_finalize(s);
        return out;
    }
};

class SqliteBackendTest : public ::testing::Test {
protected:
    void SetUp() override { openIn(dir, "MAIN", ";Create=1")->close(); }
    std::string mainFile() const { return (dir.path() / "MAIN.db").string(); }
    void ddl(const std::string& sql) { RawDb(mainFile()).exec(sql); }
    testsupport::TempDir dir;
};

TEST(SqliteOpen, RefusesIncompleteOrMissingTargetsWithoutCreatingFiles) {
    testsupport::TempDir dir;
    auto missing = errorOf([&] { openIn(dir); });
    EXPECT_EQ(missing.sqlState, "08001");
    EXPECT_NE(missing.description.find("Il database 'MAIN' non esiste"), std::string::npos) << missing.description;
    EXPECT_NE(missing.description.find("db init"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "MAIN.db"));

    auto noFolder = errorOf([&] { SqliteBackend::open(ConnectionString("Provider=SQLite;database=MAIN")); });
    EXPECT_NE(noFolder.description.find("Data Source"), std::string::npos);
    auto noName = errorOf([&] { SqliteBackend::open(ConnectionString("Provider=SQLite;Data Source=" + dir.str())); });
    EXPECT_NE(noName.description.find("database="), std::string::npos);
    auto escape = errorOf([&] { openIn(dir, "../MAIN", ";Create=1"); });
    EXPECT_EQ(escape.sqlState, "08001");
    auto badFolder = errorOf([&] {
        SqliteBackend::open(ConnectionString("Provider=SQLite;database=MAIN;Create=1;Data Source=" + dir.str() + "/no"));
    });
    EXPECT_EQ(badFolder.sqlState, "08001");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(SqliteOpen, CreatesOnRequestAndReopensWithAnyKeyCase) {
    testsupport::TempDir dir;
    openIn(dir, "MAIN", ";Create=1")->close();
    ASSERT_TRUE(std::filesystem::exists(dir.path() / "MAIN.db"));
    auto b = SqliteBackend::open(ConnectionString("provider=SQLite;DATABASE=MAIN;data source=" + dir.str() + ";schema=ANY"));
    EXPECT_EQ(b->name(), "SQLite");
    EXPECT_EQ(b->databaseName(), "MAIN");
    // WAL is a property of the file: a plain second session sees it.
    RawDb raw((dir.path() / "MAIN.db").string());
    EXPECT_EQ(raw.text("PRAGMA journal_mode"), "wal");
}

TEST(SqliteOpen, AFileThatIsNotADatabaseIsAClearError) {
    testsupport::TempDir dir;
    std::ofstream(dir.path() / "MAIN.db") << std::string(4096, 'x');
    auto e = errorOf([&] { openIn(dir); });
    EXPECT_EQ(e.sqlState, "08001");
    EXPECT_NE(e.description.find("MAIN"), std::string::npos);
    EXPECT_EQ(e.nativeError & 0xff, SQLITE_NOTADB);
}

// Everything a file is, as far as a user could tell it was touched.
struct FileState {
    std::string bytes;
    std::filesystem::file_time_type mtime;
    std::vector<std::string> names;   // the folder's files
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const std::filesystem::path& file) {
    FileState s{testsupport::readFile(file), std::filesystem::last_write_time(file), {}};
    for (const auto& f : std::filesystem::directory_iterator(file.parent_path()))
        s.names.push_back(f.path().filename().string());
    std::sort(s.names.begin(), s.names.end());
    return s;
}

TEST(SqliteOpen, AFileThatIsNotABrevantoDatabaseIsRefusedAndLeftAsItWas) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"empty", [](const auto& f) { std::ofstream(f, std::ios::binary).flush(); },
         "il file è vuoto, non è un database Brevanto"},
        {"garbage", [](const auto& f) { std::ofstream(f, std::ios::binary) << std::string(100, '\x1b'); },
         "il file non è un database SQLite"},
        {"short SQLite header", [](const auto& f) { std::ofstream(f, std::ios::binary) << "SQLite form"; },
         "il file non è un database SQLite"},
        {"another program's database", [](const auto& f) { RawDb(f.string()).exec("CREATE TABLE CLIENTI (K INT)"); },
         "il file non è un database Brevanto (non contiene le sue tabelle)"},
        {"a database without tables", [](const auto& f) { RawDb(f.string()).exec("PRAGMA user_version = 7"); },
         "il file non è un database Brevanto (non contiene le sue tabelle)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        const auto file = dir.path() / "BREVANTO.db";
        c.make(file);
        const FileState before = stateOf(file);
        for (const char* extra : {"", ";Create=1"}) {
            auto e = errorOf([&] {
                SqliteBackend::open(ConnectionString("database=BREVANTO;Data Source=" + dir.str() + extra));
            });
            EXPECT_EQ(e.sqlState, "08001");
            EXPECT_EQ(e.description, "Impossibile aprire il database 'BREVANTO' (" + file.string() + "): " + c.reason);
        }
        EXPECT_TRUE(stateOf(file) == before) << "the file or its folder changed";
    }
}

TEST(SqliteOpen, AnySchemaAcceptsAnotherProgramsDatabaseAndAHostTableIsEnough) {
    testsupport::TempDir dir;
    RawDb((dir.path() / "ALTRO.db").string()).exec("CREATE TABLE CLIENTI (K INT)");
    RawDb((dir.path() / "PARTE.db").string()).exec("CREATE TABLE cg24_tabpdc (K INT)");
    EXPECT_NO_THROW(openIn(dir, "ALTRO"));
    EXPECT_NO_THROW(SqliteBackend::open(ConnectionString("database=PARTE;Data Source=" + dir.str())));
}

TEST_F(SqliteBackendTest, AnIntercompanyFileThatIsNotABrevantoDatabaseIsRefusedAndLeftAlone) {
    ddl("CREATE TABLE CG24_TABPDC (CG24_CONTO NVARCHAR(10))");
    std::ofstream(dir.path() / "GRP.db", std::ios::binary).flush();
    auto b = SqliteBackend::open(ConnectionString("database=MAIN;Data Source=" + dir.str()));
    auto e = errorOf([&] { b->execute("SELECT CG24_CONTO FROM [GRP].dbo.CG24_TABPDC"); });
    EXPECT_EQ(e.description, "Impossibile usare il database 'GRP' (" + (dir.path() / "GRP.db").string() +
                                 "): il file è vuoto, non è un database Brevanto");
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "GRP.db"), 0u);
    // A file without the tables is detached again: the next try says the same.
    RawDb((dir.path() / "OTHER.db").string()).exec("CREATE TABLE X (K INT)");
    for (int round = 0; round < 2; ++round)
        EXPECT_NE(errorOf([&] { b->execute("SELECT K FROM [OTHER].dbo.X"); }).description.find("non contiene le sue tabelle"),
                  std::string::npos);
}

// A session whose database file goes away under it: the write fails with an error instead of
// landing in a file nobody will ever see again.
TEST(SqliteFileGone, AWriteFailsWhenTheFileWasDeletedRenamedOrReplaced) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<void(const fs::path& dir)> fault;
    };
    auto removeAll = [](const fs::path& dir) {
        for (const char* f : {"MAIN.db", "MAIN.db-wal", "MAIN.db-shm"}) fs::remove(dir / f);
    };
    const std::vector<Case> cases{
        {"files deleted", removeAll},
        {"folder deleted", [](const fs::path& dir) { fs::remove_all(dir / "db"); }},
        {"renamed", [](const fs::path& dir) { fs::rename(dir / "MAIN.db", dir / "MAIN-old.db"); }},
        {"replaced by a copy",
         [&](const fs::path& dir) {
             fs::copy_file(dir / "MAIN.db", dir / "copy.db");
             removeAll(dir);
             fs::rename(dir / "copy.db", dir / "MAIN.db");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir root;
        const fs::path dir = std::string(c.what) == "folder deleted" ? root.path() / "db" : root.path();
        fs::create_directories(dir);
        RawDb((dir / "MAIN.db").string()).exec("CREATE TABLE CG24_TABPDC (CG24_CONTO NVARCHAR(10))");
        auto b = SqliteBackend::open(ConnectionString("database=MAIN;Data Source=" + dir.string()));
        b->execute("INSERT INTO CG24_TABPDC VALUES ('01')");
        c.fault(c.what == std::string("folder deleted") ? root.path() : dir);

        auto e = errorOf([&] { b->execute("INSERT INTO CG24_TABPDC VALUES ('02')"); });
        EXPECT_EQ(e.sqlState, "08S01");
        EXPECT_EQ(e.nativeError, SQLITE_READONLY_DBMOVED);
        EXPECT_EQ(e.description, "Il file del database 'MAIN' (" + (dir / "MAIN.db").string() +
                                     ") è stato cancellato, spostato o sostituito dopo l'apertura: modifica non salvata");
        EXPECT_THROW(b->execute("UPDATE CG24_TABPDC SET CG24_CONTO = '03'"), db::Error);
    }
}

TEST_F(SqliteBackendTest, AWriteToADeletedIntercompanyDatabaseFails) {
    RawDb((dir.path() / "GRP.db").string()).exec("CREATE TABLE CG24_TABPDC (CG24_CONTO NVARCHAR(10))");
    auto b = openIn(dir);
    b->execute("INSERT INTO [GRP].dbo.CG24_TABPDC VALUES ('01')");
    std::filesystem::remove(dir.path() / "GRP.db");
    auto e = errorOf([&] { b->execute("INSERT INTO [GRP].dbo.CG24_TABPDC VALUES ('02')"); });
    EXPECT_NE(e.description.find("Il file del database 'GRP'"), std::string::npos) << e.description;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "GRP.db"));
    // Reading is not a write: the session still reads what it has open.
    EXPECT_NO_THROW(b->execute("SELECT CG24_CONTO FROM [GRP].dbo.CG24_TABPDC"));
}

TEST_F(SqliteBackendTest, ClosedBackendRefusesCommands) {
    auto b = openIn(dir);
    b->close();
    b->close();
    EXPECT_FALSE(b->isOpen());
    EXPECT_EQ(errorOf([&] { b->execute("SELECT 1"); }).sqlState, "08003");
}

TEST_F(SqliteBackendTest, TempTablesArePrivateToTheSessionAndEndWithIt) {
    ddl("CREATE TABLE CG24_TABPDC (CG24_CONTO NVARCHAR(10)); INSERT INTO CG24_TABPDC VALUES ('0101')");
    auto a = openIn(dir);
    a->execute("SELECT CG24_CONTO AS CONTO INTO #CORRPDCRICL FROM CG24_TABPDC");
    a->execute("INSERT INTO #CORRPDCRICL (CONTO) VALUES ('0102')");
    EXPECT_EQ(a->execute("SELECT CONTO FROM #CORRPDCRICL").resultSets.at(0).rows.size(), 2u);

    auto b = openIn(dir);
    EXPECT_EQ(errorOf([&] { b->execute("SELECT CONTO FROM #CORRPDCRICL"); }).sqlState, "42S02");
    a->close();
    auto again = openIn(dir);
    EXPECT_EQ(errorOf([&] { again->execute("SELECT CONTO FROM #CORRPDCRICL"); }).sqlState, "42S02");
}

TEST_F(SqliteBackendTest, ThreePartNamesAttachTheGroupDatabaseOnce) {
    {
        RawDb grp((dir.path() / "GRP.db").string());
        grp.exec("CREATE TABLE CG24_TABPDC (CG24_GRUPPO_CG10 TINYINT, CG24_CONTO NVARCHAR(10), CG24_DESCR NVARCHAR(60));"
                 "INSERT INTO CG24_TABPDC VALUES (1, '0101', 'Cassa del gruppo')");
    }
    ddl("CREATE TABLE CG24_TABPDC (CG24_GRUPPO_CG10 TINYINT, CG24_CONTO NVARCHAR(10), CG24_DESCR NVARCHAR(60));"
        "INSERT INTO CG24_TABPDC VALUES (1, '0101', 'Cassa locale')");
    auto b = openIn(dir);
    for (int round = 0; round < 2; ++round) {
        auto r = b->execute("SELECT CG24_DESCR FROM [GRP].dbo.CG24_TABPDC WHERE CG24_CONTO = '0101'");
        ASSERT_EQ(r.resultSets.at(0).rows.size(), 1u);
        EXPECT_EQ(r.resultSets[0].rows[0][0], Variant("Cassa del gruppo"));
    }
    // The host database's own name is the main file, not another attachment.
    auto own = b->execute("SELECT CG24_DESCR FROM [MAIN].dbo.CG24_TABPDC");
    EXPECT_EQ(own.resultSets.at(0).rows.at(0)[0], Variant("Cassa locale"));

    auto missing = errorOf([&] { b->execute("SELECT CG24_DESCR FROM [NOGRP].dbo.CG24_TABPDC"); });
    EXPECT_NE(missing.description.find("Il database 'NOGRP' non esiste"), std::string::npos) << missing.description;
    EXPECT_EQ(missing.nativeError, 911);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "NOGRP.db"));
}

TEST_F(SqliteBackendTest, ASecondSessionWritesWhileTheFirstHoldsARead) {
    ddl("CREATE TABLE T (K INT PRIMARY KEY, V NVARCHAR(10))");
    auto b = openIn(dir);
    b->execute("INSERT INTO T VALUES (1, 'a')");
    RawDb reader(mainFile());
    reader.exec("BEGIN");
    EXPECT_EQ(reader.text("SELECT V FROM T WHERE K = 1"), "a");   // read transaction open
    EXPECT_EQ(b->execute("INSERT INTO T VALUES (2, 'b')").rowsAffected, 1);
    EXPECT_EQ(reader.text("SELECT COUNT(*) FROM T"), "1");          // its snapshot is stable
    reader.exec("COMMIT");
    EXPECT_EQ(reader.text("SELECT COUNT(*) FROM T"), "2");
}

TEST_F(SqliteBackendTest, AWriterWaitsForAShortExclusiveLockInsteadOfFailing) {
    ddl("CREATE TABLE T (K INT PRIMARY KEY)");
    auto b = openIn(dir);
    RawDb other(mainFile());
    other.exec("BEGIN IMMEDIATE; INSERT INTO T VALUES (1)");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.exec("COMMIT");
    });
    long long affected = 0;
    EXPECT_NO_THROW(affected = b->execute("INSERT INTO T VALUES (2)").rowsAffected);
    release.join();
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(b->execute("SELECT COUNT(*) AS N FROM T").resultSets.at(0).rows.at(0)[0], Variant(2));
}

TEST_F(SqliteBackendTest, DuplicateKeyStopsTheBatchKeepingEarlierStatements) {
    ddl("CREATE TABLE CG83_COLLRICL (CG83_CODICE_CG10 TINYINT, CG83_CONTO_CG24 NVARCHAR(10), "
        "CG83_CONTORICL_PC03 NVARCHAR(15), PRIMARY KEY (CG83_CODICE_CG10, CG83_CONTO_CG24))");
    auto b = openIn(dir);
    auto e = errorOf([&] {
        b->execute("INSERT INTO CG83_COLLRICL VALUES (1, '01', 'A');\n"
                   "INSERT INTO CG83_COLLRICL VALUES (1, '01', 'B');\n"
                   "INSERT INTO CG83_COLLRICL VALUES (1, '02', 'C')");
    });
    EXPECT_EQ(e.sqlState, "23000");
    EXPECT_EQ(e.nativeError, SQLITE_CONSTRAINT_PRIMARYKEY);
    EXPECT_EQ(e.source, "SQLite");
    EXPECT_NE(e.description.find("constraint failed"), std::string::npos);
    auto rows = b->execute("SELECT CG83_CONTORICL_PC03 FROM CG83_COLLRICL").resultSets.at(0).rows;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], Variant("A"));
}

TEST_F(SqliteBackendTest, ErrorsCarryAdoLikeStates) {
    ddl("CREATE TABLE T (K INT)");
    auto b = openIn(dir);
    EXPECT_EQ(errorOf([&] { b->execute("SELECT K FROM NOPE"); }).sqlState, "42S02");
    EXPECT_EQ(errorOf([&] { b->execute("SELECT NOPE FROM T"); }).sqlState, "42S22");
    auto tr = errorOf([&] { b->execute("BEGIN TRANSACTION"); });
    EXPECT_EQ(tr.source, "T-SQL translator");
    EXPECT_EQ(tr.sqlState, "42000");
    EXPECT_NE(tr.description.find("BEGIN TRANSACTION"), std::string::npos) << tr.description;
}

TEST_F(SqliteBackendTest, ValuesKeepTheirStorageTypeAndFieldsTheirDeclaredType) {
    ddl("CREATE TABLE V (A TINYINT, B SMALLINT, C INT, D BIGINT, E DECIMAL(18,2), F FLOAT, "
        "G NVARCHAR(15), H NVARCHAR(15))");
    auto b = openIn(dir);
    b->execute("INSERT INTO V VALUES (1, 2, 3, 9000000000, 12.5, 0.25, 'Caffè l''aroma', NULL)");
    auto r = b->execute("SELECT A, B, C, D, E, F, G, H, 7 AS X, 'y' AS Y, 1.5 AS Z, NULL AS N FROM V");
    const auto& rs = r.resultSets.at(0);
    ASSERT_EQ(rs.fields.size(), 12u);
    const int expected[] = {db::ado::adUnsignedTinyInt, db::ado::adSmallInt, db::ado::adInteger, db::ado::adBigInt,
                            db::ado::adDecimal, db::ado::adDouble, db::ado::adVarWChar, db::ado::adVarWChar,
                            db::ado::adInteger, db::ado::adVarWChar, db::ado::adDouble, db::ado::adVariant};
    for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(rs.fields[i].type, expected[i]) << rs.fields[i].name;
    EXPECT_EQ(rs.fields[0].name, "A");
    EXPECT_EQ(rs.fields[6].definedSize, 15);
    const auto& row = rs.rows.at(0);
    EXPECT_EQ(row[0].type(), Variant::Type::Integer);
    EXPECT_EQ(row[3], Variant(9000000000LL));
    EXPECT_EQ(row[4].type(), Variant::Type::Decimal);
    EXPECT_DOUBLE_EQ(row[4].toDouble(), 12.5);
    EXPECT_EQ(row[5].type(), Variant::Type::Double);
    EXPECT_EQ(row[6], Variant("Caffè l'aroma"));
    EXPECT_TRUE(row[7].isNull());
    EXPECT_TRUE(row[11].isNull());
    EXPECT_EQ(r.rowsAffected, -1);
}

TEST_F(SqliteBackendTest, RowsAffectedSumsTheDataChangingStatementsOnly) {
    ddl("CREATE TABLE T (K INT)");
    auto b = openIn(dir);
    EXPECT_EQ(b->execute("SELECT K FROM T").rowsAffected, -1);
    EXPECT_EQ(b->execute("INSERT INTO T VALUES (1), (2), (3)").rowsAffected, 3);
    EXPECT_EQ(b->execute("UPDATE T SET K = K + 10 WHERE K > 1;\nDELETE FROM T WHERE K = 1").rowsAffected, 3);
    EXPECT_EQ(b->execute("UPDATE T SET K = 0 WHERE K = 99").rowsAffected, 0);
    // A statement run after an INSERT does not inherit its count.
    auto r = b->execute("INSERT INTO T VALUES (4);\nSELECT K INTO #W FROM T;\nSELECT K FROM T");
    EXPECT_EQ(r.rowsAffected, 1);
    EXPECT_EQ(r.resultSets.size(), 1u);
    // A comment-only remainder is no statement.
    EXPECT_NO_THROW(b->execute("SELECT K FROM T -- fine"));
}

// Steps as the translator hands them over: OUTPUT … INTO captured into a session table,
// checks that raise their own message, several statements and comments in one step.
TEST_F(SqliteBackendTest, TranslatedStepsCaptureCheckAndSplit) {
    ddl("CREATE TABLE T (K INT PRIMARY KEY, V NVARCHAR(10))");
    auto b = openIn(dir);
    db::tsql::Translation t;
    t.steps.push_back({"CREATE TEMP TABLE \"@MyVarTable\" (ACT TEXT, K INT);\n-- only a comment after this", "", false, ""});
    t.steps.push_back({"INSERT INTO T VALUES (1, 'a'), (2, 'b') ON CONFLICT (K) DO UPDATE SET V = excluded.V"
                       " RETURNING 'INSERT', K", "@MyVarTable", false, ""});
    t.steps.push_back({"SELECT ACT, K FROM \"@MyVarTable\" ORDER BY K; /* trailing */", "", true, ""});
    auto r = b->run(t);
    EXPECT_EQ(r.rowsAffected, 2);
    ASSERT_EQ(r.resultSets.size(), 1u);
    ASSERT_EQ(r.resultSets[0].rows.size(), 2u);
    EXPECT_EQ(r.resultSets[0].rows[1][0], Variant("INSERT"));
    EXPECT_EQ(r.resultSets[0].rows[1][1], Variant(2));

    db::tsql::Translation check;
    check.steps.push_back({"SELECT COUNT(*) - 1 FROM T", "", false, "La sorgente ha righe doppie"});
    check.steps.push_back({"DELETE FROM T", "", false, ""});
    auto e = errorOf([&] { b->run(check); });
    EXPECT_EQ(e.description, "La sorgente ha righe doppie");
    // The check stopped the batch before the DELETE.
    EXPECT_EQ(b->execute("SELECT COUNT(*) AS N FROM T").resultSets.at(0).rows.at(0)[0], Variant(2));
    check.steps[0].sql = "SELECT 0";
    EXPECT_EQ(b->run(check).rowsAffected, 2);
}

TEST_F(SqliteBackendTest, AnAtomicStatementRollsBackAllItsStepsOnFailure) {
    ddl("CREATE TABLE T (K INT PRIMARY KEY)");
    auto b = openIn(dir);
    db::tsql::Translation t;
    t.atomic = true;
    t.steps.push_back({"INSERT INTO T VALUES (1)", "", false, ""});
    t.steps.push_back({"INSERT INTO T VALUES (1)", "", false, ""});
    EXPECT_EQ(errorOf([&] { b->run(t); }).sqlState, "23000");
    EXPECT_EQ(b->execute("SELECT COUNT(*) AS N FROM T").resultSets.at(0).rows.at(0)[0], Variant(0));
    t.steps[1].sql = "INSERT INTO T VALUES (2)";
    EXPECT_EQ(b->run(t).rowsAffected, 2);
    EXPECT_EQ(b->execute("SELECT COUNT(*) AS N FROM T").resultSets.at(0).rows.at(0)[0], Variant(2));
}

// The bulk batch's shape end to end: MERGE … OUTPUT INTO a table variable, then its count.
TEST_F(SqliteBackendTest, MergeOutputIntoATableVariableCountsUpdatedAndInsertedRows) {
    ddl("CREATE TABLE T (K INT PRIMARY KEY, V NVARCHAR(10)); INSERT INTO T VALUES (1, 'old');"
        "CREATE TABLE S (K INT, V NVARCHAR(10)); INSERT INTO S VALUES (1, 'new'), (2, 'two')");
    auto b = openIn(dir);
    auto r = b->execute(
        "DECLARE @MyVarTable TABLE (Azione NVARCHAR(10), K INT);\n"
        "MERGE T AS Target USING S AS Source ON (Target.K = Source.K)\n"
        "WHEN MATCHED THEN UPDATE SET Target.V = Source.V\n"
        "WHEN NOT MATCHED THEN INSERT (K, V) VALUES (Source.K, Source.V)\n"
        "OUTPUT $action, inserted.K INTO @MyVarTable;\n"
        "SELECT COUNT(*) AS ELABORATI FROM @MyVartable;");
    ASSERT_EQ(r.resultSets.size(), 1u);
    EXPECT_EQ(r.resultSets[0].rows.at(0)[0], Variant(2));
    EXPECT_EQ(r.rowsAffected, 2);
    auto rows = b->execute("SELECT V FROM T ORDER BY K").resultSets.at(0).rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], Variant("new"));
}

// A commit returns once it is on the disk: a confirmed save survives a power cut.
TEST_F(SqliteBackendTest, TheSessionWritesAheadAndSyncsEveryCommit) {
    RawDb((dir.path() / "GRP.db").string()).exec("CREATE TABLE G (K INT)");
    auto b = openIn(dir);
    b->execute("SELECT K FROM [GRP].dbo.G");
    db::tsql::Translation t;
    t.steps.push_back({"PRAGMA journal_mode", "", true, ""});
    t.steps.push_back({"PRAGMA synchronous", "", true, ""});
    t.steps.push_back({"PRAGMA GRP.synchronous", "", true, ""});
    auto r = b->run(t);
    ASSERT_EQ(r.resultSets.size(), 3u);
    EXPECT_EQ(r.resultSets[0].rows.at(0)[0], Variant("wal"));
    EXPECT_EQ(r.resultSets[1].rows.at(0)[0], Variant(2));   // FULL
    EXPECT_EQ(r.resultSets[2].rows.at(0)[0], Variant(2));
}

// Texts sent again run from the session's kept translations and statements: they must
// see the tables as they are now and fail as a first run would.
TEST_F(SqliteBackendTest, ARepeatedTextSeesSessionTablesMadeAgainWithOtherColumns) {
    ddl("CREATE TABLE T (K INT, V NVARCHAR(10)); INSERT INTO T VALUES (1, 'a'), (2, 'b')");
    auto b = openIn(dir);
    const std::string read = "SELECT * FROM #W ORDER BY 1";
    b->execute("SELECT K INTO #W FROM T");
    for (int round = 0; round < 2; ++round) {
        auto r = b->execute(read);
        ASSERT_EQ(r.resultSets.at(0).fields.size(), 1u);
        EXPECT_EQ(r.resultSets[0].rows.size(), 2u);
    }
    b->execute("DROP TABLE #W");
    b->execute("SELECT V, K INTO #W FROM T WHERE K = 2");
    auto r = b->execute(read);
    ASSERT_EQ(r.resultSets.at(0).fields.size(), 2u);
    EXPECT_EQ(r.resultSets[0].fields[0].name, "V");
    ASSERT_EQ(r.resultSets[0].rows.size(), 1u);
    EXPECT_EQ(r.resultSets[0].rows[0][0], Variant("b"));
}

TEST_F(SqliteBackendTest, ARefusedTextIsRefusedWithTheSameErrorEveryTime) {
    auto b = openIn(dir);
    auto fresh = openIn(dir);
    auto same = [](const db::ErrorItem& x, const db::ErrorItem& y) {
        EXPECT_EQ(x.description, y.description);
        EXPECT_EQ(x.nativeError, y.nativeError);
        EXPECT_EQ(x.sqlState, y.sqlState);
        EXPECT_EQ(x.source, y.source);
    };
    // Refused by the translator.
    const auto first = errorOf([&] { b->execute("BEGIN TRANSACTION"); });
    same(errorOf([&] { b->execute("BEGIN TRANSACTION"); }), first);
    // Refused by SQLite when first prepared, then once the text had run (the kept statement is
    // prepared again and fails there).
    const auto missing = errorOf([&] { fresh->execute("DROP TABLE #W"); });
    EXPECT_EQ(missing.sqlState, "42S02");
    same(errorOf([&] { b->execute("DROP TABLE #W"); }), missing);
    b->execute("SELECT 1 AS K INTO #W");
    b->execute("DROP TABLE #W");
    same(errorOf([&] { b->execute("DROP TABLE #W"); }), missing);
    fresh->execute("SELECT 1 AS K INTO #W");
    const auto noColumn = errorOf([&] { fresh->execute("SELECT NOPE FROM #W"); });
    EXPECT_EQ(noColumn.sqlState, "42S22");
    b->execute("SELECT 1 AS NOPE INTO #W");
    EXPECT_EQ(b->execute("SELECT NOPE FROM #W").resultSets.at(0).rows.size(), 1u);
    b->execute("DROP TABLE #W");
    b->execute("SELECT 1 AS K INTO #W");
    same(errorOf([&] { b->execute("SELECT NOPE FROM #W"); }), noColumn);
}

TEST_F(SqliteBackendTest, KeptStatementsFollowTransactionsAttachmentsAndManyTexts) {
    ddl("CREATE TABLE T (K INT PRIMARY KEY)");
    {
        RawDb grp((dir.path() / "GRP.db").string());
        grp.exec("CREATE TABLE G (K INT); INSERT INTO G VALUES (7)");
    }
    auto b = openIn(dir);
    const std::string insert = "INSERT INTO T VALUES (1)";
    const std::string count = "SELECT COUNT(*) AS N FROM T";
    b->beginTransaction();
    EXPECT_EQ(b->execute(insert).rowsAffected, 1);
    b->rollbackTransaction();
    EXPECT_EQ(b->execute(count).resultSets.at(0).rows.at(0)[0], Variant(0));
    b->beginTransaction();
    EXPECT_EQ(b->execute(insert).rowsAffected, 1);
    b->commitTransaction();
    EXPECT_EQ(errorOf([&] { b->execute(insert); }).sqlState, "23000");
    EXPECT_EQ(b->execute(count).resultSets.at(0).rows.at(0)[0], Variant(1));
    // More texts than the session keeps: the first ones still run, and a table used by kept
    // statements can be dropped (none is left running).
    for (int i = 0; i < 600; ++i)
        EXPECT_EQ(b->execute("SELECT K + " + std::to_string(i) + " AS X FROM [GRP].dbo.G").resultSets.at(0).rows.at(0)[0],
                  Variant(7 + i));
    EXPECT_EQ(b->execute(count).resultSets.at(0).rows.at(0)[0], Variant(1));
    b->execute("DROP TABLE T");
    EXPECT_EQ(errorOf([&] { b->execute(count); }).sqlState, "42S02");
    // A prepared statement with markers still gets its own statement.
    b->execute("CREATE TABLE T (K INT PRIMARY KEY)");
    auto prepared = b->prepare("INSERT INTO T VALUES (?)");
    EXPECT_EQ(prepared->execute({Variant(5)}), 1);
    EXPECT_EQ(prepared->execute({Variant(6)}), 1);
    EXPECT_EQ(b->execute(count).resultSets.at(0).rows.at(0)[0], Variant(2));
}

// The bulk correlation's MERGE into CG83_COLLRICL runs as one UPSERT on the table's key; the
// same MERGE into a table the translator knows no key of runs as UPDATE then INSERT. Both must
// leave the same rows, report the same actions and refuse the same sources the same way.
class MergeForms : public SqliteBackendTest {
protected:
    struct Outcome {
        std::vector<std::string> actions;   // "action key value", sorted
        std::vector<std::string> rows;      // the target's rows, sorted
        long long rowsAffected = -2;
        std::string error;                  // "state native description" when refused
    };

    void SetUp() override {
        SqliteBackendTest::SetUp();
        for (const char* table : {"CG83_COLLRICL", "CG83_PLAIN"})
            ddl(std::string("CREATE TABLE ") + table +
                " (CG83_CODICE_CG10 TINYINT NOT NULL, CG83_CONTO_CG24 NVARCHAR(10) COLLATE TSQL NOT NULL, "
                "CG83_CODICERICL_PC01 SMALLINT NOT NULL, CG83_INDSEGNO TINYINT NOT NULL CHECK (CG83_INDSEGNO IN (1, 2)), "
                "CG83_CONTORICL_PC03 "
                "NVARCHAR(15) COLLATE TSQL, PRIMARY KEY (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                "CG83_INDSEGNO));"
                "INSERT INTO " + table + " VALUES (10, 'A', 20, 1, 'old'), (10, 'b', 20, 2, 'old2'), (11, 'A', 20, 1, 'x')");
        ddl("CREATE TABLE S (G INT, C NVARCHAR(10) COLLATE TSQL, R INT, SEGNO INT, V NVARCHAR(15))");
    }

    std::string mergeText(const std::string& table, bool output) const {
        return "DECLARE @Esito TABLE (Azione NVARCHAR(10), G TINYINT, C NVARCHAR(10), V NVARCHAR(15));\n"
               "MERGE " + table + " AS Target USING S AS Source\n"
               "ON (Target.CG83_CODICE_CG10 = Source.G AND Target.CG83_CONTO_CG24 = Source.C\n"
               "    AND Target.CG83_CODICERICL_PC01 = Source.R AND Target.CG83_INDSEGNO = Source.SEGNO)\n"
               "WHEN MATCHED THEN UPDATE SET Target.CG83_CONTORICL_PC03 = Source.V\n"
               "WHEN NOT MATCHED THEN INSERT (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
               "CG83_CONTORICL_PC03, CG83_INDSEGNO) VALUES (Source.G, Source.C, Source.R, Source.V, Source.SEGNO)\n" +
               (output ? "OUTPUT $action, inserted.CG83_CODICE_CG10, inserted.CG83_CONTO_CG24, "
                         "inserted.CG83_CONTORICL_PC03 INTO @Esito;\n"
                         "SELECT Azione, G, C, V FROM @Esito"
                       : "");
    }

    // Each merge starts from the rows SetUp stored: it runs in a transaction rolled back after.
    Outcome merge(const std::string& table, const std::string& sourceRows, bool output = true) {
        auto b = openIn(dir);
        b->beginTransaction();
        b->execute("DELETE FROM S");
        if (!sourceRows.empty()) b->execute("INSERT INTO S VALUES " + sourceRows);
        Outcome o;
        try {
            auto r = b->execute(mergeText(table, output));
            o.rowsAffected = r.rowsAffected;
            if (output)
                for (const auto& row : r.resultSets.at(0).rows)
                    o.actions.push_back(row[0].toText() + " " + row[1].toText() + " " + row[2].toText() + " " +
                                        row[3].toText());
        } catch (const db::Error& e) {
            const auto& item = e.items().front();
            o.error = item.sqlState + " " + std::to_string(item.nativeError) + " " +
                      db::replaceAll(item.description, table, "<table>");
        }
        const auto stored = b->execute("SELECT * FROM " + table);
        for (const auto& row : stored.resultSets.at(0).rows) {
            std::string line;
            for (const auto& v : row) line += v.toText() + "|";
            o.rows.push_back(line);
        }
        b->rollbackTransaction();
        std::sort(o.actions.begin(), o.actions.end());
        std::sort(o.rows.begin(), o.rows.end());
        return o;
    }

    void expectSameOutcome(const std::string& sourceRows, bool output = true) {
        const Outcome upsert = merge("CG83_COLLRICL", sourceRows, output);
        const Outcome plain = merge("CG83_PLAIN", sourceRows, output);
        EXPECT_EQ(upsert.actions, plain.actions) << sourceRows;
        EXPECT_EQ(upsert.rows, plain.rows) << sourceRows;
        EXPECT_EQ(upsert.rowsAffected, plain.rowsAffected) << sourceRows;
        EXPECT_EQ(upsert.error, plain.error) << sourceRows;
    }
};

TEST_F(MergeForms, TheKeyedTableIsMergedByOneUpsertAndTheOtherInTwoSteps) {
    auto text = [&](const std::string& table) {
        std::string all;
        for (const auto& step : db::tsql::translate(mergeText(table, true), hostdb::translateOptions()).steps)
            all += step.sql + "\n";
        return all;
    };
    EXPECT_NE(text("CG83_COLLRICL").find("ON CONFLICT (CG83_CODICE_CG10, CG83_CONTO_CG24, CG83_CODICERICL_PC01, "
                                         "CG83_INDSEGNO) DO UPDATE SET CG83_CONTORICL_PC03 = excluded.CG83_CONTORICL_PC03"),
              std::string::npos);
    EXPECT_EQ(text("CG83_COLLRICL").find("NOT EXISTS"), std::string::npos);
    EXPECT_EQ(text("CG83_PLAIN").find("ON CONFLICT"), std::string::npos);
}

TEST_F(MergeForms, BothFormsCountInsertedAndUpdatedRowsAlike) {
    // A key in other case and with trailing blanks matches; another chart's same account does not.
    const std::string rows = "(10, 'a  ', 20, 1, 'new'), (10, 'B', 20, 2, 'new2'), (10, 'C', 20, 1, 'ins1'), "
                             "(10, 'D', 20, 2, 'ins2'), (12, 'A', 20, 1, 'ins3')";
    const Outcome upsert = merge("CG83_COLLRICL", rows);
    EXPECT_EQ(upsert.error, "");
    EXPECT_EQ(upsert.actions, (std::vector<std::string>{"INSERT 10 C ins1", "INSERT 10 D ins2", "INSERT 12 A ins3",
                                                        "UPDATE 10 A new", "UPDATE 10 b new2"}));
    EXPECT_EQ(upsert.rowsAffected, 5);
    EXPECT_EQ(upsert.rows.size(), 6u);
    expectSameOutcome(rows);
    expectSameOutcome(rows, false);
    expectSameOutcome("");                                              // nothing to merge
    expectSameOutcome("(10, 'A', 20, 1, NULL), (10, 'Z', 20, 1, NULL)");   // NULL values are values
    // A second run updates every row it inserted the first time.
    auto b = openIn(dir);
    b->execute("INSERT INTO S VALUES " + rows);
    b->execute(mergeText("CG83_COLLRICL", true));
    auto again = b->execute(mergeText("CG83_COLLRICL", true)).resultSets.at(0).rows;
    ASSERT_EQ(again.size(), 5u);
    for (const auto& row : again) EXPECT_EQ(row[0], Variant("UPDATE"));
}

TEST_F(MergeForms, BothFormsRefuseTheSameSourcesWithTheSameErrorAndChangeNothing) {
    // Two source rows for one stored row (in other case): SQL Server's error 8672.
    expectSameOutcome("(10, 'A', 20, 1, 'one'), (10, 'a', 20, 1, 'two'), (10, 'C', 20, 1, 'ins')");
    // Two source rows for one new row: the key's constraint, as when inserting both.
    expectSameOutcome("(10, 'N', 20, 1, 'one'), (10, 'n ', 20, 1, 'two'), (10, 'A', 20, 1, 'upd')");
    // A NULL key column and a value the column refuses.
    expectSameOutcome("(10, NULL, 20, 1, 'one')");
    expectSameOutcome("(10, 'Q', 20, 3, 'one')");
    const Outcome twice = merge("CG83_COLLRICL", "(10, 'A', 20, 1, 'one'), (10, 'a', 20, 1, 'two')");
    EXPECT_NE(twice.error.find("The MERGE statement attempted to UPDATE or DELETE the same row"), std::string::npos);
    const Outcome refused = merge("CG83_COLLRICL", "(10, 'N', 20, 1, 'one'), (10, 'n', 20, 1, 'two')");
    EXPECT_EQ(refused.error.substr(0, 6), "23000 ");
    EXPECT_EQ(refused.rows.size(), 3u);
}

TEST(SqliteMapping, SqlStatesFollowTheKindOfFailure) {
    using db::sqlite::sqlStateFor;
    EXPECT_EQ(sqlStateFor(SQLITE_CONSTRAINT_UNIQUE, "UNIQUE constraint failed: T.K"), "23000");
    EXPECT_EQ(sqlStateFor(SQLITE_CONSTRAINT_NOTNULL, "NOT NULL constraint failed: T.K"), "23000");
    EXPECT_EQ(sqlStateFor(SQLITE_ERROR, "near \"FROMM\": syntax error"), "42000");
    EXPECT_EQ(sqlStateFor(SQLITE_ERROR, "no such table: X"), "42S02");
    EXPECT_EQ(sqlStateFor(SQLITE_ERROR, "no such column: X"), "42S22");
    EXPECT_EQ(sqlStateFor(SQLITE_ERROR, "no such function: F"), "HY000");
    EXPECT_EQ(sqlStateFor(SQLITE_BUSY, "database is locked"), "HYT00");
    EXPECT_EQ(sqlStateFor(SQLITE_LOCKED_SHAREDCACHE, "database table is locked"), "HYT00");
    EXPECT_EQ(sqlStateFor(SQLITE_CANTOPEN, "unable to open database file"), "08001");
    EXPECT_EQ(sqlStateFor(SQLITE_IOERR_WRITE, "disk I/O error"), "HY000");
}

// Declared types the values test above does not meet: spacing, affinity-only names
// (CREATE TABLE … AS SELECT declares TEXT / NUM / INT) and none at all.
TEST(SqliteMapping, DeclaredTypesGiveAdoTypesAndSizes) {
    using db::sqlite::fieldInfoForDeclType;
    EXPECT_EQ(fieldInfoForDeclType("varchar( 60 )").definedSize, 60);
    EXPECT_EQ(fieldInfoForDeclType("TEXT").type, db::ado::adVarWChar);
    EXPECT_EQ(fieldInfoForDeclType("NUM").type, db::ado::adDecimal);
    EXPECT_EQ(fieldInfoForDeclType("INT").type, db::ado::adInteger);
    EXPECT_EQ(fieldInfoForDeclType("DECIMAL(9,2)").definedSize, 9);
    EXPECT_EQ(fieldInfoForDeclType("").type, db::ado::adVariant);
}

}  // namespace
