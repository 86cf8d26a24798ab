// The module as a host loads it: libbrevanto.so through the module loader, its classes by
// programmatic name, and the clear errors for a missing library or an unknown name.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "entry/ClassFactory.h"
#include "entry/CorrelationEntryClass.h"
#include "host/GridEdit.h"
#include "standalone/ModuleLoader.h"
#include "support/TestSupport.h"

using testing::HasSubstr;

namespace {

TEST(ModuleLibrary, EveryProgrammaticNameCreatesItsClassThroughTheLoadedLibrary) {
    standalone::ModuleLoader loader{std::filesystem::path(BREVANTO_MODULE_FILE)};
    EXPECT_EQ(loader.path().filename(), "libbrevanto.so");
    EXPECT_EQ(loader.registerServer(), 0);
    EXPECT_EQ(BrevantoIsRegistered(), 1);   // the same copy of the module as the one linked here

    const std::pair<const char*, editor::CorrelationKind> entries[] = {
        {"Brevanto.CLSCG_CORRRICLCOGE", editor::CorrelationKind::COGE},
        {"Brevanto.CLSCG_CORRRICLCOIN", editor::CorrelationKind::COIN},
        {"Brevanto.CLSCG_CORRRICLHYPE", editor::CorrelationKind::HYPE},
        {"Brevanto.CLSCG_CORRRICLCONS", editor::CorrelationKind::CONS}};
    for (const auto& [name, kind] : entries) {
        auto object = loader.createClass(name);
        auto entryClass = std::dynamic_pointer_cast<entry::CorrelationEntryClass>(object);
        ASSERT_TRUE(entryClass) << name;
        EXPECT_EQ(entryClass->kind(), kind) << name;
        EXPECT_TRUE(std::dynamic_pointer_cast<host::Cinterface>(object)) << name;
        EXPECT_FALSE(loader.canUnloadNow());
    }
    EXPECT_TRUE(std::dynamic_pointer_cast<host::GridEdit>(loader.createClass("Brevanto.CLSCG_GRIDEDIT")));
    EXPECT_TRUE(std::dynamic_pointer_cast<host::LookupControl>(loader.createClass("Brevanto.CLSCG_LOOKUPCONTROL")));
    EXPECT_EQ(loader.canUnloadNow(), entry::liveObjectCount() == 0);
    EXPECT_EQ(loader.unregisterServer(), 0);
    EXPECT_EQ(BrevantoIsRegistered(), 0);
}

TEST(ModuleLibrary, UnknownNamesAndMissingLibrariesAreClearErrors) {
    standalone::ModuleLoader loader{std::filesystem::path(BREVANTO_MODULE_FILE)};
    try {
        loader.createClass("Brevanto.CLSCG_INESISTENTE");
        FAIL() << "an unknown name created an object";
    } catch (const standalone::ModuleError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Brevanto.CLSCG_INESISTENTE"));
    }
    std::shared_ptr<db::Object> out;
    EXPECT_EQ(DllGetClassObject("brevanto.clscg_corrriclcoge", &out), entry::kClassNotAvailable);
    EXPECT_EQ(DllGetClassObject(nullptr, &out), entry::kInvalidArgument);
    EXPECT_FALSE(out);

    testsupport::TempDir empty;
    EXPECT_THROW(standalone::ModuleLoader{empty.path() / "libbrevanto.so"}, standalone::ModuleError);
    // A library that is not the module.
    try {
        standalone::ModuleLoader notModule{std::filesystem::path(BREVANTO_MODULE_FILE).parent_path() /
                                           "../db/libbrevanto_db.so"};
        FAIL() << "the database client was taken for the module";
    } catch (const standalone::ModuleError& e) {
        EXPECT_THAT(e.what(), HasSubstr("DllRegisterServer"));
    }
}

TEST(ModuleLibrary, TheLoaderFindsTheModuleThroughTheEnvironment) {
    const std::filesystem::path file(BREVANTO_MODULE_FILE);
    ::setenv("BREVANTO_MODULE", file.parent_path().c_str(), 1);
    standalone::ModuleLoader byFolder;
    EXPECT_EQ(std::filesystem::canonical(byFolder.path()), std::filesystem::canonical(file));
    testsupport::TempDir empty;
    ::setenv("BREVANTO_MODULE", empty.str().c_str(), 1);
    try {
        standalone::ModuleLoader missing;
        FAIL() << "a folder without the module was accepted";
    } catch (const standalone::ModuleError& e) {
        EXPECT_THAT(e.what(), HasSubstr(empty.str()));
    }
    ::unsetenv("BREVANTO_MODULE");
}

}  // namespace
