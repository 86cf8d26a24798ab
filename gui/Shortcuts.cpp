#include "gui/Shortcuts.h"

namespace gui::shortcuts {

std::span<const Entry> editorShortcuts() {
    static const Entry entries[] = {
        {"Tab / Maiusc+Tab", "Campo successivo / precedente"},
        {"Invio", "Conferma il conto digitato o proposto"},
        {"Giù / Su", "Conferma il conto e passa alla riga successiva / precedente"},
        {"PagGiù / PagSu", "Conferma il conto e scorre di una pagina"},
        {"F4 / F9", "Elenco dei conti (ricerca)"},
        {kFind, "Trova una riga per codice o descrizione"},
        {kFindNext, "Trova la riga successiva"},
        {kNextUnmapped, "Prossimo non correlato"},
        {kPreviousUnmapped, "Precedente non correlato"},
        {kUnmappedOnly, "Solo non correlati (mostra / nasconde le righe correlate)"},
        {kExport, "Esporta in Excel"},
        {kKeysPage, "Questa pagina dei tasti"},
    };
    return entries;
}

}  // namespace gui::shortcuts
