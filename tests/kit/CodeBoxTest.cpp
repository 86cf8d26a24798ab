// Code boxes: the decode / validate / after-item sequence, lookups, menu keys, and the two
// account boxes decoding against a scratch SQLite database.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "db/Connection.h"
#include "kit/Kit.h"
#include "support/TestSupport.h"

using namespace kit;

namespace {

struct Sequence : ::testing::Test {
    TestWindowSystem ws;
    Form form{"FRM", &ws};
    std::shared_ptr<CodeEditBox> code = form.create<CodeEditBox>("TXT_CODICE_PDC");
    std::shared_ptr<CodeEditBox> next = form.create<CodeEditBox>("TXT_NEXT");
    std::vector<std::string> log;
    bool refuseValidate = false;
    bool refuseAfterItem = false;

    void SetUp() override {
        code->StartDecode.connect([this](bool&, std::string&, DecodeFields&, std::string&) { log.push_back("decode"); });
        code->Validate.connect([this](bool& cancel) {
            log.push_back("validate");
            cancel = refuseValidate;
        });
        code->AfterItem.connect([this](bool& cancel) {
            log.push_back("afteritem");
            cancel = refuseAfterItem;
        });
        code->LostFocus.connect([this](bool&) { log.push_back("lost"); });
        code->SetFocus();
    }
};

TEST_F(Sequence, LeavingAChangedBoxDecodesValidatesAndConfirms) {
    code->enterText("1");
    EXPECT_TRUE(next->SetFocus());
    EXPECT_EQ(log, (std::vector<std::string>{"decode", "validate", "afteritem", "lost"}));
    EXPECT_FALSE(code->IsDecoded());   // no statement given
    // Coming back and leaving without a change does not confirm again.
    log.clear();
    code->SetFocus();
    next->SetFocus();
    EXPECT_EQ(log, (std::vector<std::string>{"lost"}));
}

TEST_F(Sequence, ACancelInValidateOrAfterItemKeepsTheFocus) {
    code->enterText("1");
    refuseValidate = true;
    EXPECT_FALSE(next->SetFocus());
    EXPECT_EQ(log, (std::vector<std::string>{"decode", "validate"}));
    refuseValidate = false;
    refuseAfterItem = true;
    log.clear();
    EXPECT_FALSE(next->SetFocus());
    EXPECT_EQ(log, (std::vector<std::string>{"validate", "afteritem"}));   // decoded once already
    EXPECT_TRUE(code->hasFocus());
}

TEST_F(Sequence, EnterConfirmsAndMovesOnLikeTab) {
    code->enterText("7");
    form.keyDown(keys::Enter);
    EXPECT_TRUE(next->hasFocus());
    EXPECT_EQ(log, (std::vector<std::string>{"decode", "validate", "afteritem", "lost"}));
    // A refused confirmation stays.
    code->SetFocus();
    code->enterText("8");
    refuseValidate = true;
    form.keyDown(keys::Enter);
    EXPECT_TRUE(code->hasFocus());
}

TEST_F(Sequence, EmptyTextIsNotDecodedAndAnEmptyMandatoryBoxLetsTheFocusGo) {
    code->enterText("");
    code->Redecode();
    EXPECT_TRUE(std::find(log.begin(), log.end(), "decode") == log.end());
    EXPECT_FALSE(code->IsDecoded());
    code->setMandatory(true);
    EXPECT_TRUE(next->SetFocus());
}

TEST_F(Sequence, MenuKeysAndLookupWithoutStatement) {
    std::vector<std::string> pressed;
    code->KeyButtonMenuPress.connect([&](const std::string& k) { pressed.push_back(k); });
    code->AddMenuEntry(1, "Codici bilancio correlati");
    EXPECT_TRUE(code->pressMenuKey("Kgestione"));
    EXPECT_TRUE(code->pressMenuKey("Kpers1"));
    code->setMenuEntryEnabled("Kpers1", false);
    EXPECT_FALSE(code->pressMenuKey("Kpers1"));
    EXPECT_THROW(code->pressMenuKey("Kpers2"), KitError);
    EXPECT_EQ(pressed, (std::vector<std::string>{"Kgestione", "Kpers1"}));
    EXPECT_EQ(code->menuEntries().size(), 2u);
    int lookups = 0;
    code->StartLookup.connect([&](bool& cancel, std::string&, LookupFields&, std::string&, std::string&) {
        ++lookups;
        cancel = true;
    });
    form.keyDown(keys::F4);
    EXPECT_EQ(lookups, 1);
    EXPECT_TRUE(ws.scriptedLookups().requests().empty());
}

// A scratch database with the few chart tables the boxes read.
struct Database : ::testing::Test {
    testsupport::TempDir dir;
    std::string connect;
    std::shared_ptr<db::Connection> conn;
    TestWindowSystem ws;
    Form form{"FRM", &ws};

