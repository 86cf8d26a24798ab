#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "db/Error.h"
#include "db/Recordset.h"

using db::ConversionError;
using db::Recordset;
using db::UsageError;
using db::Variant;
namespace ado = db::ado;

namespace {

// The in-memory working rows of the correlation grid: two rows (sign 1, sign 2) per account.
std::shared_ptr<Recordset> workingRows(const std::vector<std::string>& accounts) {
    auto rs = Recordset::create();
    rs->fields().Append("CONTOPDC", ado::adVarWChar, 15, ado::adFldIsNullable);
    rs->fields().Append("DESCRPDC", ado::adVarWChar, 80, ado::adFldIsNullable);
    rs->fields().Append("CONTORICL", ado::adVarWChar, 15, ado::adFldIsNullable);
    rs->fields().Append("SEGNO", ado::adDecimal, 1, ado::adFldIsNullable);
    rs->Open();
    for (const auto& a : accounts)
        for (int segno : {1, 2}) {
            rs->AddNew();
            rs->setValue("CONTOPDC", a);
            rs->setValue("DESCRPDC", "Conto " + a);
            rs->setValue("SEGNO", segno);
            rs->Update();
        }
    rs->MoveFirst();
    return rs;
}

std::string conto(const Recordset& rs) { return rs.value("CONTOPDC").toText(); }
long segno(const Recordset& rs) { return rs.value("SEGNO").toInt32(); }

void expectNoCurrentRow(const std::function<void()>& f) {
    try {
        f();
        ADD_FAILURE() << "no error without a current row";
    } catch (const UsageError& e) {
        EXPECT_STREQ(e.what(), "BOF o EOF è True oppure il record corrente è stato eliminato");
    }
}

}  // namespace

TEST(RecordsetTest, EmptyRecordsetIsAtBothEnds) {
    auto rs = workingRows({});
    EXPECT_TRUE(rs->Bof());
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(rs->AbsolutePosition(), ado::adPosUnknown);
    rs->MoveFirst();
    rs->MoveLast();
    EXPECT_TRUE(rs->Bof() && rs->Eof());
    expectNoCurrentRow([&] { rs->MoveNext(); });
    expectNoCurrentRow([&] { rs->MovePrevious(); });
    expectNoCurrentRow([&] { rs->value("CONTOPDC"); });
    expectNoCurrentRow([&] { rs->Bookmark(); });
}

TEST(RecordsetTest, MovesStopAtBothEnds) {
    auto rs = workingRows({"A", "B"});   // 4 rows
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_FALSE(rs->Bof());
    rs->MovePrevious();
    EXPECT_TRUE(rs->Bof());
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->AbsolutePosition(), ado::adPosBOF);
    EXPECT_EQ(rs->currentIndex(), -1);
    expectNoCurrentRow([&] { rs->MovePrevious(); });
    expectNoCurrentRow([&] { rs->Move(-1); });
    rs->MoveNext();
    EXPECT_EQ(rs->AbsolutePosition(), 1);

    rs->MoveLast();
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->AbsolutePosition(), ado::adPosEOF);
    EXPECT_EQ(rs->currentIndex(), 4);
    expectNoCurrentRow([&] { rs->MoveNext(); });
    expectNoCurrentRow([&] { rs->Move(1); });
    expectNoCurrentRow([&] { rs->value("SEGNO"); });

    rs->Move(-2);
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    rs->Move(10);
    EXPECT_TRUE(rs->Eof());
    rs->Move(-100);
    EXPECT_TRUE(rs->Bof());
    rs->Move(2);
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    rs->Move(0);
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    rs->Move(1L << 40);
    EXPECT_TRUE(rs->Eof());
}

TEST(RecordsetTest, AbsolutePositionAndRecordCountFollowTheFilter) {
    auto rs = workingRows({"A", "B", "C"});
    EXPECT_EQ(rs->RecordCount(), 6);
    rs->setAbsolutePosition(5);
    EXPECT_EQ(conto(*rs), "C");
    EXPECT_EQ(segno(*rs), 1);
    EXPECT_THROW(rs->setAbsolutePosition(0), UsageError);
    EXPECT_THROW(rs->setAbsolutePosition(7), UsageError);
    EXPECT_EQ(rs->AbsolutePosition(), 5);

    rs->setFilter("SEGNO = 2");
    EXPECT_EQ(rs->Filter(), "SEGNO = 2");
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    rs->setAbsolutePosition(3);
    EXPECT_EQ(conto(*rs), "C");
    EXPECT_EQ(segno(*rs), 2);
    EXPECT_THROW(rs->setAbsolutePosition(4), UsageError);
    EXPECT_EQ(rs->viewRow(1)[0].toText(), "B");

    rs->setFilter("");
    EXPECT_EQ(rs->Filter(), "");
    EXPECT_EQ(rs->RecordCount(), 6);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_THROW(rs->viewRow(6), UsageError);
}

