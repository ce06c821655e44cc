// The document container: reading the class that a document file's root storage names, as
// the system reads it, and creating the page from it, with clear errors for a file that is
// missing, is not a document, or names a class that nobody provides.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/com/dispatch_object.h"
#include "platform/text/utf.h"
#include "plugin/module_identity.h"
#include "refhost/components/class_factory.h"
#include "refhost/container/document_container.h"
#include "support/temp_folder.h"

namespace zn::refhost {
namespace {

constexpr GUID kTestPage = com::make_guid(ZN_TEST_PAGE_CLASS);

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

// A path as the plug-in writes URL: folder, "\", file name.
std::u16string url_of(const std::filesystem::path& folder, std::u16string_view name) {
    return folder.u16string() + u"\\" + std::u16string(name);
}

// The document files that the build writes for these tests.
std::u16string test_document(std::u16string_view name) {
    return url_of(ZN_TEST_DOCUMENTS, name);
}

TEST(DocumentFile, AUrlWithABackslashBeforeTheFileNameIsRead) {
    EXPECT_TRUE(com::same_guid(read_document_class(test_document(u"page.vbd")), kTestPage));
}

TEST(DocumentFile, AMissingFileIsFileNotFoundAndNamesThePath) {
    const test::TempFolder dir("zn-refhost-doc");
    const std::u16string url = url_of(dir.path(), u"missing.vbd");
    EXPECT_EQ(code_of([&] { read_document_class(url); }), com::kFileNotFound);
    EXPECT_EQ(description_of([&] { read_document_class(url); }), u"Document file not found: " + url);
    // A folder is not a document file.
    EXPECT_EQ(code_of([&] { read_document_class(dir.path().u16string()); }), com::kFileNotFound);
}

TEST(DocumentFile, AFileThatNamesNoClassIsNotADocumentAndIsNamed) {
    test::TempFolder dir("zn-refhost-doc");
    // The text file that once stood in for a document, an empty file, a compound file cut off
    // after its header (its directory lies beyond the end), and one whose root names no class.
    dir.write("text.vbd", "ZNImportPhotos document\nCLSID={3F2B7C10-5D4E-4A8B-9C61-0E2F4A6B8D01}\n");
    dir.write("empty.vbd", "");
    std::filesystem::copy_file(std::filesystem::path(ZN_TEST_DOCUMENTS) / "page.vbd", dir.path() / "header.vbd");
    std::filesystem::resize_file(dir.path() / "header.vbd", 512);
    const std::u16string urls[] = {url_of(dir.path(), u"text.vbd"), url_of(dir.path(), u"empty.vbd"),
                                   url_of(dir.path(), u"header.vbd"), test_document(u"no-class.vbd")};
    for (const std::u16string& url : urls) {
        SCOPED_TRACE(text::to_utf8(url));
        EXPECT_EQ(code_of([&] { read_document_class(url); }), kMalformedDocument);
        EXPECT_TRUE(
            description_of([&] { read_document_class(url); }).starts_with(u"Not a document file: " + url + u" ("))
            << text::to_utf8(description_of([&] { read_document_class(url); }));
    }
}

TEST(DocumentFile, OpeningCreatesThePageOfTheNamedClass) {
    auto state = std::make_shared<HostState>();
    int made = 0;
    const auto factory = com::make_object<HostClassFactory>(state, "TestPage", [&] {
        ++made;
        return com::ComPtr<IUnknown>(com::make_object<TestPage>()->unknown());
    });
    ClassRegistration registration(kTestPage, factory->unknown());

    const com::ComPtr<IDispatch> page = open_document(test_document(u"page.vbd"));
    ASSERT_TRUE(page);
    EXPECT_EQ(made, 1);
}

TEST(DocumentFile, AClassThatCannotBeCreatedIsReportedWithTheFile) {
    // Nothing registers this class, in this process or in the registry.
    const std::u16string url = test_document(u"orphan.vbd");
    EXPECT_EQ(code_of([&] { open_document(url); }), REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(description_of([&] { open_document(url); })
                    .starts_with(u"Cannot create the page " + com::format_guid(com::make_guid(ZN_ORPHAN_CLASS)) +
                                 u" named by " + url))
        << text::to_utf8(description_of([&] { open_document(url); }));
}

TEST(BuiltDocument, TheModulesDocumentFileOpensAsThePage) {
    // The file beside the built module, reached as the plug-in's URL reaches it.
    const std::u16string url = url_of(std::filesystem::path(ZN_MODULE_PATH).parent_path(), u"docZNImportPhotos.vbd");
    const plugin::ClassIdentity& page_class = plugin::page_class();
    EXPECT_TRUE(com::same_guid(read_document_class(url), page_class.clsid));

    auto state = std::make_shared<HostState>();
    const auto factory =
        com::make_object<HostClassFactory>(state, "docZNImportPhotos", [&] { return page_class.create(); });
    ClassRegistration registration(page_class.clsid, factory->unknown());
    const com::ComPtr<IDispatch> page = open_document(url);
    ASSERT_TRUE(page);
    // It is the page: it answers to the page's own interface.
    com::ComPtr<IUnknown> own;
    EXPECT_EQ(page->QueryInterface(page_class.default_iid, own.put_void()), S_OK);
}

}  // namespace
}  // namespace zn::refhost
