#pragma once
// Qt's own texts in Italian: the standard buttons (Sì, No, Annulla, Riprova, Ignora,
// Interrompi), the line edits' context menu (Copia, Incolla), the file and print dialogs.

class QCoreApplication;
class QTranslator;

namespace gui {

// Installs Qt's Italian catalogue (qtbase_it.qm, package qt6-translations-l10n) on the
// application and returns it (owned by the application); nullptr when it is not installed,
// and Qt then speaks English.
QTranslator* installItalianTranslations(QCoreApplication& app);

}  // namespace gui