TEST(RecordsetTest, FiltersOnTextAndNumbersWithAndOr) {
    auto rs = workingRows({"4010000000", "4020000000", "6010000000"});
    rs->setFilter("CONTOPDC = 4010000000 AND SEGNO = 1");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(conto(*rs), "4010000000");
    EXPECT_EQ(segno(*rs), 1);

    rs->setFilter("(CONTOPDC = '4020000000' OR CONTOPDC = '6010000000') AND SEGNO = 2");
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(conto(*rs), "4020000000");
    rs->MoveNext();
    EXPECT_EQ(conto(*rs), "6010000000");

    rs->setFilter("CONTOPDC LIKE '40*' AND SEGNO > 1");
    EXPECT_EQ(rs->RecordCount(), 2);

    rs->setFilter("CONTOPDC = '9999999999'");
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->Bof());
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->AbsolutePosition(), ado::adPosUnknown);
}

TEST(RecordsetTest, MalformedFilterOfAnEmptyMasterChangesNothing) {
    auto rs = workingRows({"A", "B"});
    rs->setFilter("SEGNO = 2");
    rs->MoveNext();
    // "CONTOPDC = " + master + " AND SEGNO = 1" with an empty master.
    EXPECT_THROW(rs->setFilter("CONTOPDC =  AND SEGNO = 1"), UsageError);
    EXPECT_THROW(rs->setFilter("NOSUCHFIELD = 1"), UsageError);
    EXPECT_EQ(rs->Filter(), "SEGNO = 2");
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(conto(*rs), "B");
}

TEST(RecordsetTest, ClonesShareRowsButNotPositionOrFilter) {
    auto rs = workingRows({"A", "B"});
    rs->MoveLast();
    auto clone = rs->Clone();
    EXPECT_EQ(clone->AbsolutePosition(), 1);
    EXPECT_EQ(clone->Filter(), "");
    clone->setFilter("CONTOPDC = 'B'");
    EXPECT_EQ(clone->RecordCount(), 2);
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->AbsolutePosition(), 4);

    // A write through the clone is seen by the original, and the other way round.
    clone->MoveLast();
    clone->setValue("CONTORICL", "R1");
    EXPECT_EQ(rs->value("CONTORICL").toText(), "R1");
    rs->setValue("descrpdc", "Nuova");
    EXPECT_EQ(clone->value("DESCRPDC").toText(), "Nuova");

    // Closing the original leaves the clone working.
    rs->Close();
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    EXPECT_EQ(clone->value("CONTORICL").toText(), "R1");
    clone->setFilter("");
    EXPECT_EQ(clone->RecordCount(), 4);
}

TEST(RecordsetTest, BookmarksTravelBetweenClones) {
    auto rs = workingRows({"A", "B", "C"});
    rs->setAbsolutePosition(4);
    Variant mark = rs->Bookmark();
    auto clone = rs->Clone();
    clone->setBookmark(mark);
    EXPECT_EQ(clone->AbsolutePosition(), 4);
    EXPECT_EQ(conto(*clone), "B");
    EXPECT_EQ(segno(*clone), 2);

    clone->setFilter("SEGNO = 2");
    clone->setBookmark(mark);
    EXPECT_EQ(clone->AbsolutePosition(), 2);
    clone->MoveFirst();
    rs->setBookmark(clone->Bookmark());
    EXPECT_EQ(rs->AbsolutePosition(), 2);

    // A row outside the clone's filter, or no row at all, is not a place to go.
    rs->MoveFirst();
    EXPECT_THROW(clone->setBookmark(rs->Bookmark()), UsageError);
    EXPECT_THROW(clone->setBookmark(Variant(999)), UsageError);
    EXPECT_THROW(clone->setBookmark(Variant("x")), UsageError);
    EXPECT_THROW(clone->setBookmark(Variant::null()), UsageError);
    EXPECT_EQ(clone->AbsolutePosition(), 1);
}

