#include "resources/ModuleMessages.h"

#include <array>
#include <string_view>

namespace resources {

namespace {

// Index 0 is message 101.
constexpr std::array<std::string_view, kLastModuleMessage - kFirstModuleMessage + 1> kMessages = {
    /* 101 */ "Piano dei conti non impostato: definire il nuovo piano dei conti?",
    /* 102 */ "Il piano dei conti digitato non è presente nel database; premendo 'Conferma' si avrà la possibilità di crearlo.",
    /* 103 */ "Il piano dei conti è vuoto: vuoi definire nuovi conti?",
    /* 104 */ "Il piano dei conti selezionato non contiene alcun conto; premendo 'Conferma' si avrà la possibilità di inserire i conti per tale piano dei conti.",
    /* 105 */ "Il conto inserito non esiste: definire il nuovo conto?",
    /* 106 */ "Il conto digitato non è definito nel database per il piano dei conti impostato; premendo 'Conferma' si avrà la possibilità di crearlo.",
    /* 107 */ "Non è stato definito nessun conto del piano dei conti impostato.",
    /* 108 */ "Aggiornamento conto di riclassificazione non eseguito.",
    /* 109 */ "Conto non economico.",
    /* 110 */ "Correlare un conto analitico.",
    /* 111 */ "Conto non patrimoniale.",
    /* 112 */ "Conto non d'ordine.",
    /* 113 */ "Il conto riclassificato non è dello stesso tipo del conto da riclassificare.",
    /* 114 */ "Conto inesistente.",
    /* 115 */ "Il conto %1 non è valido in quanto è stato correlato al mastro %2.",
    /* 116 */ "Piano dei conti non configurato!",
    /* 117 */ "Conto non trovato!",
    /* 118 */ "Non esistono intermedi per il conto %1!",
    /* 119 */ "Il piano dei conti deve essere di tipo 'Riclassificazione di bilancio'!",
    /* 120 */ "Il piano dei conti deve essere di tipo 'Riclassificato intercompany'!",
    /* 121 */ "L'intercompany %1 non ha nessuna azienda collegata!",
};

}  // namespace

std::optional<std::string> moduleMessage(int id) {
    if (id < kFirstModuleMessage || id > kLastModuleMessage) return std::nullopt;
    return std::string(kMessages[static_cast<std::size_t>(id - kFirstModuleMessage)]);
}

}  // namespace resources
