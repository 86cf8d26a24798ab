#include "hostdb/DemoData.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "db/Connection.h"
#include "db/Error.h"
#include "db/SqlText.h"
#include "balances/BalanceTable.h"

namespace hostdb {

namespace {

// ---------------------------------------------------------------------------------------------
// Writing rows

std::string lit(const std::string& text) { return db::sqlQuoted(text); }
std::string num(long long n) { return std::to_string(n); }

// Collects rows of one table and writes them as multi-row INSERT ... VALUES statements.
class Inserter {
public:
    Inserter(db::Connection& conn, std::string table, std::vector<std::string> columns,
             std::size_t batchRows, long& counter)
        : conn_(conn), table_(std::move(table)), batchRows_(batchRows ? batchRows : 1),
          counter_(counter) {
        head_ = "INSERT INTO " + table_ + " (";
        for (std::size_t i = 0; i < columns.size(); ++i) head_ += (i ? ", " : "") + columns[i];
        head_ += ") VALUES\n";
        width_ = columns.size();
    }
    ~Inserter() = default;
    Inserter(const Inserter&) = delete;
    Inserter& operator=(const Inserter&) = delete;

    // Each value is already an SQL literal (lit/num/"NULL").
    void row(const std::vector<std::string>& values) {
        if (values.size() != width_)
            throw db::UsageError("demo data: " + table_ + " row with " + std::to_string(values.size()) +
                                 " values for " + std::to_string(width_) + " columns");
        pending_ += pendingRows_ ? ",\n(" : "(";
        for (std::size_t i = 0; i < values.size(); ++i) pending_ += (i ? ", " : "") + values[i];
        pending_ += ")";
        if (++pendingRows_ >= batchRows_) flush();
    }
    void flush() {
        if (!pendingRows_) return;
        conn_.Execute(head_ + pending_);
        counter_ += static_cast<long>(pendingRows_);
        pending_.clear();
        pendingRows_ = 0;
    }

private:
    db::Connection& conn_;
    std::string table_;
    std::string head_;
    std::string pending_;
    std::size_t width_ = 0;
    std::size_t pendingRows_ = 0;
    std::size_t batchRows_;
    long& counter_;
};

// ---------------------------------------------------------------------------------------------
// Ledger charts. Codes are 10 characters; upper levels are written short and padded with
// zeros. A leaf carries its item of the CEE scheme 82 ("" for memorandum accounts).

struct LedgerEntry {
    const char* code;
    const char* descr;
    const char* cee;   // nullptr for an upper level
};

// Chart 80, 3 levels xx/xxxx/xxxx: level 1 "XX", level 2 "XXYY00", leaves "XXYY00NNNN".
const LedgerEntry kChart80[] = {
    {"01", "IMMOBILIZZAZIONI IMMATERIALI", nullptr},
    {"0101", "Costi di impianto e di ampliamento", nullptr},
    {"0101000001", "Costi di impianto e ampliamento", "BI01"},
    {"0101000002", "F.do amm.to costi di impianto", "BI01"},
    {"0102", "Diritti di brevetto e opere dell'ingegno", nullptr},
    {"0102000001", "Software", "BI03"},
    {"0102000002", "F.do amm.to software", "BI03"},
    {"0103", "Avviamento", nullptr},
    {"0103000001", "Avviamento", "BI05"},
    {"02", "IMMOBILIZZAZIONI MATERIALI", nullptr},
    {"0201", "Terreni e fabbricati", nullptr},
    {"0201000001", "Terreni", "BII1"},
    {"0201000002", "Fabbricati industriali", "BII1"},
    {"0201000003", "F.do amm.to fabbricati", "BII1"},
    {"0202", "Impianti e macchinari", nullptr},
    {"0202000001", "Impianti generici", "BII2"},
    {"0202000002", "Macchinari", "BII2"},
    {"0202000003", "F.do amm.to impianti e macchinari", "BII2"},
    {"0203", "Attrezzature industriali e commerciali", nullptr},
    {"0203000001", "Attrezzature", "BII3"},
    {"0203000002", "F.do amm.to attrezzature", "BII3"},
    {"0204", "Altri beni", nullptr},
    {"0204000001", "Mobili e arredi", "BII4"},
    {"0204000002", "Macchine d'ufficio elettroniche", "BII4"},
    {"0204000003", "Automezzi", "BII4"},
    {"03", "IMMOBILIZZAZIONI FINANZIARIE", nullptr},
    {"0301", "Partecipazioni", nullptr},
    {"0301000001", "Partecipazioni in imprese controllate", "BIII1A"},
    {"0301000002", "Partecipazioni in imprese collegate", "BIII1B"},
    {"0302", "Crediti finanziari", nullptr},
    {"0302000001", "Depositi cauzionali", "BIII2"},
    {"10", "RIMANENZE", nullptr},
    {"1001", "Rimanenze di magazzino", nullptr},
    {"1001000001", "Materie prime, sussidiarie e di consumo", "CI1"},
    {"1001000002", "Prodotti finiti e merci", "CI4"},
    {"14", "CREDITI VERSO CLIENTI", nullptr},
    {"1401", "CLIENTI", nullptr},
    {"1401000001", "Clienti Italia", "CII1"},
    {"1401000002", "Clienti UE", "CII1"},
    {"1401000003", "Clienti extra UE", "CII1"},
    {"1402", "Effetti e ricevute bancarie", nullptr},
    {"1402000001", "Ricevute bancarie in portafoglio", "CII1"},
    {"1402000002", "Fondo svalutazione crediti", "CII1"},
    {"16", "CREDITI DIVERSI", nullptr},
    {"1601", "Crediti tributari", nullptr},
    {"1601000001", "Erario c/IVA", "CII4B"},
    {"1601000002", "Erario c/acconti IRES", "CII4B"},
    {"1601000003", "Erario c/acconti IRAP", "CII4B"},
    {"1602", "Altri crediti", nullptr},
    {"1602000001", "Crediti verso dipendenti", "CII5"},
    {"1602000002", "Anticipi a fornitori", "CII5"},
    {"18", "DISPONIBILITA' LIQUIDE", nullptr},
    {"1801", "Banche", nullptr},
    {"1801000001", "Banca c/c", "CIV1"},
    {"1801000002", "Banca c/anticipi fatture", "CIV1"},
    {"1802", "Cassa", nullptr},
    {"1802000001", "Cassa contanti", "CIV3"},
    {"1802000002", "Valori bollati", "CIV3"},
    {"19", "RATEI E RISCONTI ATTIVI", nullptr},
    {"1901", "Ratei e risconti attivi", nullptr},
    {"1901000001", "Ratei attivi", "D"},
    {"1901000002", "Risconti attivi", "D"},
    {"20", "PATRIMONIO NETTO", nullptr},
    {"2001", "Capitale e riserve", nullptr},
    {"2001000001", "Capitale sociale", "AI"},
    {"2001000002", "Riserva legale", "AIV"},
    {"2001000003", "Riserva straordinaria", "AVII"},
    {"2002", "Risultato d'esercizio", nullptr},
    {"2002000001", "Utile (perdita) d'esercizio", "AIX"},
    {"2002000002", "Utili (perdite) portati a nuovo", "AVIII"},
    {"22", "FONDI PER RISCHI E ONERI", nullptr},
    {"2201", "Fondi rischi e oneri", nullptr},
    {"2201000001", "Fondo imposte differite", "B2"},
    {"2201000002", "Fondo rischi su crediti", "B4"},
    {"23", "TRATTAMENTO DI FINE RAPPORTO", nullptr},
    {"2301", "Fondo TFR", nullptr},
    {"2301000001", "Fondo trattamento di fine rapporto", "C"},
    {"24", "DEBITI FINANZIARI", nullptr},
    {"2401", "Debiti verso banche", nullptr},
    {"2401000001", "Mutui passivi", "D4"},
    {"2401000002", "Finanziamenti bancari a breve", "D4"},
    {"26", "DEBITI VERSO FORNITORI", nullptr},
    {"2601", "FORNITORI", nullptr},
    {"2601000001", "Fornitori Italia", "D7"},
    {"2601000002", "Fornitori UE", "D7"},
    {"2601000003", "Fatture da ricevere", "D7"},
    {"28", "DEBITI DIVERSI", nullptr},
    {"2801", "Debiti tributari", nullptr},
    {"2801000001", "Erario c/IVA a debito", "D12"},
    {"2801000002", "Erario c/ritenute lavoratori dipendenti", "D12"},
    {"2801000003", "Debiti per IRES e IRAP", "D12"},
    {"2802", "Debiti previdenziali", nullptr},
    {"2802000001", "INPS c/contributi", "D13"},
    {"2802000002", "INAIL c/contributi", "D13"},
    {"2803", "Altri debiti", nullptr},
    {"2803000001", "Dipendenti c/retribuzioni", "D14"},
    {"29", "RATEI E RISCONTI PASSIVI", nullptr},
    {"2901", "Ratei e risconti passivi", nullptr},
    {"2901000001", "Ratei passivi", "E"},
    {"2901000002", "Risconti passivi", "E"},
    {"60", "COSTI DELLA PRODUZIONE", nullptr},
    {"6001", "Acquisti", nullptr},
    {"6001000001", "Materie prime c/acquisti", "B6"},
    {"6001000002", "Merci c/acquisti", "B6"},
    {"6001000003", "Materiali di consumo", "B6"},
    {"6002", "Servizi", nullptr},
    {"6002000001", "Energia elettrica", "B7"},
    {"6002000002", "Spese telefoniche", "B7"},
    {"6002000003", "Consulenze amministrative e fiscali", "B7"},
    {"6002000004", "Manutenzioni e riparazioni", "B7"},
    {"6002000005", "Assicurazioni", "B7"},
    {"6003", "Godimento beni di terzi", nullptr},
    {"6003000001", "Affitti passivi", "B8"},
    {"6003000002", "Canoni di leasing", "B8"},
    {"6004", "Costi per il personale", nullptr},
    {"6004000001", "Salari e stipendi", "B9A"},
    {"6004000002", "Oneri sociali", "B9B"},
    {"6004000003", "Accantonamento TFR", "B9C"},
    {"6005", "Ammortamenti", nullptr},
    {"6005000001", "Amm.to immobilizzazioni immateriali", "B10A"},
    {"6005000002", "Amm.to immobilizzazioni materiali", "B10B"},
    {"6006", "Oneri diversi di gestione", nullptr},
    {"6006000001", "Imposte e tasse deducibili", "B14"},
    {"68", "ONERI FINANZIARI", nullptr},
    {"6801", "Interessi passivi", nullptr},
    {"6801000001", "Interessi passivi bancari", "C17"},
    {"6801000002", "Interessi passivi su mutui", "C17"},
    {"69", "IMPOSTE SUL REDDITO", nullptr},
    {"6901", "Imposte dell'esercizio", nullptr},
    {"6901000001", "IRES dell'esercizio", "20"},
    {"6901000002", "IRAP dell'esercizio", "20"},
    {"70", "VALORE DELLA PRODUZIONE", nullptr},
    {"7001", "Ricavi delle vendite", nullptr},
    {"7001000001", "Ricavi vendite prodotti", "A1"},
    {"7001000002", "Ricavi prestazioni di servizi", "A1"},
    {"7002", "Altri ricavi e proventi", nullptr},
    {"7002000001", "Rimborsi spese", "A5"},
    {"7002000002", "Plusvalenze ordinarie", "A5"},
    {"78", "PROVENTI FINANZIARI", nullptr},
    {"7801", "Interessi attivi", nullptr},
    {"7801000001", "Interessi attivi bancari", "C16D"},
    {"90", "CONTI D'ORDINE", nullptr},
    {"9001", "Beni di terzi", nullptr},
    {"9001000001", "Beni di terzi in deposito", ""},
    {"9001000002", "Depositanti beni", ""},
    {"9002", "Garanzie", nullptr},
    {"9002000001", "Fideiussioni prestate", ""},
    {"9002000002", "Creditori per fideiussioni", ""},
};

// Chart 10, 4 levels xx/xx/xx/xxxx: "XX", "XXYY", "XXYYZZ", leaves "XXYYZZNNNN".
const LedgerEntry kChart10[] = {
    {"01", "IMMOBILIZZAZIONI", nullptr},
    {"0101", "Immobilizzazioni immateriali", nullptr},
    {"010101", "Costi pluriennali", nullptr},
    {"0101010001", "Costi di impianto e ampliamento", "BI01"},
    {"0101010002", "Software gestionale", "BI03"},
    {"010102", "Fondi ammortamento immateriali", nullptr},
    {"0101020001", "F.do amm.to costi di impianto", "BI01"},
    {"0101020002", "F.do amm.to software", "BI03"},
    {"0102", "Immobilizzazioni materiali", nullptr},
    {"010201", "Impianti e macchinari", nullptr},
    {"0102010001", "Impianti", "BII2"},
    {"0102010002", "Macchinari", "BII2"},
    {"010202", "Altri beni materiali", nullptr},
    {"0102020001", "Mobili e arredi", "BII4"},
    {"0102020002", "Automezzi", "BII4"},
    {"010203", "Fondi ammortamento materiali", nullptr},
    {"0102030001", "F.do amm.to impianti", "BII2"},
    {"0102030002", "F.do amm.to automezzi", "BII4"},
    {"10", "ATTIVO CIRCOLANTE", nullptr},
    {"1001", "Rimanenze", nullptr},
    {"100101", "Magazzino", nullptr},
    {"1001010001", "Materie prime", "CI1"},
    {"1001010002", "Prodotti finiti", "CI4"},
    {"14", "CREDITI COMMERCIALI", nullptr},
    {"1401", "CLIENTI", nullptr},
    {"140101", "Clienti nazionali ed esteri", nullptr},
    {"1401010001", "Clienti Italia", "CII1"},
    {"1401010002", "Clienti esteri", "CII1"},
    {"1402", "Altri crediti commerciali", nullptr},
    {"140201", "Effetti", nullptr},
    {"1402010001", "Ricevute bancarie", "CII1"},
    {"1402010002", "Fondo svalutazione crediti", "CII1"},
    {"16", "CREDITI DIVERSI", nullptr},
    {"1601", "Crediti tributari", nullptr},
    {"160101", "Erario", nullptr},
    {"1601010001", "Erario c/IVA", "CII4B"},
    {"1601010002", "Erario c/acconti d'imposta", "CII4B"},
    {"18", "DISPONIBILITA' LIQUIDE", nullptr},
    {"1801", "Banche e cassa", nullptr},
    {"180101", "Banche", nullptr},
    {"1801010001", "Banca Intesa c/c", "CIV1"},
    {"1801010002", "Banca Popolare c/c", "CIV1"},
    {"180102", "Cassa", nullptr},
    {"1801020001", "Cassa sede", "CIV3"},
    {"20", "PATRIMONIO NETTO", nullptr},
    {"2001", "Capitale e riserve", nullptr},
    {"200101", "Capitale", nullptr},
    {"2001010001", "Capitale sociale", "AI"},
    {"2001010002", "Riserva legale", "AIV"},
    {"200102", "Risultati", nullptr},
    {"2001020001", "Utile (perdita) dell'esercizio", "AIX"},
    {"23", "TRATTAMENTO DI FINE RAPPORTO", nullptr},
    {"2301", "Fondo TFR", nullptr},
    {"230101", "TFR", nullptr},
    {"2301010001", "Fondo TFR dipendenti", "C"},
    {"26", "DEBITI COMMERCIALI", nullptr},
    {"2601", "FORNITORI", nullptr},
    {"260101", "Fornitori nazionali ed esteri", nullptr},
    {"2601010001", "Fornitori Italia", "D7"},
    {"2601010002", "Fornitori esteri", "D7"},
    {"2602", "Altri debiti commerciali", nullptr},
    {"260201", "Fatture da ricevere", nullptr},
    {"2602010001", "Fatture da ricevere", "D7"},
    {"28", "DEBITI DIVERSI", nullptr},
    {"2801", "Debiti tributari e previdenziali", nullptr},
    {"280101", "Erario", nullptr},
    {"2801010001", "Erario c/IVA", "D12"},
    {"2801010002", "Erario c/ritenute", "D12"},
    {"280102", "Istituti previdenziali", nullptr},
    {"2801020001", "INPS c/contributi", "D13"},
    {"60", "COSTI", nullptr},
    {"6001", "Acquisti", nullptr},
    {"600101", "Materie e merci", nullptr},
    {"6001010001", "Acquisti materie prime", "B6"},
    {"6001010002", "Acquisti merci", "B6"},
    {"6002", "Servizi", nullptr},
    {"600201", "Utenze", nullptr},
    {"6002010001", "Energia elettrica", "B7"},
    {"6002010002", "Telefono e internet", "B7"},
    {"600202", "Consulenze", nullptr},
    {"6002020001", "Consulenze legali", "B7"},
    {"6002020002", "Consulenze fiscali", "B7"},
    {"6003", "Personale", nullptr},
    {"600301", "Retribuzioni", nullptr},
    {"6003010001", "Salari e stipendi", "B9A"},
    {"6003010002", "Oneri sociali", "B9B"},
    {"6003010003", "TFR dell'esercizio", "B9C"},
    {"6004", "Ammortamenti", nullptr},
    {"600401", "Ammortamenti", nullptr},
    {"6004010001", "Amm.to immobilizzazioni immateriali", "B10A"},
    {"6004010002", "Amm.to immobilizzazioni materiali", "B10B"},
    {"68", "ONERI FINANZIARI", nullptr},
    {"6801", "Interessi", nullptr},
    {"680101", "Interessi passivi", nullptr},
    {"6801010001", "Interessi passivi bancari", "C17"},
    {"70", "RICAVI", nullptr},
    {"7001", "Vendite", nullptr},
    {"700101", "Ricavi", nullptr},
    {"7001010001", "Ricavi vendite Italia", "A1"},
    {"7001010002", "Ricavi vendite estero", "A1"},
    {"7001010003", "Ricavi prestazioni", "A1"},
    {"7002", "Altri ricavi", nullptr},
    {"700201", "Proventi diversi", nullptr},
    {"7002010001", "Rimborsi e proventi diversi", "A5"},
    {"90", "CONTI D'ORDINE", nullptr},
    {"9001", "Conti d'ordine", nullptr},
    {"900101", "Beni di terzi", nullptr},
    {"9001010001", "Beni di terzi presso l'azienda", ""},
    {"9001010002", "Terzi c/beni", ""},
};

std::string padCode(const char* code) {
    std::string c(code);
    if (c.size() < 10) c.append(10 - c.size(), '0');
    return c;
}

// Account type by the first level: balance sheet below 60, profit and loss from 60 to 89,
// memorandum from 90.
int ledgerType(const std::string& code) {
    int first = (code[0] - '0') * 10 + (code[1] - '0');
    return first < 60 ? 1 : first < 90 ? 2 : 0;
}

// Items of the CEE scheme 82, each with the interim-balance account (chart 103) and the
// account of the reclassified balance sheet (chart 101) it corresponds to.
struct CeeItem {
    const char* item;
    const char* interim;   // chart 103
    const char* balance;   // chart 101
};
const CeeItem kCeeItems[] = {
    {"BI01", "A0101", "0101001"},   {"BI03", "A0101", "0101002"},  {"BI05", "A0101", "0101003"},
    {"BII1", "A0102", "0102001"},   {"BII2", "A0102", "0102002"},  {"BII3", "A0102", "0102003"},
    {"BII4", "A0102", "0102003"},   {"BIII1A", "A0103", "0103001"}, {"BIII1B", "A0103", "0103001"},
    {"BIII2", "A0103", "0103002"},  {"CI1", "A0201", "0201001"},   {"CI4", "A0201", "0201001"},
    {"CII1", "A0202", "0202001"},   {"CII4B", "A0203", "0203001"}, {"CII5", "A0203", "0203002"},
    {"CIV1", "A0204", "0204001"},   {"CIV3", "A0204", "0204002"},  {"D", "A0205", "0204003"},
    {"AI", "P0101", "0301001"},     {"AIV", "P0101", "0301002"},   {"AVII", "P0101", "0301002"},
    {"AVIII", "P0101", "0301002"},  {"AIX", "P0102", "0301003"},   {"B2", "P0201", "0401001"},
    {"B4", "P0201", "0401001"},     {"C", "P0202", "0401002"},     {"D4", "P0301", "0501003"},
    {"D7", "P0302", "0501001"},     {"D12", "P0303", "0501002"},   {"D13", "P0303", "0501002"},
    {"D14", "P0304", "0501004"},    {"E", "P0304", "0501005"},     {"A1", "E0101", "0601001"},
    {"A5", "E0102", "0601002"},     {"B6", "E0201", "0701001"},    {"B7", "E0202", "0701002"},
    {"B8", "E0202", "0701003"},     {"B9A", "E0203", "0701004"},   {"B9B", "E0203", "0701004"},
    {"B9C", "E0203", "0701004"},    {"B10A", "E0204", "0701005"},  {"B10B", "E0204", "0701005"},
    {"B14", "E0205", "0701006"},    {"C16D", "E0301", "0801001"},  {"C17", "E0302", "0801002"},
    {"20", "E0401", "0802001"},     {"", "O0101", "0901001"},
};

const CeeItem& ceeItem(const std::string& item) {
    for (const auto& c : kCeeItems)
        if (item == c.item) return c;
    throw db::UsageError("demo data: CEE item " + item + " without correspondence");
}

// ---------------------------------------------------------------------------------------------
// Reclassification, analytic, Hyperion and intercompany charts.

struct ReclEntry {
    const char* code;
    const char* descr;
    int type;   // PC03_INDTIPOCONTO
};

struct ReclChart {
    int code;
    int chartType;           // PC01_INDTIPOPDC
    const char* descr;
    const char* mask;        // PC01_MASKEDIT
    bool configured;         // PC02_CONFIGPDC row
    std::vector<ReclEntry> accounts;
};

int maskLevels(const std::string& mask) {
    if (mask.empty()) return 1;
    int levels = 1;
    for (char c : mask) levels += c == '/';
    return levels;
}

std::size_t maskWidth(const std::string& mask) {
    std::size_t n = 0;
    for (char c : mask) n += c != '/';
    return n;
}

const std::vector<ReclChart>& reclCharts() {
    static const std::vector<ReclChart> charts = {
        {101, 3, "Stato patrimoniale e conto economico riclassificati", "xx/xx/xxx", true,
         {
             {"01", "ATTIVITA' IMMOBILIZZATE", 1},
             {"0101", "Immobilizzazioni immateriali nette", 1},
             {"0101001", "Costi pluriennali", 1},
             {"0101002", "Software e brevetti", 1},
             {"0101003", "Avviamento", 1},
             {"0102", "Immobilizzazioni materiali nette", 1},
             {"0102001", "Terreni e fabbricati", 1},
             {"0102002", "Impianti e macchinari", 1},
             {"0102003", "Attrezzature e altri beni", 1},
             {"0103", "Immobilizzazioni finanziarie", 1},
             {"0103001", "Partecipazioni", 1},
             {"0103002", "Crediti finanziari immobilizzati", 1},
             {"02", "ATTIVITA' CORRENTI", 1},
             {"0201", "Rimanenze", 1},
             {"0201001", "Rimanenze di magazzino", 1},
             {"0202", "Crediti commerciali", 1},
             {"0202001", "Crediti verso clienti", 1},
             {"0203", "Altri crediti", 1},
             {"0203001", "Crediti tributari", 1},
             {"0203002", "Crediti diversi", 1},
             {"0204", "Liquidita' e ratei attivi", 1},
             {"0204001", "Banche attive", 1},
             {"0204002", "Cassa e valori", 1},
             {"0204003", "Ratei e risconti attivi", 1},
             {"03", "PATRIMONIO NETTO", 1},
             {"0301", "Patrimonio netto", 1},
             {"0301001", "Capitale sociale", 1},
             {"0301002", "Riserve", 1},
             {"0301003", "Risultato d'esercizio", 1},
             {"04", "PASSIVITA' CONSOLIDATE", 1},
             {"0401", "Fondi e debiti a medio/lungo", 1},
             {"0401001", "Fondi per rischi e oneri", 1},
             {"0401002", "Trattamento di fine rapporto", 1},
             {"05", "PASSIVITA' CORRENTI", 1},
             {"0501", "Debiti a breve", 1},
             {"0501001", "Debiti verso fornitori", 1},
             {"0501002", "Debiti tributari e previdenziali", 1},
             {"0501003", "Debiti verso banche", 1},
             {"0501004", "Altri debiti", 1},
             {"0501005", "Ratei e risconti passivi", 1},
             {"06", "VALORE DELLA PRODUZIONE", 2},
             {"0601", "Ricavi", 2},
             {"0601001", "Ricavi delle vendite e delle prestazioni", 2},
             {"0601002", "Altri ricavi e proventi", 2},
             {"07", "COSTI DELLA PRODUZIONE", 2},
             {"0701", "Costi operativi", 2},
             {"0701001", "Acquisti", 2},
             {"0701002", "Servizi", 2},
             {"0701003", "Godimento beni di terzi", 2},
             {"0701004", "Costo del personale", 2},
             {"0701005", "Ammortamenti", 2},
             {"0701006", "Oneri diversi di gestione", 2},
             {"08", "GESTIONE FINANZIARIA E IMPOSTE", 2},
             {"0801", "Gestione finanziaria", 2},
             {"0801001", "Proventi finanziari", 2},
             {"0801002", "Oneri finanziari", 2},
             {"0802", "Imposte", 2},
             {"0802001", "Imposte sul reddito dell'esercizio", 2},
             {"09", "CONTI D'ORDINE", 0},
             {"0901", "Conti d'ordine", 0},
             {"0901001", "Beni di terzi e garanzie", 0},
         }},
        {102, 5, "Riclassificazione gestionale", "xx/xxx", true,
         {
             {"10", "RICAVI NETTI", 2},
             {"10001", "Ricavi Italia", 2},
             {"10002", "Ricavi estero", 2},
             {"10003", "Altri ricavi", 2},
             {"20", "COSTI VARIABILI", 2},
             {"20001", "Materie e merci", 2},
             {"20002", "Lavorazioni esterne", 2},
             {"20003", "Energia e utenze di produzione", 2},
             {"20004", "Provvigioni e trasporti", 2},
             {"30", "COSTI FISSI", 2},
             {"30001", "Personale", 2},
             {"30002", "Consulenze e servizi generali", 2},
             {"30003", "Affitti e leasing", 2},
             {"30004", "Ammortamenti", 2},
             {"40", "GESTIONE FINANZIARIA", 2},
             {"40001", "Oneri finanziari", 2},
             {"40002", "Proventi finanziari", 2},
             {"50", "CAPITALE INVESTITO", 1},
             {"50001", "Immobilizzazioni nette", 1},
             {"50002", "Capitale circolante netto", 1},
             {"50003", "Liquidita'", 1},
             {"60", "FONTI DI FINANZIAMENTO", 1},
             {"60001", "Mezzi propri", 1},
             {"60002", "Debiti finanziari", 1},
             {"60003", "Debiti operativi", 1},
             {"90", "MEMORANDUM", 0},
             {"90001", "Conti d'ordine", 0},
         }},
        {103, 6, "Bilanci Infrannuali", "x/xx/xx", true,
         {
             {"A", "ATTIVO", 1},
             {"A01", "Immobilizzazioni", 1},
             {"A0101", "Immobilizzazioni immateriali", 1},
             {"A0102", "Immobilizzazioni materiali", 1},
             {"A0103", "Immobilizzazioni finanziarie", 1},
             {"A02", "Attivo circolante", 1},
             {"A0201", "Rimanenze", 1},
             {"A0202", "Crediti verso clienti", 1},
             {"A0203", "Crediti diversi", 1},
             {"A0204", "Disponibilita' liquide", 1},
             {"A0205", "Ratei e risconti attivi", 1},
             {"P", "PASSIVO", 1},
             {"P01", "Patrimonio netto", 1},
             {"P0101", "Capitale e riserve", 1},
             {"P0102", "Risultato d'esercizio", 1},
             {"P02", "Fondi e TFR", 1},
             {"P0201", "Fondi per rischi e oneri", 1},
             {"P0202", "Trattamento di fine rapporto", 1},
             {"P03", "Debiti", 1},
             {"P0301", "Debiti verso banche", 1},
             {"P0302", "Debiti verso fornitori", 1},
             {"P0303", "Debiti tributari e previdenziali", 1},
             {"P0304", "Altri debiti, ratei e risconti passivi", 1},
             {"E", "CONTO ECONOMICO", 2},
             {"E01", "Valore della produzione", 2},
             {"E0101", "Ricavi delle vendite", 2},
             {"E0102", "Altri ricavi", 2},
             {"E02", "Costi della produzione", 2},
             {"E0201", "Acquisti", 2},
             {"E0202", "Servizi e godimento beni di terzi", 2},
             {"E0203", "Personale", 2},
             {"E0204", "Ammortamenti", 2},
             {"E0205", "Oneri diversi di gestione", 2},
             {"E03", "Gestione finanziaria", 2},
             {"E0301", "Proventi finanziari", 2},
             {"E0302", "Oneri finanziari", 2},
             {"E04", "Imposte", 2},
             {"E0401", "Imposte sul reddito", 2},
             {"O", "CONTI D'ORDINE", 0},
             {"O01", "Conti d'ordine", 0},
             {"O0101", "Beni di terzi e garanzie", 0},
         }},
        {110, 3, "Riclassificazione in allestimento", "xx/xxx", false,
         {
             {"01", "ATTIVO", 1},
             {"01001", "Attivo fisso", 1},
             {"01002", "Attivo corrente", 1},
             {"02", "PASSIVO", 1},
             {"02001", "Passivo e netto", 1},
         }},
        {201, 1, "Piano dei conti analitico (centri di costo)", "xx/xx/xxx", true,
         {
             {"10", "PRODUZIONE", 2},
             {"1001", "Reparto stampaggio", 2},
             {"1001001", "Manodopera diretta stampaggio", 2},
             {"1001002", "Energia reparto stampaggio", 2},
             {"1001003", "Manutenzione presse", 2},
             {"1002", "Reparto montaggio", 2},
             {"1002001", "Manodopera diretta montaggio", 2},
             {"1002002", "Materiali di consumo montaggio", 2},
             {"20", "COMMERCIALE", 2},
             {"2001", "Vendite Italia", 2},
             {"2001001", "Provvigioni agenti", 2},
             {"2001002", "Trasporti su vendite", 2},
             {"2002", "Vendite estero", 2},
             {"2002001", "Fiere e promozioni", 2},
             {"30", "AMMINISTRAZIONE", 2},
             {"3001", "Direzione", 2},
             {"3001001", "Compensi amministratori", 2},
             {"3001002", "Consulenze di direzione", 2},
             {"3002", "Servizi generali", 2},
             {"3002001", "Affitto e utenze sede", 2},
             {"3002002", "Cancelleria e stampati", 2},
             {"40", "RICAVI PER LINEA DI PRODOTTO", 2},
             {"4001", "Linea componenti", 2},
             {"4001001", "Ricavi linea componenti", 2},
             {"4002", "Linea ricambi", 2},
             {"4002001", "Ricavi linea ricambi", 2},
         }},
        {301, 5, "Piano Hyperion di gruppo", "", true,
         {
             {"BS", "STATO PATRIMONIALE", 1},
             {"BS1100", "Immobilizzazioni immateriali", 1},
             {"BS1200", "Immobilizzazioni materiali", 1},
             {"BS1300", "Immobilizzazioni finanziarie", 1},
             {"BS2100", "Rimanenze", 1},
             {"BS2200", "Crediti commerciali", 1},
             {"BS2300", "Altri crediti", 1},
             {"BS2400", "Disponibilita' liquide", 1},
             {"BS3100", "Patrimonio netto", 1},
             {"BS3200", "Fondi e TFR", 1},
             {"BS4100", "Debiti finanziari", 1},
             {"BS4200", "Debiti commerciali", 1},
             {"BS4300", "Altri debiti", 1},
             {"IS", "CONTO ECONOMICO", 2},
             {"IS1100", "Ricavi", 2},
             {"IS2100", "Costi per materie", 2},
             {"IS2200", "Costi per servizi", 2},
             {"IS2300", "Costi del personale", 2},
             {"IS2400", "Ammortamenti", 2},
             {"IS3100", "Proventi e oneri finanziari", 2},
             {"IS4100", "Imposte", 2},
             {"OB", "CONTI D'ORDINE", 0},
             {"OB1000", "Conti d'ordine", 0},
         }},
        {401, 4, "Riclassificato intercompany", "xxx/xx", true,
         {
             {"IC1", "CREDITI E DEBITI INFRAGRUPPO", 1},
             {"IC101", "Crediti verso societa' del gruppo", 1},
             {"IC102", "Debiti verso societa' del gruppo", 1},
             {"IC103", "Finanziamenti infragruppo", 1},
             {"IC2", "RICAVI E COSTI INFRAGRUPPO", 2},
             {"IC201", "Ricavi infragruppo", 2},
             {"IC202", "Costi infragruppo", 2},
             {"IC203", "Dividendi infragruppo", 2},
             {"IC3", "PARTECIPAZIONI", 1},
             {"IC301", "Partecipazioni in societa' controllate", 1},
             {"IC302", "Patrimonio netto delle controllate", 1},
         }},
    };
    return charts;
}

// ---------------------------------------------------------------------------------------------
// Shared pieces of the two databases.

void insertCompanies(db::Connection& c, const std::vector<std::pair<int, const char*>>& companies,
                     std::size_t batch, long& counter) {
    Inserter ins(c, "CG18_ANADITTA", {"CG18_DITTA", "CG18_RAGSOC"}, batch, counter);
    for (const auto& [code, name] : companies) ins.row({num(code), lit(name)});
    ins.flush();
}

void insertLedgerChart(db::Connection& c, int chart, const LedgerEntry* entries, std::size_t count,
                       std::size_t batch, long& counter) {
    Inserter ins(c, "CG24_TABPDC", {"CG24_GRUPPO_CG10", "CG24_CONTO", "CG24_DESCR", "CG24_INDTIPOCONTO"},
                 batch, counter);
    for (std::size_t i = 0; i < count; ++i) {
        std::string code = padCode(entries[i].code);
        ins.row({num(chart), lit(code), lit(entries[i].descr), num(ledgerType(code))});
    }
    ins.flush();
}

void insertChartHeaders(db::Connection& c, bool both, std::size_t batch, long& counter) {
    Inserter ins(c, "CG10_DESPDC",
                 {"CG10_GRUPPO", "CG10_DESCR", "CG10_MASKEDIT", "CG10_NUMLIVELLI", "CG10_NUMLIVCONS"},
                 batch, counter);
    ins.row({num(kDemoStandardChart), lit("Piano dei conti standard"), lit("xx/xxxx/xxxx"), "3", "2"});
    if (both)
        ins.row({num(kDemoCompanyChart), lit("Piano dei conti Rossi S.p.A."), lit("xx/xx/xx/xxxx"), "4", "2"});
    ins.flush();
}

void insertMasters(db::Connection& c, int chart, std::size_t batch, long& counter) {
    Inserter ins(c, "CG36_PRSPDC", {"CG36_GRUPPO_CG10", "CG36_CODICE", "CG36_CONTO_CG24"}, batch, counter);
    ins.row({num(chart), "10", lit("1401000000")});
    ins.row({num(chart), "20", lit("2601000000")});
    ins.flush();
}

struct Intermediary {
    int company;
    int tipoCF;
    int number;
    const char* descr;
};

void insertIntermediaries(db::Connection& c, const std::vector<Intermediary>& rows, std::size_t batch,
                          long& counter) {
    Inserter ins(c, "CG40_ANADITTAINTER", {"CG40_DITTA_CG18", "CG40_TIPOCF", "CG40_INTERMEDIO", "CG40_DESCR"},
                 batch, counter);
    for (const auto& r : rows) ins.row({num(r.company), num(r.tipoCF), num(r.number), lit(r.descr)});
    ins.flush();
}

// Intermediary numbers take the third and fourth characters of the masters' codes
// (1401000000, 2601000000), so none of them is 1: its sub-account would be the master itself.
const std::vector<Intermediary>& companyIntermediaries() {
    static const std::vector<Intermediary> rows = {
        {1, 0, 0, "Clienti diversi"},
        {1, 0, 4, "Clienti Italia - agenzia Nord"},
        {1, 0, 2, "Clienti esteri"},
        {1, 0, 7, "Clienti grande distribuzione"},
        {1, 1, 0, "Fornitori diversi"},
        {1, 1, 3, "Fornitori di materie prime"},
        {1, 1, 5, "Fornitori di servizi"},
    };
    return rows;
}

const std::vector<Intermediary>& groupIntermediaries() {
    static const std::vector<Intermediary> rows = {
        {2, 0, 0, "Clienti diversi"},
        {2, 0, 4, "Societa' controllate"},
        {2, 1, 0, "Fornitori diversi"},
        {2, 1, 2, "Societa' del gruppo"},
    };
    return rows;
}

template <std::size_t N>
std::size_t countOf(const LedgerEntry (&)[N]) {
    return N;
}

// Tries to open an explicit transaction for the bulk of the inserts; a database or translator
// that does not accept it simply runs the batches one by one.
bool beginTransaction(db::Connection& c) {
    try {
        c.Execute("BEGIN TRANSACTION");
        return true;
    } catch (const db::Exception&) {
        c.Errors().Clear();
        return false;
    }
}

}  // namespace

namespace {

// Generated accounts sit under the customers' first level 14: level 2 from 50 up, 99 level-3
// groups each of 9999 leaves ("14" + level 2 + level 3 + four digits).
constexpr long kGeneratedPerGroup = 9999;

std::string generatedLeafCode(long index) {
    const long group = index / kGeneratedPerGroup;
    char code[64];
    std::snprintf(code, sizeof code, "14%02d%02d%04ld", 50 + static_cast<int>(group / 99),
                  static_cast<int>(group % 99) + 1, index - group * kGeneratedPerGroup + 1);
    return code;
}

// The CEE items of scheme 82 the standard chart's leaves use, each once, in chart order: the
// generated accounts are spread over them, so that the interim-balance correlation by CEE
// derives a row for each of them on both signs.
std::vector<std::string> standardCeeItems() {
    std::vector<std::string> items;
    for (const auto& e : kChart80)
        if (e.cee && *e.cee && std::find(items.begin(), items.end(), e.cee) == items.end()) items.emplace_back(e.cee);
    return items;
}

}  // namespace

long insertGeneratedAccounts(db::Connection& host, long count, std::size_t batchRows) {
    long written = 0;
    if (count <= 0) return 0;
    Inserter ins(host, "CG24_TABPDC", {"CG24_GRUPPO_CG10", "CG24_CONTO", "CG24_DESCR", "CG24_INDTIPOCONTO"},
                 batchRows, written);
    long groups = (count + kGeneratedPerGroup - 1) / kGeneratedPerGroup;
    if (groups > 49L * 99L) throw db::UsageError("troppi conti generati: al massimo 4.850.000");
    char code[64];
    char descr[96];
    int lastLevel2 = -1;
    for (long g = 0; g < groups; ++g) {
        int level2 = 50 + static_cast<int>(g / 99);
        int level3 = static_cast<int>(g % 99) + 1;
        if (level2 != lastLevel2) {
            std::snprintf(code, sizeof code, "14%02d000000", level2);
            std::snprintf(descr, sizeof descr, "Clienti generati serie %02d", level2);
            ins.row({num(kDemoCompanyChart), lit(code), lit(descr), "1"});
            lastLevel2 = level2;
        }
        std::snprintf(code, sizeof code, "14%02d%02d0000", level2, level3);
        std::snprintf(descr, sizeof descr, "Clienti generati gruppo %02d%02d", level2, level3);
        ins.row({num(kDemoCompanyChart), lit(code), lit(descr), "1"});
        long first = g * kGeneratedPerGroup;
        long last = std::min(count, first + kGeneratedPerGroup);
        for (long i = first; i < last; ++i) {
            std::snprintf(descr, sizeof descr, "Cliente %06ld", i + 1);
            ins.row({num(kDemoCompanyChart), lit(generatedLeafCode(i)), lit(descr), "1"});
        }
    }
    ins.flush();
    return written;
}

long insertGeneratedCeeLinks(db::Connection& host, long count, std::size_t batchRows) {
    long written = 0;
    if (count <= 0) return 0;
    Inserter ins(host, "CG20_COLLPDCRICL",
                 {"CG20_GRUPPO_CG10", "CG20_CONTO_CG24", "CG20_CODICE_CG21", "CG20_CODICE_CG23", "CG20_INDSEGNO",
                  "CG20_IDMEDIA_CG99"},
                 batchRows, written);
    const std::vector<std::string> items = standardCeeItems();
    const std::string chart = num(kDemoCompanyChart);
    for (long i = 0; i < count; ++i) {
        const std::string code = lit(generatedLeafCode(i));
        const std::string item = lit(items[static_cast<std::size_t>(i) % items.size()]);
        for (const char* sign : {"1", "2"}) ins.row({chart, code, "82", item, sign, "0"});
    }
    ins.flush();
    return written;
}

namespace {

// The side an account of chart 10 normally has its balance on: assets and costs in debit,
// funds, equity, liabilities and revenues in credit.
bool creditByNature(const std::string& code, const std::string& descr) {
    if (descr.starts_with("F.do") || descr.starts_with("Fondo")) return true;
    const int first = std::stoi(code.substr(0, 2));
    return (first >= 20 && first < 60) || first >= 70;
}

std::string decimalText(long long cents) {
    char out[32];
    std::snprintf(out, sizeof out, "%lld.%02lld", cents / 100, cents % 100);
    return out;
}

// The trial balances of chart 10 at the year end and at the half year: every leaf with a CEE
// item, in balance through the result of the year. The second bank goes overdrawn in June and
// the foreign customers have paid in advance then: both balances fall on a sign whose row is not
// correlated with chart 101.
void insertDemoBalances(db::Connection& c, std::size_t batch, long& counter) {
    c.Execute(balances::kCreateBalanceTable);
    Inserter ins(c, balances::kBalanceTable, {"BRV_DITTA", "BRV_PDC", "BRV_DATA", "BRV_CONTO", "BRV_DARE", "BRV_AVERE"},
                 batch, counter);
    const std::string result = "2001020001";
    const std::map<std::string, std::pair<long long, long long>> special = {
        {kDemoOverdrawnBank, {1250000, -830000}}, {kDemoCustomerInCredit, {420000, -150000}}};
    for (const auto& dated : {std::pair{kDemoBalanceDates[0], false}, std::pair{kDemoBalanceDates[1], true}}) {
        const auto& date = dated.first;   // a lambda below uses it: a structured binding it could not capture
        const bool half = dated.second;
        long long net = 0;
        const auto add = [&](const std::string& code, long long balance) {
            const long long turnover = (balance < 0 ? -balance : balance) / 2;
            ins.row({num(kDemoCompany), num(kDemoCompanyChart), lit(date), lit(code),
                     decimalText(turnover + (balance > 0 ? balance : 0)), decimalText(turnover + (balance < 0 ? -balance : 0))});
        };
        long long index = 0;
        for (const auto& e : kChart10) {
            const std::string code = padCode(e.code);
            if (!e.cee || !*e.cee || code == result) continue;
            ++index;
            long long balance = (index * 7919 % 900 + 100) * 10000 + index * 1357;   // cents
            if (half) balance = balance * 3 / 5;
            if (creditByNature(code, e.descr)) balance = -balance;
            if (auto s = special.find(code); s != special.end()) balance = half ? s->second.second : s->second.first;
            net += balance;
            add(code, balance);
        }
        add(result, -net);
    }
    ins.flush();
}

}  // namespace

DemoSummary fillDemo(db::Connection& host, db::Connection& group, const DemoOptions& options) {
    DemoSummary summary;
    const std::size_t batch = options.batchRows ? options.batchRows : 500;
    long& h = summary.hostRows;
    long& g = summary.groupRows;

    bool hostTx = beginTransaction(host);
    bool groupTx = beginTransaction(group);
    summary.usedTransaction = hostTx;
    try {
        // --- Host database: company 1, both ledger charts, all other charts -----------------
        insertCompanies(host, {{1, "Rossi S.p.A."}, {2, "Gruppo Rossi Holding S.r.l."}}, batch, h);
        insertChartHeaders(host, true, batch, h);
        insertLedgerChart(host, kDemoStandardChart, kChart80, countOf(kChart80), batch, h);
        insertLedgerChart(host, kDemoCompanyChart, kChart10, countOf(kChart10), batch, h);
        summary.ledgerAccounts10 = static_cast<long>(countOf(kChart10));
        if (options.generatedAccounts > 0) {
            long n = insertGeneratedAccounts(host, options.generatedAccounts, batch);
            h += n;
            summary.ledgerAccounts10 += n;
        }
        {
            Inserter ins(host, "CG25_ANADITTAGEST", {"CG25_DITTA_CG18", "CG25_GRUPPO_CG10"}, batch, h);
            ins.row({num(kDemoCompany), num(kDemoCompanyChart)});
            ins.flush();
        }
        insertMasters(host, kDemoStandardChart, batch, h);
        insertMasters(host, kDemoCompanyChart, batch, h);
        // The host also knows the group company's intermediaries: their descriptions are read
        // there by the intermediaries editor's description lookups.
        std::vector<Intermediary> all = companyIntermediaries();
        all.insert(all.end(), groupIntermediaries().begin(), groupIntermediaries().end());
        insertIntermediaries(host, all, batch, h);

        {
            Inserter charts(host, "PC01_DESCRPDC",
                            {"PC01_CODICE", "PC01_INDTIPOPDC", "PC01_DESCR", "PC01_NUMLIVELLI", "PC01_MASKEDIT"},
                            batch, h);
            Inserter configured(host, "PC02_CONFIGPDC", {"PC02_CODICE_PC01"}, batch, h);
            Inserter accounts(host, "PC03_ANAGPDC",
                              {"PC03_CODICE_PC01", "PC03_CONTO", "PC03_DESCR", "PC03_INDANALITICO",
                               "PC03_INDTIPOCONTO"},
                              batch, h);
            for (const auto& chart : reclCharts()) {
                charts.row({num(chart.code), num(chart.chartType), lit(chart.descr), num(maskLevels(chart.mask)),
                            lit(chart.mask)});
                if (chart.configured) configured.row({num(chart.code)});
                // A leaf has the full width of the mask; with no mask, the longest codes.
                std::size_t leafWidth = maskWidth(chart.mask);
                if (leafWidth == 0)
                    for (const auto& a : chart.accounts) leafWidth = std::max(leafWidth, std::string(a.code).size());
                for (const auto& a : chart.accounts) {
                    bool analytic = std::string(a.code).size() >= leafWidth;
                    accounts.row({num(chart.code), lit(a.code), lit(a.descr), analytic ? "1" : "0", num(a.type)});
                }
            }
            charts.flush();
            configured.flush();
            accounts.flush();
        }

        {
            Inserter ins(host, "CGB1_DATABASEINFRAGRUPPO", {"CGB1_CODICE", "CGB1_DATABASE"}, batch, h);
            ins.row({"1", lit(kDemoGroupDatabase)});
            ins.flush();
        }
        {
            Inserter ins(host, "CGC0_STRUTINFRAGRUPPO",
                         {"CGC0_CODICE", "CGC0_CODICE_CGB1", "CGC0_DITTA_CG18", "CGC0_DESCR"}, batch, h);
            ins.row({"1", "1", num(kDemoGroupCompany), lit("Gruppo Rossi")});
            ins.row({"2", "NULL", "NULL", lit("Struttura in costituzione (senza azienda)")});
            ins.flush();
        }
        {
            Inserter ins(host, "CG21_SCHEMACEE", {"CG21_CODICE", "CG21_DESCR"}, batch, h);
            ins.row({"82", lit("CEE Analitico post 30/09/2004")});
            ins.row({"83", lit("CEE Sintetico post 30/09/2004")});
            ins.flush();
        }

        // --- CEE correlations of both ledger charts with scheme 82 --------------------------
        {
            Inserter ins(host, "CG20_COLLPDCRICL",
                         {"CG20_GRUPPO_CG10", "CG20_CONTO_CG24", "CG20_CODICE_CG21", "CG20_CODICE_CG23",
                          "CG20_INDSEGNO", "CG20_IDMEDIA_CG99"},
                         batch, h);
            auto add = [&](int chart, const LedgerEntry* entries, std::size_t n) {
                for (std::size_t i = 0; i < n; ++i) {
                    const auto& e = entries[i];
                    if (!e.cee || !*e.cee) continue;
                    for (int sign = 1; sign <= 2; ++sign)
                        ins.row({num(chart), lit(padCode(e.code)), "82", lit(e.cee), num(sign), "0"});
                }
            };
            add(kDemoStandardChart, kChart80, countOf(kChart80));
            add(kDemoCompanyChart, kChart10, countOf(kChart10));
            ins.flush();
        }
        h += insertGeneratedCeeLinks(host, options.generatedAccounts, batch);

        // --- Existing correlations ---------------------------------------------------------
        {
            Inserter ins(host, "CG83_COLLRICL",
                         {"CG83_CODICE_CG10", "CG83_CONTO_CG24", "CG83_CODICERICL_PC01", "CG83_INDSEGNO",
                          "CG83_CONTORICL_PC03"},
                         batch, h);
            // The standard chart is correlated in full with the interim balances (chart 103).
            for (const auto& e : kChart80) {
                if (!e.cee) continue;
                for (int sign = 1; sign <= 2; ++sign)
                    ins.row({num(kDemoStandardChart), lit(padCode(e.code)), "103", num(sign),
                             lit(ceeItem(e.cee).interim)});
            }
            ins.row({num(kDemoStandardChart), lit("1401000000"), "103", "1", lit("A0202")});
            ins.row({num(kDemoStandardChart), lit("2601000000"), "103", "2", lit("P0302")});
            // The company chart is partly correlated with the reclassified balance (chart 101):
            // two leaves of three, some on the debit side only.
            int leaf = 0;
            for (const auto& e : kChart10) {
                if (!e.cee) continue;
                ++leaf;
                if (leaf % 3 == 0) continue;
                ins.row({num(kDemoCompanyChart), lit(padCode(e.code)), "101", "1", lit(ceeItem(e.cee).balance)});
                if (leaf % 3 == 1)
                    ins.row({num(kDemoCompanyChart), lit(padCode(e.code)), "101", "2", lit(ceeItem(e.cee).balance)});
            }
            ins.row({num(kDemoCompanyChart), lit("1401000000"), "101", "1", lit("0202001")});
            ins.row({num(kDemoCompanyChart), lit("1401000000"), "101", "2", lit("0202001")});
            ins.row({num(kDemoCompanyChart), lit("2601000000"), "101", "2", lit("0501001")});
            ins.flush();
        }
        {
            // Analytic chart 201 with the management reclassification 102: one account with
            // both signs, one with the debit side only, one with the credit side only, and the
            // last account with the debit side only.
            Inserter ins(host, "PC07_COLLRICL",
                         {"PC07_CODICE_PC01", "PC07_CONTO_PC03", "PC07_CODICERICL_PC01", "PC07_INDSEGNO",
                          "PC07_CONTORICL_PC03"},
                         batch, h);
            ins.row({"201", lit("1001001"), "102", "1", lit("20002")});
            ins.row({"201", lit("1001001"), "102", "2", lit("20002")});
            ins.row({"201", lit("1001002"), "102", "1", lit("20003")});
            ins.row({"201", lit("2001001"), "102", "2", lit("20004")});
            ins.row({"201", lit("3001001"), "102", "1", lit("30002")});
            ins.row({"201", lit("3002001"), "102", "1", lit("30003")});
            ins.row({"201", lit("3002001"), "102", "2", lit("30003")});
            ins.row({"201", lit("4002001"), "102", "1", lit("10001")});
            ins.flush();
        }
        {
            Inserter ins(host, "CGH0_COLLRICLHYP",
                         {"CGH0_GRUPPO_CG10", "CGH0_CONTO_CG24", "CGH0_CODICE_PC01", "CGH0_INDSEGNO",
                          "CGH0_CONTO_PC03"},
                         batch, h);
            const std::pair<const char*, const char*> chart80[] = {
                {"0101000000", "BS1100"}, {"0201000000", "BS1200"}, {"0301000000", "BS1300"},
                {"1401000000", "BS2200"}, {"1801000000", "BS2400"}, {"2601000000", "BS4200"},
                {"6001000000", "IS2100"}, {"7001000000", "IS1100"},
            };
            for (const auto& [conto, hyp] : chart80)
                for (int sign = 1; sign <= 2; ++sign)
                    ins.row({num(kDemoStandardChart), lit(conto), "301", num(sign), lit(hyp)});
            ins.row({num(kDemoCompanyChart), lit("0101000000"), "301", "1", lit("BS1100")});
            ins.row({num(kDemoCompanyChart), lit("1401000000"), "301", "1", lit("BS2200")});
            ins.row({num(kDemoCompanyChart), lit("1401000000"), "301", "2", lit("BS2200")});
            ins.flush();
        }
        {
            Inserter ins(host, "CGB3_COLLRICLCONS",
                         {"CGB3_CODICE_CGC0", "CGB3_CONTO_CG24", "CGB3_CODICE_PC01", "CGB3_INDSEGNO",
                          "CGB3_CONTO_PC03"},
                         batch, h);
            ins.row({"1", lit("0301000000"), "401", "1", lit("IC301")});
            ins.row({"1", lit("1401000000"), "401", "1", lit("IC101")});
            ins.row({"1", lit("2601000000"), "401", "2", lit("IC102")});
            ins.row({"1", lit("6002000000"), "401", "1", lit("IC202")});
            ins.row({"1", lit("7001000000"), "401", "2", lit("IC201")});
            ins.flush();
        }
        {
            Inserter ins(host, "CG93_CORRINTERMEDIRICL",
                         {"CG93_DITTA_CG18", "CG93_TIPOCF_CG40", "CG93_INTERMEDIO_CG40", "CG93_CODICE_PC01",
                          "CG93_INDSEGNO", "CG93_CONTO_PC03"},
                         batch, h);
            ins.row({num(kDemoCompany), "0", "4", "101", "1", lit("0202001")});
            ins.row({num(kDemoCompany), "0", "7", "101", "1", lit("0203002")});
            ins.row({num(kDemoCompany), "1", "3", "101", "2", lit("0501001")});
            ins.flush();
        }
        {
            Inserter ins(host, "CGB4_CORRINTERMEDICONS",
                         {"CGB4_CODICE_CGC0", "CGB4_TIPOCF_CG40", "CGB4_INTERMEDIO_CG40", "CGB4_CODICE_PC01",
                          "CGB4_INDSEGNO", "CGB4_CONTO_PC03"},
                         batch, h);
            ins.row({"1", "0", "4", "401", "1", lit("IC101")});
            ins.row({"1", "1", "2", "401", "2", lit("IC102")});
            ins.flush();
        }

        insertDemoBalances(host, batch, h);

        // --- Intercompany database: the group company's ledger side -------------------------
        insertCompanies(group, {{kDemoGroupCompany, "Gruppo Rossi Holding S.r.l."}}, batch, g);
        insertChartHeaders(group, false, batch, g);
        insertLedgerChart(group, kDemoStandardChart, kChart80, countOf(kChart80), batch, g);
        {
            Inserter ins(group, "CG25_ANADITTAGEST", {"CG25_DITTA_CG18", "CG25_GRUPPO_CG10"}, batch, g);
            ins.row({num(kDemoGroupCompany), num(kDemoStandardChart)});
            ins.flush();
        }
        insertMasters(group, kDemoStandardChart, batch, g);
        insertIntermediaries(group, groupIntermediaries(), batch, g);

        if (groupTx) group.Execute("COMMIT TRANSACTION");
        if (hostTx) host.Execute("COMMIT TRANSACTION");
    } catch (...) {
        if (groupTx) {
            try { group.Execute("ROLLBACK TRANSACTION"); } catch (const db::Exception&) {}
        }
        if (hostTx) {
            try { host.Execute("ROLLBACK TRANSACTION"); } catch (const db::Exception&) {}
        }
        throw;
    }
    return summary;
}

}  // namespace hostdb