TEST(RecordsetTest, FindSearchesFromTheCurrentRow) {
    auto rs = workingRows({"A", "B", "C"});
    // The intermediaries hand-off: the account first, then its sign from there.
    auto clone = rs->Clone();
    clone->Find("CONTOPDC = 'B'");
    EXPECT_EQ(clone->AbsolutePosition(), 3);
    clone->Find("SEGNO = 2");
    EXPECT_EQ(clone->AbsolutePosition(), 4);
    EXPECT_EQ(conto(*clone), "B");
    // Skip 0 finds the current row itself; skip 1 starts at the next row.
    clone->Find("SEGNO = 2");
    EXPECT_EQ(clone->AbsolutePosition(), 4);
    clone->Find("SEGNO = 2", 1);
    EXPECT_EQ(clone->AbsolutePosition(), 6);

    clone->Find("CONTOPDC='A'", 0, ado::adSearchBackward);
    EXPECT_EQ(clone->AbsolutePosition(), 2);
    clone->Find("SEGNO = 1", 1, ado::adSearchBackward);
    EXPECT_EQ(clone->AbsolutePosition(), 1);

    clone->Find("CONTOPDC = 'Z'");
    EXPECT_TRUE(clone->Eof());
    clone->Find("CONTOPDC = 'A'");   // from EOF forward: stays at EOF
    EXPECT_TRUE(clone->Eof());
    clone->Find("CONTOPDC = 'C'", 0, ado::adSearchBackward);   // from EOF backward: the last C
    EXPECT_EQ(clone->AbsolutePosition(), 6);
    clone->Find("CONTOPDC = 'Z'", 0, ado::adSearchBackward);
    EXPECT_TRUE(clone->Bof());
    clone->Find("CONTOPDC = 'A'");   // from BOF forward: the first row
    EXPECT_EQ(clone->AbsolutePosition(), 1);

    EXPECT_THROW(clone->Find("CONTOPDC = 'A' AND SEGNO = 1"), UsageError);
    EXPECT_THROW(clone->Find("CONTOPDC = "), UsageError);
    EXPECT_THROW(clone->Find("SEGNO = 1", -1), UsageError);
    EXPECT_THROW(clone->Find("SEGNO = 1", 0, 0), UsageError);
    EXPECT_EQ(clone->AbsolutePosition(), 1);
    // The original never moved.
    EXPECT_EQ(rs->AbsolutePosition(), 1);
}

TEST(RecordsetTest, FieldWritesTakeTheFieldType) {
    auto rs = workingRows({"A"});
    rs->setValue("SEGNO", "2");
    EXPECT_EQ(rs->value("SEGNO").type(), Variant::Type::Decimal);
    EXPECT_EQ(rs->value("SEGNO").toInt32(), 2);
    EXPECT_THROW(rs->setValue("SEGNO", "Dare"), ConversionError);
    EXPECT_EQ(rs->value("SEGNO").toInt32(), 2);

    rs->setValue("CONTORICL", 1234);
    EXPECT_EQ(rs->value("CONTORICL"), Variant("1234"));
    rs->setValue("CONTORICL", "àèìòù0123456789");   // 15 characters, more bytes
    EXPECT_THROW(rs->setValue("CONTORICL", "0123456789ABCDEF"), ConversionError);
    EXPECT_EQ(rs->value("CONTORICL").toText(), "àèìòù0123456789");

    rs->setValue("CONTORICL", Variant());
    EXPECT_TRUE(rs->value("CONTORICL").isNull());
    (*rs)("contoricl") = Variant("X");
    EXPECT_EQ(rs->fields()("CONTORICL").Value(), Variant("X"));
    EXPECT_EQ(rs->fields().Item(2L).Name(), "CONTORICL");
    EXPECT_EQ(rs->fields()("SEGNO").Type(), ado::adDecimal);
    EXPECT_EQ(rs->fields()("SEGNO").DefinedSize(), 1);
    EXPECT_EQ(rs->fields().Count(), 4);

    try {
        rs->setValue("CONTOXX", "1");
        FAIL() << "unknown field written";
    } catch (const UsageError& e) {
        EXPECT_THAT(e.what(), testing::HasSubstr("CONTOXX"));
    }
    EXPECT_THROW(rs->value("CONTOXX"), UsageError);
    EXPECT_THROW(rs->fields().Item(4L), UsageError);
    EXPECT_FALSE(rs->fields().contains("CONTOXX"));
}

