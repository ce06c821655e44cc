// The text form of the file-backed registration store.
#include <gtest/gtest.h>

#include "platform/com/com_error.h"
#include "platform/com/posix/registry_text.h"

namespace zn::com::registry {
namespace {

TEST(RegistryText, ParsesSectionsValuesCommentsAndBlankLines) {
    const auto root = parse_registry_text(
        "; comment\n"
        "\n"
        "[TypeLib\\{E788BDEE-6FEB-490A-9FFF-646BDC829163}\\1.0]\r\n"
        "@=\"ZNImportPhotos\"\n"
        "  \"FLAGS\" = \"0\"\n");
    RegistryKey* key = find_key(root, u"TypeLib\\{E788BDEE-6FEB-490A-9FFF-646BDC829163}\\1.0");
    ASSERT_NE(key, nullptr);
    ASSERT_NE(key->find_value(u""), nullptr);
    EXPECT_EQ(*key->find_value(u""), u"ZNImportPhotos");
    ASSERT_NE(key->find_value(u"flags"), nullptr);
    EXPECT_EQ(*key->find_value(u"flags"), u"0");
}

TEST(RegistryText, FormatThenParseGivesTheSameTree) {
    RegistryKey root;
    make_key(root, u"A\\B").values.emplace_back(u"", u"default \\ \"q\" \x01");
    make_key(root, u"A\\C");  // empty key
    root.values.emplace_back(u"top", u"level");
    const std::string text = format_registry_text(root);
    const RegistryKey back = parse_registry_text(text);
    EXPECT_EQ(format_registry_text(back), text);
    ASSERT_NE(find_key(back, u"A\\C"), nullptr);
    EXPECT_EQ(*find_key(back, u"a\\b")->find_value(u""), u"default \\ \"q\" \x01");
    EXPECT_NE(text.find("\\u0001"), std::string::npos);
}

TEST(RegistryText, RepeatedSectionsMergeAndLaterValuesWin) {
    const auto root = parse_registry_text("[K]\n@=\"1\"\n[k]\n@=\"2\"\n\"x\"=\"y\"\n");
    ASSERT_EQ(root.subkeys.size(), 1u);
    EXPECT_EQ(root.subkeys[0]->values.size(), 2u);
    EXPECT_EQ(*root.subkeys[0]->find_value(u""), u"2");
}

TEST(RegistryText, RejectsWhatItCannotRead) {
    const char* const bad[] = {
        "@=\"value before any section\"\n",
        "[unterminated\n",
        "[A\\\\B]\n",
        "[K]\nname=\"unquoted name\"\n",
        "[K]\n\"\"=\"empty name\"\n",
        "[K]\n@=\"unterminated\n",
        "[K]\n@=\"trailing\" junk\n",
        "[K]\n@=\"bad escape \\q\"\n",
        "[K]\n@=\"short escape \\u12\"\n",
        "[K]\n@\n",
    };
    for (const char* text : bad) {
        try {
            (void)parse_registry_text(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ComError& e) {
            EXPECT_EQ(e.code(), REGDB_E_READREGDB) << text;
        }
    }
}

}  // namespace
}  // namespace zn::com::registry
