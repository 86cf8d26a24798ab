#include "FakeProgram.h"

namespace fake {

FakeEntry::~FakeEntry() = default;

db::Variant FakeEntry::ShowForm() {
    if (window_) earlier_.push_back(window_);
    window_ = std::make_shared<FakeWindow>(*this, ws_);
    window_->setCaption(Caption().toText());
    window_->show(WindowModal());
    if (WindowModal()) seen->modalReturned = true;
    return {};
}

FakeWindow::FakeWindow(FakeEntry& e, kit::WindowSystem& ws) : kit::Form("FRMFAKE", &ws), entry(e) {
    code->Validate.connect([this](bool& cancel) { cancel = code->Text() == "BAD"; });
    code->StartLookup.connect([this](bool& cancel, std::string& sql, kit::LookupFields& fields, std::string& caption,
                                     std::string&) {
        if (!entry.lookupConnection) {
            cancel = true;
            return;
        }
        sql = "SELECT CODE, DESCR FROM CODES ORDER BY CODE";
        fields = {{"CODE", "Codice", 600}, {"DESCR", "Descrizione", 2000}};
        caption = "Codici";
    });
    code->setConnection(entry.lookupConnection);
    combo->AddItem("Dare", 1);
    combo->AddItem("Avere", 2);
    ask->setCaption("Chiedi");
    ask->ButtonClick.connect([this] {
        auto g = entry.ClsGlobal();
        int a = g ? g->messageCenter()->messageBox("Continuare?", 4, "Domanda") : -1;
        answer->setCaption(std::to_string(a));
    });
    child->ButtonClick.connect([this, &ws] {
        childWindow = std::make_unique<kit::Form>("FRMCHILD", &ws);
        childWindow->create<kit::CodeEditBox>("TXT_CHILD");
        childWindow->show(true);
        answer->setCaption("child closed");
    });
    QueryUnload.connect([this](bool& cancel, int) { cancel = entry.IsCalled(); });
    Unload.connect([this] { entry.seen->unloaded = true; });

    rows = db::Recordset::create();
    rows->fields().Append("ID", db::ado::adInteger);
    rows->fields().Append("CONTO", db::ado::adVarWChar, 15);
    rows->fields().Append("SEGNO", db::ado::adInteger);
    rows->Open();
    for (int i = 1; i <= 3; ++i) {
        rows->AddNew();
        rows->setValue("ID", i);
        rows->setValue("CONTO", "C" + std::to_string(i));
        rows->setValue("SEGNO", i % 2 ? 1 : 2);
        rows->Update();
    }
    rows->MoveFirst();
    grid->AddColumn("ID", "Id", 1, 100, false);
    grid->AddColumn("CONTO", "Conto", 1, 1000, true);
    grid->AddValueListColumn("SEGNO", 3, {{1, "Dare"}, {2, "Avere"}}, "Segno", 600, true);
    grid->EndColumns();
    grid->CloseColumns();
    other->setDbfield("CONTO");
    frame->Init(hostLink, noConnection, rows, "SELECT", "", nav.get(), grid.get());
    frame->BindControl(*other);
    nav->Init(hostLink, frame.get());
    frame->setStatus(kit::StatusShowing);
    grid->setRecordset(rows);
}

}  // namespace fake
