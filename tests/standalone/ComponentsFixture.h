#pragma once
// Shared by the Components*.cpp tests: one demo database per test suite (host and group
// databases in a scratch folder), a stand-alone host on it, a form with the header boxes a
// code-field component fills, and the smallest entry class.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/Connection.h"
#include "db/Recordset.h"
#include "host/Cinterface.h"
#include "hostdb/DemoData.h"
#include "hostdb/Schema.h"
#include "kit/Kit.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/StandaloneHost.h"
#include "support/PropertyEntry.h"
#include "support/TestSupport.h"

namespace componentstest {

// A property store that is just enough of an entry class for the components.
using MiniEntry = testsupport::PropertyEntry;

// The demo databases, made once per suite; every test gets a fresh host and form on them.
class DemoComponents : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::TempDir();
        connect_ = "Provider=SQLite;database=BREVANTO;Data Source=" + dir_->str();
        auto make = [](const std::string& name) {
            auto c = db::Connection::create();
            c->Open("Provider=SQLite;database=" + name + ";Data Source=" + dir_->str() + ";Create=1");
            hostdb::createHostSchema(*c);
            return c;
        };
        auto hostDb = make("BREVANTO");
        auto groupDb = make(hostdb::kDemoGroupDatabase);
        hostdb::fillDemo(*hostDb, *groupDb);
        hostDb->Close();
        groupDb->Close();
    }
    static void TearDownTestSuite() {
        kit::ConnectionCache::instance().clear();
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        standalone::Settings s = standalone::defaultSettings();
        s.connectionString = connect_;
        host_ = standalone::StandaloneHost::create(s, std::make_shared<standalone::ScriptedDialogs>());
        presenter_ = std::make_shared<standalone::RecordingProgramPresenter>();
        host_.setProgramPresenter(presenter_);
        entry_->setClsGlobal(host_.global);
    }

    // First column of every row `sql` returns on the host database, as text.
    std::vector<std::string> firstColumn(const std::string& sql) {
        auto rs = connection()->Execute(sql);
        std::vector<std::string> out;
        while (rs && !rs->Eof()) {
            out.push_back(rs->viewRow(rs->currentIndex()).front().toText());
            rs->MoveNext();
        }
        return out;
    }
    std::shared_ptr<db::Connection> connection() {
        if (!connection_) {
            connection_ = db::Connection::create();
            connection_->Open(connect_);
        }
        return connection_;
    }

    static inline testsupport::TempDir* dir_ = nullptr;
    static inline std::string connect_;

    standalone::StandaloneHost host_;
    std::shared_ptr<standalone::RecordingProgramPresenter> presenter_;
    std::shared_ptr<MiniEntry> entry_ = std::make_shared<MiniEntry>();
    std::shared_ptr<db::Connection> connection_;
    kit::TestWindowSystem ws_;
    kit::Form form_{"FRMCG_CORRRICL", &ws_};
    std::shared_ptr<kit::CodeEditBox> code_ = form_.create<kit::CodeEditBox>("TXT_CODICE");
    std::shared_ptr<kit::CodeEditBox> description_ = form_.create<kit::CodeEditBox>("TXT_DESCR");
    std::shared_ptr<kit::CodeEditBox> levels_ = form_.create<kit::CodeEditBox>("TXT_NUM_LIVELLI");
    std::shared_ptr<kit::CodeEditBox> consolidation_ = form_.create<kit::CodeEditBox>("TXT_NUM_LIVELLI_CONS");
};

}  // namespace componentstest
