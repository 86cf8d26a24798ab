// Message boxes and error reports: the scripted answers, what is recorded, and the log and
// utility classes that show the module's messages and errors through the Dialogs port.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "host/ErrorInfo.h"
#include "standalone/HostEventLog.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/Services.h"

using namespace standalone;
using testing::HasSubstr;

namespace {

db::ErrorItem duplicateKey() { return {"UNIQUE constraint failed: CG83_COLLRICL.CG83_CONTO_CG24", 19, "HY000", "SQLite"}; }

}  // namespace

TEST(ScriptedDialogs, AnswersFromTheQueueThenDefaultsAndRecordsEveryBox) {
    auto log = std::make_shared<HostEventLog>();
    ScriptedDialogs dialogs(log);
    dialogs.pushAnswer(0);
    dialogs.pushAnswer(4);
    host::MessageBoxRequest question{"Confermi?", "Brevanto", 4, 2, "dettaglio", 52477};
    EXPECT_EQ(dialogs.message(question), 0);   // from the queue
    host::ErrorReportRequest report;
    report.number = 3021;
    report.description = "Nessun record corrente";
    report.procedure = "CreaTabella";
    EXPECT_EQ(dialogs.errorReport(report), 4);   // the queue is shared by both kinds
    EXPECT_EQ(dialogs.pendingAnswers(), 0u);
    EXPECT_EQ(dialogs.message({"Fatto.", "Brevanto", 2, 0, "", 77179}), 1);   // empty queue: OK
    EXPECT_EQ(dialogs.errorReport(report), 3);                               // empty queue: abort

    ASSERT_EQ(dialogs.shown().size(), 4u);
    const ShownBox& first = dialogs.shown()[0];
    EXPECT_EQ(first.kind, ShownBox::Kind::Message);
    EXPECT_EQ(first.code, 52477);
    EXPECT_EQ(first.type, 4);
    EXPECT_EQ(first.text, "Confermi?");
    EXPECT_EQ(first.detail, "dettaglio");
    EXPECT_EQ(first.defaultButton, 2);
    EXPECT_EQ(first.answer, 0);
    EXPECT_EQ(dialogs.shown()[1].kind, ShownBox::Kind::ErrorReport);
    EXPECT_EQ(dialogs.shown()[1].procedure, "CreaTabella");
    EXPECT_EQ(dialogs.shown()[1].answer, 4);

    ASSERT_EQ(log->count("messageBox"), 2u);
    ASSERT_EQ(log->count("errorReport"), 2u);
    EXPECT_EQ(log->events()[0]["code"], 52477);
    EXPECT_EQ(log->events()[0]["answer"], 0);

    auto taken = dialogs.takeShown();
    EXPECT_EQ(taken.size(), 4u);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(ErrorReport, ShowsNumberDescriptionProcedureAndEveryDatabaseItem) {
    host::ErrorReportRequest r;
    r.number = host::kErrDatabase;
    r.description = "UNIQUE constraint failed";
    r.procedure = "AggiornaCorrelazioniCG83_PC07_CGH0";
    r.databaseErrors = {duplicateKey(), {"second item", 2627, "23000", "ODBC"}};
    std::string text = formatErrorReport(r);
    EXPECT_THAT(text, HasSubstr("Errore n. -2147217900: UNIQUE constraint failed"));
    EXPECT_THAT(text, HasSubstr("Procedura: AggiornaCorrelazioniCG83_PC07_CGH0"));
    EXPECT_THAT(text, HasSubstr("CG83_COLLRICL.CG83_CONTO_CG24 (codice nativo 19, SQLSTATE HY000)"));
    EXPECT_THAT(text, HasSubstr("second item (codice nativo 2627, SQLSTATE 23000)"));
}

TEST(LogService, ErrorReportCarriesTheTakenErrorAndTheDatabaseCollection) {
    auto dialogs = std::make_shared<ScriptedDialogs>();
    StandaloneLogService log(dialogs);
    db::Errors errors;
    errors.set({duplicateKey()});
    log.takeError(host::kErrDatabase, "UNIQUE constraint failed", "SQLite");
    log.takeAdoErrors(errors);
    dialogs->pushAnswer(5);
    EXPECT_EQ(log.showError("Brevanto", "Correlazione", "CreaTabella", 4370, {}), 5);
    const ShownBox& box = dialogs->shown().back();
    EXPECT_EQ(box.kind, ShownBox::Kind::ErrorReport);
    EXPECT_EQ(box.code, host::kErrDatabase);
    EXPECT_EQ(box.type, 4370);
    EXPECT_EQ(box.procedure, "CreaTabella");
    EXPECT_EQ(box.detail, "Correlazione");
    ASSERT_EQ(box.databaseErrors.size(), 1u);
    EXPECT_EQ(box.databaseErrors[0].nativeError, 19);
    EXPECT_EQ(box.databaseErrors[0].sqlState, "HY000");

    // The error was reported once: the next report starts clean. An answer other than
    // retry or ignore counts as abort.
    dialogs->pushAnswer(1);
    EXPECT_EQ(log.showError("Brevanto", "Correlazione", "ShowMessage", 4370, {}), 3);
    EXPECT_TRUE(dialogs->shown().back().databaseErrors.empty());
    EXPECT_EQ(dialogs->shown().back().code, 0);
}

TEST(LogService, MessagesUseTheDefaultButtonOnce) {
    auto dialogs = std::make_shared<ScriptedDialogs>();
    StandaloneLogService log(dialogs);
    log.setDefaultButton(2);
    dialogs->pushAnswer(7);
    EXPECT_EQ(log.showMessage(108, 2, "Aggiornamento conto di riclassificazione non eseguito.", "", {}), 7);
    EXPECT_EQ(log.showMessage(114, 3, "Conto inesistente.", "dettaglio", {}), 1);
    ASSERT_EQ(dialogs->shown().size(), 2u);
    EXPECT_EQ(dialogs->shown()[0].code, 108);
    EXPECT_EQ(dialogs->shown()[0].defaultButton, 2);
    EXPECT_EQ(dialogs->shown()[1].defaultButton, 0);
    EXPECT_EQ(dialogs->shown()[1].type, 3);
    EXPECT_EQ(dialogs->shown()[1].detail, "dettaglio");
}

TEST(EditorUtility, ReportsErrorsWithTheConnectionsCollectionWhenTheErrorHasNone) {
    auto dialogs = std::make_shared<ScriptedDialogs>();
    auto center = std::make_shared<StandaloneMessageCenter>(dialogs);
    StandaloneEditorUtility utility(dialogs, center);
    auto connection = db::Connection::create();
    connection->Errors().set({duplicateKey()});
    utility.start();
    utility.initialise(nullptr, connection, "Brevanto", {}, "Correlazione PdC");

    dialogs->pushAnswer(4);
    host::ErrorInfo plain{440, "errore applicativo", "Brevanto", {}};
    EXPECT_EQ(utility.reportError("Form_Load", plain), 4);
    EXPECT_EQ(dialogs->shown().back().procedure, "Form_Load");
    EXPECT_EQ(dialogs->shown().back().detail, "Correlazione PdC");
    ASSERT_EQ(dialogs->shown().back().databaseErrors.size(), 1u);

    // The exception's own items win over the connection's.
    db::Error refused("no such table: CG21_SCHEMACEE", 1, "HY000", "SQLite");
    host::ErrorInfo fromDb = host::errorFrom(refused);
    EXPECT_EQ(fromDb.number, host::kErrDatabase);
    EXPECT_EQ(utility.reportError("IsPdcCorrelatoCee", fromDb), 3);
    ASSERT_EQ(dialogs->shown().back().databaseErrors.size(), 1u);
    EXPECT_EQ(dialogs->shown().back().databaseErrors[0].description, "no such table: CG21_SCHEMACEE");
}

TEST(EditorUtility, HostMessagesAreDictionaryTextsWithParameters) {
    auto dialogs = std::make_shared<ScriptedDialogs>();
    auto center = std::make_shared<StandaloneMessageCenter>(dialogs);
    StandaloneEditorUtility utility(dialogs, center);
    dialogs->pushAnswer(0);
    EXPECT_EQ(utility.showHostMessage(52477, 4), 0);
    EXPECT_EQ(utility.showHostMessage(62988, 2, {db::Variant(80), db::Variant("83")}), 1);
    ASSERT_EQ(dialogs->shown().size(), 2u);
    EXPECT_EQ(dialogs->shown()[0].code, 52477);
    EXPECT_EQ(dialogs->shown()[0].type, 4);
    EXPECT_EQ(dialogs->shown()[1].text, "Il piano dei conti 80 non è correlato con lo schema di bilancio CEE 83.");
}

TEST(EditorUtility, ValueOrDefaultAndRecordsetHelpers) {
    auto dialogs = std::make_shared<ScriptedDialogs>();
    StandaloneEditorUtility utility(dialogs, nullptr);
    EXPECT_EQ(utility.valueOrDefault(db::Variant(), "d"), db::Variant("d"));
    EXPECT_EQ(utility.valueOrDefault(db::Variant::null(), "d"), db::Variant("d"));
    EXPECT_EQ(utility.valueOrDefault(db::Variant(""), 0), db::Variant(0));
    EXPECT_EQ(utility.valueOrDefault(db::Variant(0), "d"), db::Variant(0));
    EXPECT_EQ(utility.valueOrDefault(db::Variant(" "), "d"), db::Variant(" "));

    std::shared_ptr<db::Recordset> none;
    EXPECT_TRUE(utility.isEmptyRecordset(none));
    auto rs = db::Recordset::create();
    EXPECT_TRUE(utility.isEmptyRecordset(rs));   // closed
    rs->fields().Append("CONTO", db::ado::adVarWChar, 10);
    rs->Open();
    EXPECT_TRUE(utility.isEmptyRecordset(rs));
    rs->AddNew();
    rs->setValue("CONTO", "0101");
    rs->Update();
    EXPECT_FALSE(utility.isEmptyRecordset(rs));
    utility.closeRecordset(rs);
    EXPECT_EQ(rs, nullptr);
    utility.closeRecordset(rs);   // closing nothing is harmless
}

TEST(ErrorInfo, ExceptionsMapToErrorNumbers) {
    EXPECT_EQ(host::errorFrom(db::ConversionError("type mismatch")).number, host::kErrTypeMismatch);
    EXPECT_EQ(host::errorFrom(db::UsageError("EOF")).number, host::kErrInvalidCall);
    EXPECT_EQ(host::errorFrom(std::runtime_error("x")).number, host::kErrApplication);
    host::ErrorInfo caught;
    try {
        throw db::Error("locked", 5, "HY000", "SQLite");
    } catch (...) {
        caught = host::currentError();
    }
    EXPECT_EQ(caught.description, "locked");
    EXPECT_EQ(caught.source, "SQLite");
    ASSERT_EQ(caught.databaseErrors.size(), 1u);
    EXPECT_EQ(caught.databaseErrors[0].nativeError, 5);
}
