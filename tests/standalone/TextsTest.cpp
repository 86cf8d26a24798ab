// Texts: the module's message table, the host dictionary and the placeholder filling.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "resources/ModuleMessages.h"
#include "standalone/Dictionary.h"
#include "standalone/ScriptedDialogs.h"
#include "standalone/Services.h"

using namespace standalone;
using testing::HasSubstr;

TEST(ModuleMessages, TableHoldsIds101To121Exactly) {
    EXPECT_EQ(resources::moduleMessage(107), "Non è stato definito nessun conto del piano dei conti impostato.");
    EXPECT_EQ(resources::moduleMessage(115), "Il conto %1 non è valido in quanto è stato correlato al mastro %2.");
    EXPECT_EQ(resources::moduleMessage(121), "L'intercompany %1 non ha nessuna azienda collegata!");
    EXPECT_EQ(resources::moduleMessage(101), "Piano dei conti non impostato: definire il nuovo piano dei conti?");
    EXPECT_EQ(resources::moduleMessage(112), "Conto non d'ordine.");
    for (int id = 101; id <= 121; ++id) {
        auto t = resources::moduleMessage(id);
        ASSERT_TRUE(t.has_value()) << id;
        EXPECT_FALSE(t->empty()) << id;
    }
    EXPECT_FALSE(resources::moduleMessage(100).has_value());
    EXPECT_FALSE(resources::moduleMessage(122).has_value());
    EXPECT_FALSE(resources::moduleMessage(-1).has_value());
}

TEST(Dictionary, EveryHostIdTheModuleUsesHasAnItalianText) {
    const long ids[] = {2688, 93427, 93428, 93429, 93430, 13236, 93432, 93433, 17737, 8493,
                        71149, 62846, 62847, 61803, 62988, 52477, 77179, 38891};
    const auto& d = Dictionary::builtin();
    for (long id : ids) {
        auto t = d.text(id);
        ASSERT_TRUE(t.has_value()) << id;
        EXPECT_GE(t->size(), 4u) << id;
    }
    EXPECT_EQ(d.text(17737), "Dare");
    EXPECT_EQ(d.text(8493), "Avere");
    EXPECT_EQ(d.text(13236), "Codice PdC riclassificazione");
    // The two placeholders of the "not correlated with the CEE scheme" message.
    EXPECT_THAT(*d.text(62988), HasSubstr("%1"));
    EXPECT_THAT(*d.text(62988), HasSubstr("%2"));
    // Texts stay UTF-8 through the embedding.
    EXPECT_THAT(*d.text(71149), HasSubstr("è"));
}

TEST(Dictionary, PlaceholdersAreFilledInOnePass) {
    EXPECT_EQ(fillPlaceholders("piano %1 schema %2", {db::Variant(80), db::Variant("82")}), "piano 80 schema 82");
    // A parameter containing a placeholder is not substituted again.
    EXPECT_EQ(fillPlaceholders("%1 / %2", {db::Variant("%2"), db::Variant("x")}), "%2 / x");
    // Without a second parameter "%2" stays; "%" alone and "%0" are ordinary text.
    EXPECT_EQ(fillPlaceholders("%1 e %2 al 5% %0", {db::Variant("A")}), "A e %2 al 5% %0");
    EXPECT_EQ(fillPlaceholders("fine %", {}), "fine %");
    EXPECT_EQ(fillPlaceholders("%1", {db::Variant::null()}), "");
}

TEST(Dictionary, MalformedDictionariesAreRefusedWithAReason) {
    EXPECT_EQ(Dictionary::fromJson(R"({"5": "cinque"})").text(5), "cinque");
    for (const char* bad : {"{", "[1,2]", R"({"abc": "x"})", R"({"5": 5})", R"({"": "x"})"}) {
        EXPECT_THROW(Dictionary::fromJson(bad), std::invalid_argument) << bad;
    }
}

TEST(MessageCenter, TextsByIdAndMessageBoxesThroughDialogs) {
    auto dialogs = std::make_shared<ScriptedDialogs>();
    StandaloneMessageCenter center(dialogs);
    EXPECT_EQ(center.text(62988, {db::Variant(12), db::Variant(82)}),
              "Il piano dei conti 12 non è correlato con lo schema di bilancio CEE 82.");
    EXPECT_THAT(center.text(4242), HasSubstr("4242"));   // unknown id: says which, no throw

    EXPECT_EQ(center.messageBox("Classe Log non settata", 0, "Attenzione"), 1);
    ASSERT_EQ(dialogs->shown().size(), 1u);
    EXPECT_EQ(dialogs->shown()[0].text, "Classe Log non settata");
    EXPECT_EQ(dialogs->shown()[0].title, "Attenzione");
    EXPECT_EQ(dialogs->shown()[0].type, 0);
}
