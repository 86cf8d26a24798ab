// Qt's own texts speak Italian once the catalogue is installed: the standard buttons of a
// message box and of the dialogs' button boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "GuiTestSupport.h"
#include "gui/Translations.h"

namespace {

TEST(QtTranslations, StandardButtonsReadInItalian) {
    QTranslator* translator = gui::installItalianTranslations(*qApp);
    ASSERT_NE(translator, nullptr) << "qtbase_it.qm (qt6-translations-l10n) is not installed";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove('&').toStdString(), "Sì");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove('&').toStdString(), "Annulla");
    QDialogButtonBox buttons(QDialogButtonBox::Retry | QDialogButtonBox::Ignore | QDialogButtonBox::Abort);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Retry)->text().remove('&').toStdString(), "Riprova");
    // The other tests of this binary read Qt's texts as they are.
    QCoreApplication::removeTranslator(translator);
    delete translator;
}

}  // namespace
