// The class registration store through its portable interface: the system registry on
// Windows, the file that stands in for it elsewhere. Every test works below a root key of
// its own and removes it afterwards.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/com_error.h"
#include "platform/com/registry.h"
#include "support/temp_registry.h"

#ifdef _WIN32
#include <process.h>
#define ZN_GETPID _getpid
#else
#include <unistd.h>
#define ZN_GETPID getpid
#endif

namespace zn::com::registry {
namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string root = "ZNImportPhotos.RegistryTest." + std::to_string(ZN_GETPID());
        root_ = std::u16string(root.begin(), root.end());
        delete_tree(root_);
    }
    void TearDown() override { delete_tree(root_); }

    std::u16string key(std::u16string_view below) const { return root_ + u"\\" + std::u16string(below); }

    test::TempRegistry registry_;
    std::u16string root_;
};

TEST_F(Registry, SetThenGetDefaultAndNamedValues) {
    const auto server = key(u"CLSID\\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\\InprocServer32");
    set_value(server, u"", u"C:\\zn\\ZNImportPhotos.dll");
    set_value(server, u"ThreadingModel", u"Apartment");
    EXPECT_EQ(get_value(server, u""), u"C:\\zn\\ZNImportPhotos.dll");
    EXPECT_EQ(get_value(server, u"ThreadingModel"), u"Apartment");
    EXPECT_EQ(get_value(server, u"Missing"), std::nullopt);
    EXPECT_EQ(get_value(key(u"Missing"), u""), std::nullopt);
}

TEST_F(Registry, SettingAValueCreatesEveryParentKey) {
    set_value(key(u"A\\B\\C"), u"", u"x");
    EXPECT_TRUE(key_exists(root_));
    EXPECT_TRUE(key_exists(key(u"A\\B")));
    EXPECT_EQ(subkeys(key(u"A")), std::vector<std::u16string>{u"B"});
    EXPECT_EQ(get_value(key(u"A\\B"), u""), std::nullopt);
}

TEST_F(Registry, KeyAndValueNamesIgnoreCase) {
    set_value(key(u"ProgId.Class\\CLSID"), u"ThreadingModel", u"Apartment");
    EXPECT_TRUE(key_exists(key(u"PROGID.CLASS\\clsid")));
    EXPECT_EQ(get_value(key(u"progid.class\\Clsid"), u"THREADINGMODEL"), u"Apartment");
    // A name given in another case replaces the value and keeps the first spelling.
    set_value(key(u"PROGID.CLASS\\CLSID"), u"THREADINGMODEL", u"Both");
    const auto all = values(key(u"ProgId.Class\\CLSID"));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], (std::pair<std::u16string, std::u16string>{u"ThreadingModel", u"Both"}));
    EXPECT_EQ(subkeys(root_), std::vector<std::u16string>{u"ProgId.Class"});
    EXPECT_TRUE(delete_value(key(u"progid.class\\clsid"), u"threadingmodel"));
    EXPECT_TRUE(values(key(u"ProgId.Class\\CLSID")).empty());
}

TEST_F(Registry, EmptyDefaultValueIsStillAValue) {
    set_value(root_, u"", u"");
    EXPECT_EQ(get_value(root_, u""), u"");
    const auto all = values(root_);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].first, u"");
}

TEST_F(Registry, DeleteValueReportsWhetherItExisted) {
    set_value(root_, u"Name", u"value");
    EXPECT_TRUE(delete_value(root_, u"Name"));
    EXPECT_FALSE(delete_value(root_, u"Name"));
    EXPECT_FALSE(delete_value(key(u"Missing"), u"Name"));
    EXPECT_TRUE(key_exists(root_));
}

TEST_F(Registry, DeleteKeyIfEmptyLeavesKeysWithValuesOrSubkeys) {
    set_value(key(u"Parent\\Child"), u"", u"value");
    EXPECT_FALSE(delete_key_if_empty(key(u"Parent")));
    EXPECT_FALSE(delete_key_if_empty(key(u"Parent\\Child")));
    ASSERT_TRUE(delete_value(key(u"Parent\\Child"), u""));
    EXPECT_TRUE(delete_key_if_empty(key(u"Parent\\Child")));
    EXPECT_FALSE(key_exists(key(u"Parent\\Child")));
    EXPECT_TRUE(delete_key_if_empty(key(u"Parent")));
    EXPECT_FALSE(delete_key_if_empty(key(u"Parent")));
}

TEST_F(Registry, DeleteTreeRemovesTheKeyAndEverythingBelow) {
    set_value(key(u"Gone\\Deep\\Deeper"), u"", u"x");
    set_value(key(u"Gone"), u"Name", u"y");
    set_value(key(u"Kept"), u"", u"z");
    EXPECT_TRUE(delete_tree(key(u"Gone")));
    EXPECT_FALSE(key_exists(key(u"Gone")));
    EXPECT_EQ(get_value(key(u"Kept"), u""), u"z");
    EXPECT_FALSE(delete_tree(key(u"Gone")));
}

TEST_F(Registry, EmptyKeysExist) {
    create_key(key(u"Empty\\Nested"));
    EXPECT_TRUE(key_exists(key(u"Empty\\Nested")));
    EXPECT_TRUE(values(key(u"Empty\\Nested")).empty());
    EXPECT_TRUE(subkeys(key(u"Empty\\Nested")).empty());
}

TEST_F(Registry, MalformedPathsAreRefused) {
    for (std::u16string_view bad : {u"\\Leading", u"Trailing\\", u"Double\\\\Separator", u"Control\nCharacter"}) {
        try {
            set_value(bad, u"", u"x");
            ADD_FAILURE() << "accepted a malformed path";
        } catch (const ComError& e) {
            EXPECT_EQ(e.code(), E_INVALIDARG);
        }
    }
    EXPECT_THROW(delete_key_if_empty(u""), ComError);
    EXPECT_THROW(delete_tree(u""), ComError);
}

TEST_F(Registry, AwkwardTextSurvives) {
    const std::u16string awkward = u"quote \" backslash \\ newline \n tab \t ] [ = @ \u00E9\U0001F4F7 end";
    set_value(root_, u"name with \"quotes\" and = sign", awkward);
    EXPECT_EQ(get_value(root_, u"name with \"quotes\" and = sign"), awkward);
}

}  // namespace
}  // namespace zn::com::registry
