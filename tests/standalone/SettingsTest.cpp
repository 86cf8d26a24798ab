// Settings: defaults to the demo database, the configuration file over the defaults, the
// command line over the file, and clear errors for a broken file.

#include <cstdlib>
#include <fstream>
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "standalone/Settings.h"
#include "support/TestSupport.h"

using namespace standalone;
using testing::HasSubstr;

namespace {

// Points XDG_CONFIG_HOME and XDG_DATA_HOME into a scratch folder for one test.
class XdgScope {
public:
    explicit XdgScope(const std::filesystem::path& root) {
        save("XDG_CONFIG_HOME", config_);
        save("XDG_DATA_HOME", data_);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }
    ~XdgScope() {
        restore("XDG_CONFIG_HOME", config_);
        restore("XDG_DATA_HOME", data_);
    }

private:
    static void save(const char* name, std::optional<std::string>& slot) {
        if (const char* v = std::getenv(name)) slot = v;
    }
    static void restore(const char* name, const std::optional<std::string>& slot) {
        if (slot) ::setenv(name, slot->c_str(), 1);
        else ::unsetenv(name);
    }
    std::optional<std::string> config_, data_;
};

void writeFile(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

}  // namespace

TEST(Settings, NothingConfiguredMeansTheDemoDatabaseCompanyOneFourLevels) {
    testsupport::TempDir dir;
    XdgScope xdg(dir.path());
    Settings s = loadSettings();
    EXPECT_EQ(demoDataFolder(), dir.path() / "data" / "brevanto" / "demo");
    EXPECT_EQ(s.connectionString,
              "Provider=SQLite;database=BREVANTO;Data Source=" + (dir.path() / "data/brevanto/demo").string());
    EXPECT_EQ(s.companyCode, 1);
    EXPECT_EQ(s.ledgerLevels, 4);
    EXPECT_TRUE(s.modal);
    EXPECT_TRUE(s.configFile.empty());
}

TEST(Settings, FileOverridesDefaultsAndCommandLineOverridesFile) {
    testsupport::TempDir dir;
    XdgScope xdg(dir.path());
    writeFile(defaultConfigFile(),
              "# stand-alone host\n"
              "connection = Provider=ODBC;Driver=FreeTDS;Server=srv;database=GEST\n"
              "company=7\r\n"
              "levels = 3\n"
              "; modal off for the shell\n"
              "modal = no\n");
    EXPECT_EQ(defaultConfigFile(), dir.path() / "config" / "brevanto" / "brevanto.conf");

    Settings fromFile = loadSettings();
    EXPECT_EQ(fromFile.connectionString, "Provider=ODBC;Driver=FreeTDS;Server=srv;database=GEST");
    EXPECT_EQ(fromFile.companyCode, 7);
    EXPECT_EQ(fromFile.ledgerLevels, 3);
    EXPECT_FALSE(fromFile.modal);
    EXPECT_EQ(fromFile.configFile, defaultConfigFile());

    SettingsOverrides cli;
    cli.companyCode = 12;
    cli.modal = true;
    Settings mixed = loadSettings(cli);
    EXPECT_EQ(mixed.connectionString, fromFile.connectionString);   // not given: the file's
    EXPECT_EQ(mixed.companyCode, 12);
    EXPECT_EQ(mixed.ledgerLevels, 3);
    EXPECT_TRUE(mixed.modal);

    // An explicit configuration file replaces the default one.
    auto other = dir.path() / "other.conf";
    writeFile(other, "levels=5\n");
    cli = {};
    cli.configFile = other;
    cli.connectionString = "Provider=SQLite;database=X;Data Source=/tmp";
    Settings explicitFile = loadSettings(cli);
    EXPECT_EQ(explicitFile.ledgerLevels, 5);
    EXPECT_EQ(explicitFile.companyCode, 1);
    EXPECT_EQ(explicitFile.connectionString, "Provider=SQLite;database=X;Data Source=/tmp");
}

TEST(Settings, BrokenInputIsReportedWithFileAndLine) {
    testsupport::TempDir dir;
    XdgScope xdg(dir.path());
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"company=1\nlevels\n", "brevanto.conf:2: attesa una riga 'chiave = valore'"},
        {"levels=12\n", "levels: atteso un numero di livelli da 1 a 9"},
        {"company=abc\n", "company: codice ditta non valido"},
        {"modal=maybe\n", "modal: atteso true o false"},
        {"colour=blue\n", "chiave sconosciuta 'colour'"},
        {"connection=\n", "stringa di connessione vuota"},
    };
    for (const auto& c : cases) {
        writeFile(defaultConfigFile(), c.text);
        try {
            loadSettings();
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const SettingsError& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.expected)) << c.text;
        }
    }

    SettingsOverrides missing;
    missing.configFile = dir.path() / "nowhere.conf";
    try {
        loadSettings(missing);
        ADD_FAILURE() << "a missing configuration file was accepted";
    } catch (const SettingsError& e) {
        EXPECT_THAT(e.what(), HasSubstr("nowhere.conf: file di configurazione non trovato"));
    }
    SettingsOverrides badLevels;
    std::filesystem::remove(defaultConfigFile());
    badLevels.ledgerLevels = 0;
    EXPECT_THROW(loadSettings(badLevels), SettingsError);
}
