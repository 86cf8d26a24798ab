// brevanto-cli print on the demo database, without a display: each kind that prints writes a
// PDF whose pages poppler reads back; an unknown chart, COIN, an unwritable file and a bad
// kind get a clear message and leave no file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestHelpers.h"

using namespace clitest;
using testing::HasSubstr;
using testsupport::TempDir;

namespace {

class PrintCommand : public DemoDatabaseSuite {
protected:
    // Runs print with no display and no platform chosen, as on a server.
    static testsupport::CommandResult print(const std::string& args) {
        return testsupport::runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + std::string(BREVANTO_CLI) +
                                       " print --dir " + sh(dir_->str()) + " " + args);
    }
    static std::string pdfText(const std::filesystem::path& file) {
        return testsupport::runCommand("pdftotext -layout " + sh(file.string()) + " -").out;
    }
    TempDir out;
};

TEST_F(PrintCommand, EachKindThatPrintsWritesItsPdf) {
    struct Case {
        const char* args;
        const char* heading;
    };
    for (const Case& c : {Case{"--kind COGE --pdc 80 --ricl 103", "PdC riclassificazione: 103 - "},
                          Case{"--kind hype --pdc 10 --ricl 301", "PdC Hyperion: 301 - "},
                          Case{"--kind CONS --intercompany 1 --ricl 401", "Struttura intercompany: 1 - Gruppo Rossi"}}) {
        SCOPED_TRACE(c.args);
        const auto file = out.path() / "stampa.pdf";
        auto r = print(std::string(c.args) + " --out " + sh(file.string()));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_THAT(r.out, HasSubstr("Stampa scritta in " + file.string() + ": "));
        auto info = testsupport::runCommand("pdfinfo " + sh(file.string()));
        EXPECT_THAT(info.out, HasSubstr("Page size:       595 x 842 pts (A4)"));
        const std::string text = pdfText(file);
        EXPECT_THAT(text, HasSubstr(c.heading));
        EXPECT_THAT(text, HasSubstr("Pagina 1 di "));
        EXPECT_THAT(text, HasSubstr("Conti: "));
        std::filesystem::remove(file);
    }
}

TEST_F(PrintCommand, RefusalsSayWhyAndWriteNothing) {
    const auto file = out.path() / "stampa.pdf";
    const std::string to = " --out " + sh(file.string());
    auto unknown = print("--kind COGE --pdc 99 --ricl 101" + to);
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err, "Errore: Il piano dei conti 99 non esiste.\n");
    auto coin = print("--kind COIN --pdc 201 --ricl 102" + to);
    EXPECT_EQ(coin.exitCode, 1);
    EXPECT_THAT(coin.err, HasSubstr("non prevede la stampa delle correlazioni"));
    auto kind = print("--kind XYZ --pdc 10 --ricl 101" + to);
    EXPECT_EQ(kind.exitCode, 1);
    EXPECT_THAT(kind.err, HasSubstr("tipo di correlazione sconosciuto 'XYZ'"));
    EXPECT_FALSE(std::filesystem::exists(file));

    const auto nowhere = out.path() / "manca" / "stampa.pdf";
    auto unwritable = print("--kind COGE --pdc 10 --ricl 101 --out " + sh(nowhere.string()));
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err, "Errore: Impossibile scrivere il file " + nowhere.string() + ": la cartella " +
                                  nowhere.parent_path().string() + " non esiste.\n");
}

}  // namespace
