// What a user reads when a command line or a connection is wrong: Italian sentences that keep
// the names, values and the database's own detail.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "CliTestHelpers.h"

using testing::HasSubstr;
using testing::Not;
using namespace clitest;

namespace {

TEST(CommandLineTexts, OptionMistakesAreToldInItalian) {
    auto unknown = cli("list --kind COGE --pdc 10 --ricl 101 --colore rosso");
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_THAT(unknown.err, testing::StartsWith("Errore: Argomenti non previsti: "));
    EXPECT_THAT(unknown.err, HasSubstr("--colore"));
    EXPECT_THAT(unknown.err, testing::EndsWith("\nPer l'aiuto: brevanto-cli --help\n"));

    auto missing = cli("list --kind COGE --pdc 10");
    EXPECT_THAT(missing.err, HasSubstr("Errore: Manca l'opzione obbligatoria --ricl"));

    auto noValue = cli("list --kind COGE --pdc 10 --ricl");
    EXPECT_THAT(noValue.err, HasSubstr("Errore: Manca il valore dell'opzione --ricl"));

    auto notANumber = cli("list --kind COGE --pdc 10 --ricl 101 --limit molte");
    EXPECT_THAT(notANumber.err, HasSubstr("Errore: Valore non valido per --limit"));
    EXPECT_THAT(notANumber.err, HasSubstr("molte"));

    auto noCommand = cli("");
    EXPECT_THAT(noCommand.err, HasSubstr("Errore: Indicare un comando"));

    auto help = cli("list --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.out, HasSubstr("Uso:"));
    EXPECT_THAT(help.out, HasSubstr("Opzioni:"));
    EXPECT_THAT(help.out, HasSubstr("Mostra questo aiuto ed esce"));
    EXPECT_THAT(help.out, HasSubstr("OBBLIGATORIA"));
    for (const auto& r : {unknown, missing, noValue, notANumber, noCommand, help}) {
        EXPECT_THAT(r.err + r.out, Not(HasSubstr("Run with --help")));
        EXPECT_THAT(r.err + r.out, Not(HasSubstr("Options:")));
    }
}

TEST(CommandLineTexts, ABadConnectionIsToldInItalianWithTheDatabasesDetail) {
    testsupport::TempDir dir;
    auto missing = cli("sql --conn " + sh("Provider=SQLite;database=NESSUNO;Data Source=" + dir.str()) + " 'SELECT 1'");
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_THAT(missing.err, HasSubstr("Il database 'NESSUNO' non esiste in " + dir.str()));

    auto garbage = cli("sql --conn " + sh("questa non è una stringa di connessione") + " 'SELECT 1'");
    EXPECT_NE(garbage.exitCode, 0);
    EXPECT_THAT(garbage.err, HasSubstr("Errore"));
    EXPECT_THAT(garbage.err, Not(HasSubstr("unable to open")));

    auto odbc = cli("sql --conn " + sh("Provider=ODBC;Driver=FreeTDS;Server=127.0.0.1;Port=1;Database=X;TDS_Version=7.4;") +
                    " 'SELECT 1'");
    EXPECT_NE(odbc.exitCode, 0);
    EXPECT_THAT(odbc.err, HasSubstr("Connessione al database ODBC non riuscita: "));
}

// A typed argument can hold a terminal's escape sequences (colours, clear the screen, the
// 8-bit CSI): echoed in a message they show as \xNN, while accented letters stay as typed.
TEST(CommandLineTexts, HostileArgumentsAreEchoedAsTextNotAsTerminalCommands) {
    testsupport::TempDir dir;
    const std::string hostile = "caff\xc3\xa8\x1b[31mrosso\x07\r\x1b[2J\xc2\x9b" "31m\xff";
    const std::string shown = "caff\xc3\xa8\\x1B[31mrosso\\x07\\x0D\\x1B[2J\\xC2\\x9B31m\\xFF";
    const std::vector<testsupport::CommandResult> runs{
        cli("list --kind " + sh(hostile) + " --pdc 10 --ricl 101 --dir " + sh(dir.str())),
        cli("list --kind COGE --pdc 10 --ricl 101 " + sh(hostile)),
        cli("sql --conn " + sh("Provider=" + hostile) + " 'SELECT 1'"),
        cli("sql --conn " + sh("Provider=SQLite;database=X;Data Source=" + dir.str() + "/" + hostile) + " 'SELECT 1'"),
    };
    for (const auto& r : runs) {
        EXPECT_NE(r.exitCode, 0);
        EXPECT_THAT(r.err, HasSubstr(shown));
        for (char control : {'\x1b', '\x07', '\r'}) EXPECT_EQ(r.err.find(control), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("\xc2\x9b"), std::string::npos) << r.err;
    }
}

}  // namespace