TEST(RecordsetTest, MisuseOfAClosedOrOpenRecordsetIsAUsageError) {
    auto rs = Recordset::create();
    EXPECT_THROW(rs->Open(), UsageError);   // no source and no field
    EXPECT_THROW(rs->RecordCount(), UsageError);
    EXPECT_THROW(rs->Eof(), UsageError);
    EXPECT_THROW(rs->MoveFirst(), UsageError);
    EXPECT_THROW(rs->setFilter("A = 1"), UsageError);
    EXPECT_THROW(rs->Clone(), UsageError);
    EXPECT_THROW(rs->Open("SELECT 1", nullptr), UsageError);   // a source needs a connection

    rs->fields().Append("A", ado::adInteger);
    EXPECT_THROW(rs->fields().Append("a", ado::adInteger), UsageError);
    rs->Open();
    EXPECT_THROW(rs->Open(), UsageError);
    EXPECT_THROW(rs->fields().Append("B", ado::adInteger), UsageError);
    rs->AddNew();
    rs->setValue("A", 40000);
    db::Field& a = rs->fields()("A");
    rs->Close();
    rs->Close();   // closing twice is harmless
    EXPECT_THROW(a.Value(), UsageError);
    EXPECT_THROW(rs->value("A"), UsageError);

    // Reopening an in-memory recordset starts empty over the same fields.
    rs->Open();
    EXPECT_EQ(rs->RecordCount(), 0);
    rs->AddNew();
    EXPECT_THROW(rs->setValue("A", 3e9), ConversionError);
    EXPECT_TRUE(a.Value().isNull());
}

TEST(RecordsetTest, AddNewAndDeleteAcrossClones) {
    auto rs = workingRows({"A", "B"});
    auto sign2 = rs->Clone();
    sign2->setFilter("SEGNO = 2");
    auto plain = rs->Clone();
    plain->MoveLast();
    plain->MoveNext();   // at EOF

    rs->setFilter("CONTOPDC = 'A'");
    rs->AddNew();   // visible here although the filter does not match it
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    EXPECT_TRUE(rs->value("CONTOPDC").isNull());
    rs->setValue("CONTOPDC", "C");
    rs->Update();
    EXPECT_EQ(plain->RecordCount(), 5);
    EXPECT_TRUE(plain->Eof());
    EXPECT_EQ(sign2->RecordCount(), 2);

    // Deleting B's sign-2 row through the filtered clone removes it everywhere; a clone
    // standing on a later row stays on that row.
    auto onC = rs->Clone();
    onC->MoveLast();
    sign2->MoveLast();
    ASSERT_EQ(conto(*sign2), "B");
    Variant gone = sign2->Bookmark();
    sign2->Delete();
    EXPECT_TRUE(sign2->Eof());
    EXPECT_EQ(sign2->RecordCount(), 1);
    EXPECT_EQ(plain->RecordCount(), 4);
    EXPECT_THROW(plain->setBookmark(gone), UsageError);
    plain->MoveFirst();
    plain->Delete();   // A sign 1: the cursor goes to the next row
    EXPECT_EQ(conto(*plain), "A");
    EXPECT_EQ(segno(*plain), 2);
    EXPECT_EQ(rs->RecordCount(), 2);   // A sign 2 and C
    EXPECT_EQ(conto(*onC), "C");
    EXPECT_EQ(onC->AbsolutePosition(), 3);
    expectNoCurrentRow([&] {
        sign2->Delete();
    });
}

namespace {

class RecordingListener : public db::RecordsetListener {
public:
    void willMove(Recordset& rs, bool& cancel) override {
        events.push_back("will");
        if (!rs.Bof() && !rs.Eof()) {
            leaving.push_back(rs.AbsolutePosition());
            if (writeOnLeave) rs.setValue("CONTORICL", "SAVED");
        }
        cancel = cancelMoves;
    }
    void moveComplete(Recordset&) override { events.push_back("moved"); }
    void fieldChanged(Recordset&, const std::string& f) override { events.push_back("field:" + f); }
    void rowsChanged(Recordset&) override { events.push_back("rows"); }

    std::vector<std::string> events;
    std::vector<long> leaving;
    bool cancelMoves = false;
    bool writeOnLeave = false;
};

}  // namespace

