#pragma once
// The baselines' statements, written by hand for PostgreSQL over the same schema (text columns
// carry the schema's collation, so a plain `=` and ORDER BY compare as the module's do): the
// same statements, in the same order, fetching the same rows and columns as the editor's
// (chart 10, reclassification chart 101, company 1, four levels).

#include <string>
#include <vector>

namespace benchdb::pg {

// Opening chart 10 against reclassification chart 101: the header's look-ups, the working table
// (debit and credit row of every account at the chart's last level, with its correlation and
// the reclassification account's description) built and read in the grid's order, then the
// look-ups of the first row.
inline const std::vector<std::string>& openStatements() {
    static const std::vector<std::string> statements = [] {
        const std::string accounts =
            " FROM cg24_tabpdc WHERE cg24_gruppo_cg10 = 10"
            " AND (right(cg24_conto, 4) <> '0000' OR cg24_conto = '1401000000' OR cg24_conto = '2601000000')"
            " GROUP BY cg24_gruppo_cg10, cg24_conto, cg24_descr, cg24_indtipoconto";
        return std::vector<std::string>{
            "SELECT cg10_descr, cg10_numlivelli, cg10_numlivcons FROM cg10_despdc WHERE cg10_gruppo = 10",
            "SELECT cg10_maskedit, cg10_numlivelli FROM cg10_despdc WHERE cg10_gruppo = 10",
            "SELECT pc01_descr, pc01_numlivelli FROM pc01_descrpdc WHERE pc01_codice = 101",
            "SELECT pc01_indtipopdc FROM pc01_descrpdc WHERE pc01_codice = 101",
            "SELECT pc02_codice_pc01 FROM pc02_configpdc WHERE pc02_codice_pc01 = 101",
            "DROP TABLE IF EXISTS corrpdcricl",
            "SELECT cg36_codice, cg36_conto_cg24 FROM cg36_prspdc WHERE cg36_gruppo_cg10 = 10",
            "CREATE TEMP TABLE corrpdcricl AS"
            " SELECT row_number() OVER (ORDER BY cg24_conto) AS fakeid,"
            " cg24_conto::varchar(15) AS contopdc,"
            " cg24_descr::varchar(80) AS descrpdc,"
            " (CASE WHEN segno = 2 THEN NULL ELSE cg24_conto END)::varchar(20) AS contopdcgrid,"
            " (CASE WHEN segno = 2 THEN NULL ELSE cg24_descr END)::varchar(80) AS descrpdcgrid,"
            " rtrim(pc03_conto)::varchar(15) AS contoricl,"
            " pc03_descr::varchar(80) AS descrricl,"
            " segno::numeric(1) AS segno,"
            " cg24_indtipoconto::numeric(2) AS indtipoconto,"
            " (CASE left(cg24_conto, 2) WHEN '14' THEN 0 WHEN '26' THEN 1 ELSE -1 END)::numeric(2) AS tipocf"
            " FROM (SELECT cg24_gruppo_cg10, cg24_conto, cg24_descr, cg24_indtipoconto, 1 AS segno" + accounts +
                " UNION SELECT cg24_gruppo_cg10, cg24_conto, cg24_descr, cg24_indtipoconto, 2 AS segno" + accounts +
                ") AS corrpdcricl"
                " LEFT JOIN cg83_collricl ON cg24_gruppo_cg10 = cg83_codice_cg10 AND cg24_conto = cg83_conto_cg24"
                " AND cg83_codicericl_pc01 = 101 AND cg83_indsegno = segno"
                " LEFT JOIN LATERAL fnpc03_anagpdc_coge(cg83_codicericl_pc01, cg83_contoricl_pc03, 1, NULL) AS pc03_anagpdc"
                " ON true",
            "SELECT * FROM corrpdcricl ORDER BY contopdc, indtipoconto, segno",
            "SELECT pc01_maskedit FROM pc01_descrpdc WHERE pc01_codice = 101",
            "SELECT pc03_descr, pc03_indanalitico, pc03_indtipoconto FROM pc03_anagpdc"
            " WHERE pc03_codice_pc01 = 101 AND pc03_conto = '0101001'",
            "SELECT cg24_descr, cg24_indtipoconto FROM cg24_tabpdc WHERE cg24_gruppo_cg10 = 10 AND cg24_conto = '0101010001'"};
    }();
    return statements;
}

// One statement of a save and its parameters.
struct Statement {
    std::string sql;
    std::vector<std::string> values;
};

// A typed reclassification account confirmed on the debit row of `account` that held `before`:
// the typed account looked up and decoded, the chart's master accounts and the row's account
// read, the description shown, the correlation updated, then the history row (its step number
// read, the row written: two commits, as the editor's). Each statement commits on its own.
inline std::vector<Statement> saveStatements(const std::string& account, const std::string& before,
                                             const std::string& after) {
    return {
        {"SELECT pc03_descr, pc03_indanalitico, pc03_indtipoconto FROM pc03_anagpdc WHERE pc03_codice_pc01 = 101 AND pc03_conto = $1",
         {after}},
        {"SELECT * FROM pc03_anagpdc WHERE pc03_codice_pc01 = 101 AND pc03_conto = $1", {after}},
        {"SELECT cg36_codice, cg36_conto_cg24 FROM cg36_prspdc WHERE cg36_gruppo_cg10 = 10", {}},
        {"SELECT cg24_descr, cg24_indtipoconto FROM cg24_tabpdc WHERE cg24_gruppo_cg10 = 10 AND cg24_conto = $1", {account}},
        {"SELECT pc03_descr FROM fnpc03_anagpdc_coge(101, $1, 1, NULL)", {after}},
        {"UPDATE cg83_collricl SET cg83_contoricl_pc03 = $1 WHERE cg83_codice_cg10 = 10 AND cg83_conto_cg24 = $2"
         " AND cg83_indsegno = 1 AND cg83_codicericl_pc01 = 101",
         {after, account}},
        {"SELECT max(brv_passo) AS ultimo FROM brv_storico", {}},
        {"INSERT INTO brv_storico (brv_passo, brv_riga, brv_origine, brv_utente, brv_dataora, brv_tipo, brv_pdc,"
         " brv_pdcricl, brv_tabella, brv_conto, brv_segno, brv_prima, brv_dopo, brv_riferimento)"
         " VALUES ($1, 1, 'Editor', 'bench', '2026-01-01 00:00:00', 'COGE', '10', '101', 'C', $2, 1, $3, $4, 0)",
         {"", account, before, after}},
    };
}

// The statement of `saveStatements` that takes the step number read just before it.
inline constexpr std::size_t kHistoryInsert = 7;

}  // namespace benchdb::pg