    void SetUp() override {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open((dir.path() / "MAIN.db").c_str(), &raw), SQLITE_OK);
        const char* ddl =
            "CREATE TABLE PC01_DESCRPDC (PC01_CODICE INTEGER, PC01_DESCR TEXT, PC01_MASKEDIT TEXT);"
            "INSERT INTO PC01_DESCRPDC VALUES (5, 'Riclassificato CEE', ' xx/xx00 '), (6, 'Altro', NULL);"
            "CREATE TABLE PC03_ANAGPDC (PC03_CODICE_PC01 INTEGER, PC03_CONTO TEXT, PC03_DESCR TEXT,"
            " PC03_INDANALITICO INTEGER, PC03_INDTIPOCONTO INTEGER);"
            "INSERT INTO PC03_ANAGPDC VALUES (5, '012345', 'Crediti', 1, 2), (5, 'O''K', 'Quote', 0, 1);"
            "CREATE TABLE CG24_TABPDC (CG24_GRUPPO_CG10 INTEGER, CG24_CONTO TEXT, CG24_DESCR TEXT,"
            " CG24_INDTIPOCONTO INTEGER);"
            "INSERT INTO CG24_TABPDC VALUES (1, '0110000001', 'Cassa', 1);";
        char* err = nullptr;
        ASSERT_EQ(sqlite3_exec(raw, ddl, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_close(raw);
        connect = "Provider=SQLite;database=MAIN;Data Source=" + dir.str();
        conn = db::Connection::create();
        conn->Open(connect);
    }
    void TearDown() override {
        ConnectionCache::instance().clear();
        if (conn) conn->Close();
    }
};

TEST_F(Database, CodeEditBoxDecodesIntoItsTargetsAndReportsFailuresWithoutThrowing) {
    auto code = form.create<CodeEditBox>("TXT_CODICE_RICL");
    auto descr = form.create<CodeEditBox>("TXT_DESCR_RICL");
    auto mask = form.create<CaptionLabel>("LBL_MASK");
    std::string statementTail = "";
    code->StartDecode.connect([&](bool&, std::string& sql, DecodeFields& fields, std::string& c) {
        sql = "SELECT PC01_DESCR, PC01_MASKEDIT FROM PC01_DESCRPDC WITH(NOLOCK) WHERE PC01_CODICE = " +
              code->Text() + statementTail;
        fields.emplace_back("PC01_DESCR", "TXT_DESCR_RICL");
        fields.emplace_back("PC01_MASKEDIT", mask);
        c = connect;
    });
    code->enterText("5");
    code->Redecode();
    EXPECT_TRUE(code->IsDecoded()) << code->lastError();
    EXPECT_EQ(descr->Text(), "Riclassificato CEE");
    EXPECT_EQ(mask->Text(), " xx/xx00 ");
    // Clearing the code clears what its decode wrote; another code leaves it until decoded.
    code->setText("");
    EXPECT_EQ(descr->Text(), "");
    EXPECT_EQ(mask->Text(), "");
    code->enterText("5");
    code->Redecode();
    code->enterText("6");
    EXPECT_EQ(descr->Text(), "Riclassificato CEE");
    code->enterText("7");
    code->Redecode();
    EXPECT_FALSE(code->IsDecoded());
    EXPECT_EQ(descr->Text(), "");
    statementTail = " AND (";   // the database refuses the statement
    code->enterText("5");
    EXPECT_NO_THROW(code->Redecode());
    EXPECT_FALSE(code->IsDecoded());
    EXPECT_FALSE(code->lastError().empty());
    EXPECT_EQ(descr->Text(), "");
}

TEST_F(Database, ALookupChoiceBecomesTheTextAndIsDecoded) {
    auto code = form.create<CodeEditBox>("TXT_CODICE_RICL");
    auto descr = form.create<CodeEditBox>("TXT_DESCR_RICL");
    code->setConnection(conn);
    code->setIDLookup("PC01");
    code->StartDecode.connect([&](bool&, std::string& sql, DecodeFields& fields, std::string&) {
        sql = "SELECT PC01_DESCR FROM PC01_DESCRPDC WHERE PC01_CODICE = " + code->Text();
        fields.emplace_back("PC01_DESCR", descr);
    });
    code->StartLookup.connect([&](bool&, std::string& sql, LookupFields& fields, std::string& caption, std::string&) {
        sql = "SELECT PC01_CODICE, PC01_DESCR FROM PC01_DESCRPDC ORDER BY PC01_CODICE";
        fields.push_back({"PC01_CODICE", "Codice", 800});
        caption = "Piani dei conti";
    });
    ws.scriptedLookups().push(1);
    EXPECT_TRUE(code->OpenLookup());
    EXPECT_EQ(code->Text(), "6");
    EXPECT_TRUE(code->IsDecoded());
    EXPECT_EQ(descr->Text(), "Altro");
    ASSERT_EQ(ws.scriptedLookups().requests().size(), 1u);
    EXPECT_EQ(ws.scriptedLookups().requests()[0].caption, "Piani dei conti");
    EXPECT_EQ(ws.scriptedLookups().requests()[0].idLookup, "PC01");
    EXPECT_EQ(ws.scriptedLookups().requests()[0].recordset->RecordCount(), 2);
    // No answer queued: the user closed the lookup, nothing changes.
    EXPECT_FALSE(code->OpenLookup());
    EXPECT_EQ(code->Text(), "6");
}

TEST_F(Database, CoinAccountBoxDecodesAgainstItsChart) {
    auto box = form.create<CoinAccountBox>("TXT_CONTOCOIN");
    box->setValue("012345");   // no chart yet: nothing to decode against
    EXPECT_FALSE(box->IsDecoded());
    EXPECT_TRUE(box->lastError().empty());
    box->setChartCode("5");    // a chart but no connection: not decoded, no exception
    EXPECT_FALSE(box->IsDecoded());
    EXPECT_FALSE(box->lastError().empty());
    box->setConnection(conn);
    box->setValue("");
    box->setValue("012345");
    EXPECT_TRUE(box->IsDecoded()) << box->lastError();
    EXPECT_EQ(box->Description(), "Crediti");
    EXPECT_TRUE(box->IsAnalytic());
    EXPECT_EQ(box->AccountType(), 2);
    EXPECT_EQ(box->DisplayText(), "01/2345");
    box->setValue("O'K");   // a quote in the code stays inside its literal
    EXPECT_TRUE(box->IsDecoded()) << box->lastError();
    EXPECT_EQ(box->Description(), "Quote");
    EXPECT_FALSE(box->IsAnalytic());
    box->setValue("x' OR '1'='1");
    EXPECT_FALSE(box->IsDecoded());
    EXPECT_EQ(box->AccountType(), -1);
    box->setChartCode("5; DROP TABLE PC03_ANAGPDC");
    EXPECT_FALSE(box->IsDecoded());
    EXPECT_FALSE(box->lastError().empty());
}

TEST_F(Database, CoinAccountBoxTypedTextCommitsOnNavigationKeysAndOnLeaving) {
    auto box = form.create<CoinAccountBox>("TXT_CONTOCOIN");
    auto other = form.create<CodeEditBox>("OTHER");
    box->setConnectionText(connect);
    box->setChartCode(5);
    std::vector<std::string> seen;
    box->KeyDown.connect([&](int key, int) { seen.push_back(std::to_string(key) + "=" + box->Value()); });
    box->LostFocus.connect([&](bool&) { seen.push_back("lost=" + box->Description()); });
    box->FocusInput();
    box->enterText("012345");
    EXPECT_EQ(box->Value(), "");
    form.keyDown(keys::Down);
    EXPECT_EQ(seen.back(), "40=012345");
    box->enterText("O'K");
    other->SetFocus();
    EXPECT_EQ(seen.back(), "lost=Quote");
}

TEST_F(Database, LedgerAccountBoxAsksForAConnectionAndSearchesOnConfirm) {
    auto box = form.create<LedgerAccountBox>("TXT_CONTO");
    auto other = form.create<CodeEditBox>("OTHER");
    box->setChartCode(1);
    int requests = 0;
    box->ConnectionStringRequest.connect([&](bool& useOwn, std::string& c) {
        ++requests;
        useOwn = false;
        c = connect;
    });
    bool refuse = true;
    std::vector<std::string> searches;
    box->Search.connect([&](bool& cancel) {
        searches.push_back(box->Text() + ":" + box->Description());
        cancel = refuse;
    });
    box->FocusInput();
    box->enterText("0110000001");
    form.keyDown(keys::Enter);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->AccountType(), 1);
    EXPECT_EQ(requests, 1);
    refuse = false;
    EXPECT_TRUE(other->SetFocus());   // the code is still unconfirmed: leaving searches again
    EXPECT_EQ(searches.size(), 2u);
    box->FocusInput();
    box->Search.connect([&](bool&) { other->SetFocus(); });   // the form moves the focus itself
    box->enterText("0110000001");
    form.keyDown(keys::Enter);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(searches, (std::vector<std::string>{"0110000001:Cassa", "0110000001:Cassa", "0110000001:Cassa"}));
    // Written by code: decoded, no search.
    box->setText("9999999999");
    EXPECT_FALSE(box->IsDecoded());
    EXPECT_EQ(box->AccountType(), -1);
    EXPECT_EQ(searches.size(), 3u);
}

TEST_F(Database, AccountBoxesTakeTheMaskedFormAndDecodeThePlainCode) {
    auto coin = form.create<CoinAccountBox>("TXT_CONTOCOIN");
    auto ledger = form.create<LedgerAccountBox>("TXT_CONTO");
    coin->setConnection(conn);
    coin->setChartCode(5);
    coin->FocusInput();
    coin->enterText("01/2345");
    form.keyDown(keys::Down);
    EXPECT_EQ(coin->Value(), "012345");
    EXPECT_TRUE(coin->IsDecoded()) << coin->lastError();
    EXPECT_EQ(coin->DisplayText(), "01/2345");

    ledger->setConnection(conn);
    ledger->setChartCode(1);
    ledger->setMask("@@/@@@@@@@@");
    std::vector<std::string> searched;
    ledger->Search.connect([&](bool&) { searched.push_back(ledger->Text() + ":" + ledger->Description()); });
    ledger->FocusInput();
    ledger->enterText("01/10000001");
    EXPECT_EQ(ledger->DisplayText(), "01/10000001");   // as typed while typing
    form.keyDown(keys::Enter);
    ledger->FocusInput();
    ledger->enterText("0110000001");
    form.keyDown(keys::Enter);
    EXPECT_EQ(searched, (std::vector<std::string>{"0110000001:Cassa", "0110000001:Cassa"}));
    ledger->setText("0110000001");
    EXPECT_EQ(ledger->DisplayText(), "01/10000001");
}

TEST_F(Database, ABrokenConnectionStringGivesAnErrorNotACrash) {
    auto box = form.create<CoinAccountBox>("TXT_CONTOCOIN");
    box->setConnectionText("Provider=SQLite;database=NOPE;Data Source=" + dir.str());
    box->setChartCode(5);
    EXPECT_NO_THROW(box->setValue("012345"));
    EXPECT_FALSE(box->IsDecoded());
    EXPECT_FALSE(box->lastError().empty());
    EXPECT_EQ(ConnectionCache::instance().size(), 0u);
}

}  // namespace
