// The file-backed registration store that stands in for the system registry.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/com/com_error.h"
#include "platform/com/registry.h"
#include "support/temp_registry.h"

namespace zn::com::registry {
namespace {

constexpr std::u16string_view kServerKey = u"CLSID\\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\\InprocServer32";

std::string file_text() {
    std::ifstream in(std::getenv("ZN_REGISTRY"));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class RegistryFile : public ::testing::Test {
protected:
    test::TempRegistry registry_;
};

TEST_F(RegistryFile, MissingFileIsAnEmptyStore) {
    EXPECT_FALSE(key_exists(u"CLSID"));
    EXPECT_TRUE(subkeys(u"").empty());
    EXPECT_FALSE(delete_value(kServerKey, u""));
    EXPECT_FALSE(delete_key_if_empty(kServerKey));
}

TEST_F(RegistryFile, AwkwardTextSurvivesTheFile) {
    const std::u16string awkward = u"quote \" backslash \\ newline \n tab \t ] [ = @ \u00E9\U0001F4F7 end";
    const std::u16string lone(1, u'\xD800');
    set_value(u"Awkward", u"name with \"quotes\"", awkward);
    set_value(u"Awkward", u"lone", lone);
    set_value(u"Awkward", u"", u"");
    EXPECT_EQ(get_value(u"Awkward", u"name with \"quotes\""), awkward);
    EXPECT_EQ(get_value(u"Awkward", u"lone"), lone);
    EXPECT_EQ(get_value(u"Awkward", u""), u"");
}

TEST_F(RegistryFile, FileIsReadableText) {
    set_value(kServerKey, u"", u"/opt/zn/ZNImportPhotos.so");
    set_value(kServerKey, u"ThreadingModel", u"Apartment");
    const std::string text = file_text();
    EXPECT_NE(text.find("[CLSID\\{0EABADAC-9AD6-49CD-BC00-B67B198B80F0}\\InprocServer32]\n"
                        "@=\"/opt/zn/ZNImportPhotos.so\"\n"
                        "\"ThreadingModel\"=\"Apartment\"\n"),
              std::string::npos)
        << text;
}

TEST_F(RegistryFile, ChangesByAnotherWriterAreSeen) {
    set_value(u"Shared", u"", u"first");
    std::ofstream(std::getenv("ZN_REGISTRY"), std::ios::trunc) << "[Shared]\n@=\"second\"\n";
    EXPECT_EQ(get_value(u"Shared", u""), u"second");
}

TEST_F(RegistryFile, MalformedFileIsReportedAndNotOverwritten) {
    const std::string broken = "[CLSID]\nthis line is not a value\n";
    std::ofstream(std::getenv("ZN_REGISTRY"), std::ios::trunc) << broken;
    try {
        (void)get_value(u"CLSID", u"");
        ADD_FAILURE() << "read a malformed file";
    } catch (const ComError& e) {
        EXPECT_EQ(e.code(), REGDB_E_READREGDB);
        EXPECT_NE(e.description().find(u"line 2"), std::u16string::npos);
    }
    EXPECT_THROW(set_value(u"CLSID", u"", u"x"), ComError);
    EXPECT_EQ(file_text(), broken);
}

TEST_F(RegistryFile, UnwritableLocationFailsWithWriteError) {
    registry_.make_unwritable();
    try {
        set_value(kServerKey, u"", u"x");
        ADD_FAILURE() << "wrote below a plain file";
    } catch (const ComError& e) {
        EXPECT_EQ(e.code(), REGDB_E_WRITEREGDB);
    }
    EXPECT_EQ(get_value(kServerKey, u""), std::nullopt);
}

TEST_F(RegistryFile, ConcurrentWritersFromSeveralProcessesLoseNothing) {
    constexpr int kWriters = 4;
    constexpr int kValuesEach = 10;
    pid_t children[kWriters];
    for (int w = 0; w < kWriters; ++w) {
        children[w] = fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            int status = 0;
            try {
                for (int i = 0; i < kValuesEach; ++i) {
                    const std::string name = "w" + std::to_string(w) + "v" + std::to_string(i);
                    set_value(u"Concurrent", std::u16string(name.begin(), name.end()), u"x");
                }
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
    }
    for (pid_t child : children) {
        int status = -1;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(values(u"Concurrent").size(), static_cast<std::size_t>(kWriters * kValuesEach));
}

}  // namespace
}  // namespace zn::com::registry
