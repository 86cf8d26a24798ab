// The editor's own connection, opened at load on the host's connection string. An editor
// never works without it: when it cannot be opened the window says so once, naming the
// database and the reason, and closes itself before it is shown, instead of reporting the
// failure of every step that would follow.

#include <stdexcept>

#include "db/ConnectionString.h"
#include "editor/FRMCG_CORRRICL.h"
#include "host/MessageCenter.h"
#include "kit/ConnectionCache.h"

namespace editor {

namespace {

constexpr int kStyleCritical = 16;

// The database a connection string names, for the user.
std::string databaseName(const std::string& connectionString) {
    const db::ConnectionString cs(connectionString);
    for (const char* key : {"database", "Initial Catalog", "DSN", "Data Source", "Server"})
        if (auto v = cs.get(key); v && !v->empty()) return *v;
    return "della stringa di connessione";
}

}  // namespace

bool FRMCG_CORRRICL::openOwnConnection() {
    try {
        if (!connection_) throw std::logic_error("il fornitore di connessioni non ha dato una connessione");
        connection_->setConnectionString(stringaConnessioneHost_);
        connection_->Open("", "", "", -1);
        return true;
    } catch (const std::exception& e) {
        connectionRefused_ = true;
        const std::string text = "Impossibile aprire il database " + databaseName(stringaConnessioneHost_) + ".\n\n" +
                                 kit::describeFailure(e) + "\n\nLa finestra \"" + Caption() + "\" si chiude.";
        try {
            if (auto messages = global()->messageCenter())
                messages->messageBox(text, kStyleCritical, moduleApplication()->title, db::Variant(hWnd()));
        } catch (const std::exception&) {
            // without the host's message box the window still closes
        }
        close();
        return false;
    }
}

}  // namespace editor
