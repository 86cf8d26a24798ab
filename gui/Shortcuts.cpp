#include "gui/Shortcuts.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

namespace gui::shortcuts {

std::span<const Entry> editorShortcuts() {
    static const Entry entries[] = {
        {"Tab / Maiusc+Tab", "Campo successivo / precedente"},
        {"Invio", "Conferma il conto digitato o proposto"},
        {"Giù / Su", "Conferma il conto e passa alla riga successiva / precedente"},
        {"PagGiù / PagSu", "Conferma il conto e scorre di una pagina"},
        {"F4 / F9", "Elenco dei conti (ricerca)"},
        {kRestoreAccount,
         "Nel conto riclassificato: rimette il conto memorizzato e scarta quello digitato o proposto, "
         "senza salvare; premuto di nuovo, chiude la finestra che ha un pulsante Chiudi"},
        {kUndoTyping,
         "Nella casella: annulla la digitazione; altrove: annulla l'ultima modifica salvata delle correlazioni "
         "(menu Modifica)"},
        {kRedoChange, "Ripete la modifica annullata"},
        {kDeleteCorrelation, "Nell'elenco: elimina la correlazione della riga (chiede conferma)"},
        {kButtonLetter, "Preme il pulsante o apre il menu con quella lettera sottolineata"},
        {kFind, "Trova una riga per codice o descrizione"},
        {kFindNext, "Trova la riga successiva"},
        {kNextUnmapped, "Prossimo non correlato"},
        {kPreviousUnmapped, "Precedente non correlato"},
        {kUnmappedOnly, "Solo non correlati (mostra / nasconde le righe correlate)"},
        {kExport, "Esporta in Excel"},
        {kCheckCorrelations, "Verifica correlazioni (doppio clic su una riga del risultato per andarci)"},
        {kExportCorrelations, "Esporta correlazioni in un file Excel o CSV"},
        {kImportCorrelations, "Importa correlazioni da un file, con anteprima"},
        {kSelectRows, "Nell'elenco: seleziona più righe senza spostare la riga corrente"},
        {kAssignAccount, "Assegna un conto alle righe selezionate, con anteprima"},
        {kStatementPreview, "Mostra o nasconde l'anteprima del bilancio riclassificato (COGE, HYPE, CONS)"},
        {kKeysPage, "Questa pagina dei tasti"},
    };
    return entries;
}

std::string shownKeys(const char* keys) {
    static const std::pair<std::string_view, std::string_view> names[] = {
        {"Del", "Canc"}, {"Shift", "Maiusc"}, {"PgDown", "PagGiù"}, {"PgUp", "PagSu"}, {"Return", "Invio"}};
    std::string out;
    std::string_view rest = keys;
    // Token by token, so that "Delete" in a text is never half renamed.
    while (!rest.empty()) {
        std::size_t end = rest.find_first_of("+ /");
        std::string_view token = rest.substr(0, end);
        auto it = std::find_if(std::begin(names), std::end(names), [&](const auto& n) { return n.first == token; });
        out += it != std::end(names) ? it->second : token;
        if (end == std::string_view::npos) break;
        out += rest[end];
        rest.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace gui::shortcuts
