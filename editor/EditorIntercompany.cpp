// The intercompany structure's database: the connection string that points at it and the
// connection ledger-side decoding runs on.

#include "editor/FRMCG_CORRRICL.h"
#include "editor/HeaderStatements.h"
#include "host/ClassFactory.h"

namespace editor {

std::string FRMCG_CORRRICL::GetStrConnectIntercompany() {
    std::string result = stringaConnessioneHost_;
    ErrorTrap trap{"GetStrConnectIntercompany", errorRoutine()};
    trap.procedure([&] {
        trap([&] { result = intercompanyConnectionString(stringaConnessioneHost_, nomeDatabaseIntercompany_); });
    });
    return result;
}

std::shared_ptr<db::Connection> FRMCG_CORRRICL::GetConnectIntercompany() {
    std::shared_ptr<db::Connection> result = connection_;
    try {
        const std::string connect = GetStrConnectIntercompany();
        if (connect == stringaConnessioneHost_) return result;
        provider_ = classFactory()->newConnectionProvider();
        auto c = provider_->newConnection();
        c->setConnectionString(connect);
        c->Open("", "", "", -1);
        result = std::move(c);
    } catch (const std::exception&) {
        // no message: the caller gets what was there when it failed
    }
    return result;
}

}  // namespace editor
