// The document container: reading the class that a document file names, and creating the
// page from it, with clear errors for a missing or malformed file.
#include <gtest/gtest.h>

#include <random>

#include <filesystem>
#include <fstream>

#include "platform/com/dispatch_object.h"
#include "platform/text/utf.h"
#include "refhost/components/class_factory.h"
#include "refhost/container/document_container.h"
#include "support/temp_folder.h"

namespace zn::refhost {
namespace {

constexpr GUID kTestPage = com::make_guid("{3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}");

// What the container must hand back: any object with IDispatch.
class TestPage final : public com::DispatchObject<TestPage, IDispatch> {};

std::u16string description_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::ComError& e) {
        return e.description();
    }
    return u"(no error)";
}

HRESULT code_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::ComError& e) {
        return e.code();
    }
    return S_OK;
}

TEST(DocumentText, NamesTheClassOnItsClsidLine) {
    EXPECT_TRUE(com::same_guid(
        parse_document_class("ZNImportPhotos document\nCLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n"), kTestPage));
    // Windows line ends, a byte-order mark, spaces around the value, lower-case hex, no final newline.
    EXPECT_TRUE(com::same_guid(
        parse_document_class("\xEF\xBB\xBFheader\r\nCLSID= {3f2b7c10-5d4e-4a8b-9c61-0e2f4a6b8d01} \r\n"), kTestPage));
    EXPECT_TRUE(com::same_guid(parse_document_class("CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}"), kTestPage));
}

TEST(DocumentText, WithoutExactlyOneGoodClsidLineIsMalformed) {
    const std::string_view bad[] = {
        "",
        "ZNImportPhotos document\n",
        "clsid={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n",  // the key is exact
        "CLSID=\n",
        "CLSID=3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01\n",  // no braces
        "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D0Z}\n",
        "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\nCLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n",
    };
    for (std::string_view text : bad) {
        EXPECT_EQ(code_of([&] { parse_document_class(text); }), kMalformedDocument) << text;
        EXPECT_TRUE(description_of([&] { parse_document_class(text); }).starts_with(u"Malformed document file: "))
            << text;
    }
}

class DocumentFile : public ::testing::Test {
protected:
    // Writes the file and returns its path as the plug-in writes URL: folder, "\", file name.
    std::u16string write(std::string_view name, std::string_view text) {
        dir_.write(name, text);
        return dir_.path().u16string() + u"\\" + text::from_utf8(name);
    }

    test::TempFolder dir_{"zn-refhost-doc"};
};

TEST_F(DocumentFile, AUrlWithABackslashBeforeTheFileNameIsRead) {
    const std::u16string url = write("doc.vbd", "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n");
    EXPECT_TRUE(com::same_guid(read_document_class(url), kTestPage));
}

TEST_F(DocumentFile, AMissingFileIsFileNotFoundAndNamesThePath) {
    const std::u16string url = dir_.path().u16string() + u"\\missing.vbd";
    EXPECT_EQ(code_of([&] { read_document_class(url); }), com::kFileNotFound);
    EXPECT_EQ(description_of([&] { read_document_class(url); }), u"Document file not found: " + url);
    // A folder is not a document file.
    EXPECT_EQ(code_of([&] { read_document_class(dir_.path().u16string()); }), com::kFileNotFound);
}

TEST_F(DocumentFile, AMalformedFileNamesTheFileInItsDescription) {
    const std::u16string url = write("bad.vbd", "CLSID=nonsense\n");
    EXPECT_EQ(code_of([&] { read_document_class(url); }), kMalformedDocument);
    EXPECT_EQ(description_of([&] { read_document_class(url); }),
              u"Malformed document file: \"nonsense\" is not a class identifier (" + url + u")");
}

TEST_F(DocumentFile, AnOversizedFileIsRefusedUnread) {
    std::string text = "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n";
    text.resize(kMaxDocumentSize + 1, ' ');
    const std::u16string url = write("big.vbd", text);
    EXPECT_EQ(code_of([&] { read_document_class(url); }), kMalformedDocument);
}

TEST_F(DocumentFile, OpeningCreatesThePageOfTheNamedClass) {
    auto state = std::make_shared<HostState>();
    int made = 0;
    const auto factory = com::make_object<HostClassFactory>(state, "TestPage", [&] {
        ++made;
        return com::ComPtr<IUnknown>(com::make_object<TestPage>()->unknown());
    });
    ClassRegistration registration(kTestPage, factory->unknown());

    const std::u16string url = write("page.vbd", "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n");
    const com::ComPtr<IDispatch> page = open_document(url);
    ASSERT_TRUE(page);
    EXPECT_EQ(made, 1);
}

TEST_F(DocumentFile, AClassThatCannotBeCreatedIsReportedWithTheFile) {
    // Nothing registers this class, in this process or in the registry.
    const std::u16string url = write("orphan.vbd", "CLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D02}\n");
    EXPECT_EQ(code_of([&] { open_document(url); }), REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(description_of([&] {
                    open_document(url);
                }).starts_with(u"Cannot create the page {3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D02} named by " + url))
        << text::to_utf8(description_of([&] { open_document(url); }));
}

TEST(BuiltDocument, TheModulesDocumentFileNamesThePageClass) {
    // The file beside the built module, reached as the plug-in's URL reaches it.
    const std::filesystem::path module(ZN_MODULE_PATH);
    const std::u16string url = module.parent_path().u16string() + u"\\docZNImportPhotos.vbd";
    EXPECT_TRUE(com::same_guid(read_document_class(url), com::make_guid("{A82C5EAB-C419-49F5-8AD9-5C35F03EE080}")));
}

}  // namespace
}  // namespace zn::refhost