TEST(RecordsetTest, ListenerSeesTheOldRowAndMayCancel) {
    auto rs = workingRows({"A", "B"});
    RecordingListener l;
    rs->addListener(&l);

    l.writeOnLeave = true;
    rs->MoveNext();
    EXPECT_EQ((std::vector<long>{1}), l.leaving);
    EXPECT_THAT(l.events, testing::ElementsAre("will", "field:CONTORICL", "moved"));
    rs->MovePrevious();
    EXPECT_EQ(rs->value("CONTORICL").toText(), "SAVED");
    l.writeOnLeave = false;

    l.cancelMoves = true;
    l.events.clear();
    rs->MoveLast();
    rs->setAbsolutePosition(3);
    rs->Find("CONTOPDC = 'B'");
    rs->setFilter("SEGNO = 2");
    rs->AddNew();
    rs->Delete();
    rs->Close();
    EXPECT_EQ(l.events, std::vector<std::string>(7, "will"));
    EXPECT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->Filter(), "");

    l.cancelMoves = false;
    l.events.clear();
    rs->MoveFirst();   // already there: not a move
    rs->setFilter("SEGNO = 1");
    rs->AddNew();
    rs->Delete();
    EXPECT_THAT(l.events, testing::ElementsAre("will", "moved", "rows", "will", "moved", "rows", "will", "moved",
                                               "rows"));

    // A clone moving or writing does not notify the original's listeners, but rows that
    // disappear through it do.
    l.events.clear();
    auto clone = rs->Clone();
    clone->MoveLast();
    clone->setValue("CONTORICL", "Z");
    EXPECT_TRUE(l.events.empty());
    clone->MoveFirst();
    clone->Delete();
    EXPECT_THAT(l.events, testing::ElementsAre("rows"));

    rs->removeListener(&l);
    l.events.clear();
    rs->MoveLast();
    EXPECT_TRUE(l.events.empty());
}

TEST(RecordsetTest, ResultRowsOpenOnTheFirstRow) {
    db::ResultSet result;
    result.fields = {{"CG36_CODICE", ado::adInteger, 0}, {"CG36_DESCR", ado::adVarWChar, 40}};
    for (int i = 1; i <= 20; ++i) result.rows.push_back({Variant(i * 5), Variant("Voce " + std::to_string(i))});
    result.rows.push_back({Variant(1)});   // a short row is padded with Null
    auto rs = Recordset::fromResult(std::move(result), nullptr);
    EXPECT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->CursorLocation(), ado::adUseClient);
    EXPECT_EQ(rs->CursorType(), ado::adOpenStatic);
    EXPECT_EQ(rs->RecordCount(), 21);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    rs->Find("CG36_CODICE = 10");
    EXPECT_EQ(rs->value("CG36_DESCR").toText(), "Voce 2");
    rs->MoveLast();
    EXPECT_TRUE(rs->value("CG36_DESCR").isNull());
    rs->setFilter("CG36_CODICE >= 50 AND CG36_CODICE < 60");
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->currentIndex(), 0);
    EXPECT_EQ(rs->viewRow(1)[0].toInt32(), 55);
}

TEST(RecordsetTest, ThousandsOfRowsKeepEveryBehaviourAcrossClones) {
    std::vector<std::string> accounts;
    for (int i = 0; i < 1500; ++i) accounts.push_back(std::to_string(1400000000 + i));
    auto rs = workingRows(accounts);
    auto clone = rs->Clone();
    ASSERT_EQ(rs->RecordCount(), 3000);

    rs->setAbsolutePosition(2101);   // 1400001050, sign 1
    const Variant mark = rs->Bookmark();
    rs->setValue("CONTORICL", "0101001");
    rs->setValue("DESCRPDC", "Conto cambiato");
    clone->setBookmark(mark);
    EXPECT_EQ(clone->value("CONTORICL").toText(), "0101001");
    EXPECT_EQ(clone->value("DESCRPDC").toText(), "Conto cambiato");

    clone->setFilter("CONTORICL = NULL AND SEGNO = 1");
    EXPECT_EQ(clone->RecordCount(), 1499);
    clone->setFilter("DESCRPDC LIKE '*cambiato'");
    EXPECT_EQ(clone->RecordCount(), 1);
    EXPECT_EQ(clone->value("CONTOPDC").toText(), "1400001050");
    clone->setFilter("");

    clone->MoveFirst();
    clone->Find("CONTOPDC = '1400001499'");
    EXPECT_EQ(clone->AbsolutePosition(), 2999);
    clone->Find("CONTOPDC = '1400000001'", 0, ado::adSearchBackward);
    EXPECT_EQ(clone->AbsolutePosition(), 4);

    rs->Delete();
    EXPECT_EQ(clone->RecordCount(), 2999);
    EXPECT_THROW(clone->setBookmark(mark), UsageError);
    rs->AddNew();
    rs->setValue("CONTOPDC", "9999999999");
    EXPECT_EQ(clone->RecordCount(), 3000);
    clone->MoveLast();
    EXPECT_EQ(conto(*clone), "9999999999");
    EXPECT_TRUE(clone->value("SEGNO").isNull());
}
