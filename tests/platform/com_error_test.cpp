#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "platform/com/bstr.h"
#include "platform/com/com_error.h"
#include "platform/com/com_ptr.h"

namespace zn::com {
namespace {

// The thread's error info, taken (and so cleared) as a caller would.
struct TakenErrorInfo {
    HRESULT status;
    std::u16string source;
    std::u16string description;
};

TakenErrorInfo take_error_info() {
    IErrorInfo* raw = nullptr;
    TakenErrorInfo taken{GetErrorInfo(0, &raw), {}, {}};
    if (raw) {
        auto info = ComPtr<IErrorInfo>::attach(raw);
        Bstr source;
        Bstr description;
        EXPECT_EQ(info->GetSource(source.receive()), S_OK);
        EXPECT_EQ(info->GetDescription(description.receive()), S_OK);
        taken.source = source.str();
        taken.description = description.str();
    }
    return taken;
}

class ComErrorTest : public ::testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }
    void TearDown() override { SetErrorInfo(0, nullptr); }
};

TEST_F(ComErrorTest, StandardDescriptionsOfTheClassicRuntimeErrors) {
    EXPECT_EQ(standard_description(kTypeMismatch), u"Type mismatch");
    EXPECT_EQ(standard_description(kOverflow), u"Overflow");
    EXPECT_EQ(standard_description(kFileNotFound), u"File not found");
    EXPECT_EQ(standard_description(kFileAlreadyOpen), u"File already open");
    EXPECT_EQ(standard_description(kObjectNotSet), u"Object variable or With block variable not set");
    EXPECT_EQ(standard_description(kCancelled), u"Cancel was selected.");
    EXPECT_EQ(standard_description(kBadFileNameOrNumber), u"Bad file name or number");
    EXPECT_EQ(standard_description(kPermissionDenied), u"Permission denied");
    EXPECT_EQ(standard_description(kDeviceIoError), u"Device I/O error");
    EXPECT_EQ(standard_description(kOutOfMemory), u"Out of memory");
    EXPECT_EQ(standard_description(kBadFileMode), u"Bad file mode");
}

TEST_F(ComErrorTest, StandardDescriptionsOfSystemCodesAndUnknownOnes) {
    EXPECT_EQ(standard_description(REGDB_E_CLASSNOTREG), u"Class not registered");
    EXPECT_EQ(standard_description(E_NOINTERFACE), u"No such interface supported");
    EXPECT_FALSE(standard_description(E_FAIL).empty());
    EXPECT_EQ(standard_description(static_cast<HRESULT>(0x800A0999)), u"Application-defined or object-defined error");
    EXPECT_EQ(standard_description(static_cast<HRESULT>(0x80041234)), u"Automation error 0x80041234");
}

TEST_F(ComErrorTest, ErrorWithoutDescriptionTakesTheStandardOne) {
    EXPECT_EQ(ComError(kFileNotFound).description(), u"File not found");
    EXPECT_EQ(ComError(kFileNotFound, u"").description(), u"File not found");
    EXPECT_EQ(ComError(kFileNotFound, u"own text").description(), u"own text");
    EXPECT_STREQ(ComError(kTypeMismatch).what(), "Type mismatch");
}

TEST_F(ComErrorTest, BoundaryReturnsSuccessAndClearsStaleErrorInfo) {
    set_error_info(E_FAIL, u"stale");
    EXPECT_EQ(com_boundary([] {}), S_OK);
    EXPECT_EQ(take_error_info().status, S_FALSE);
}

TEST_F(ComErrorTest, BoundaryTurnsComErrorIntoCodeAndErrorInfo) {
    const HRESULT hr = com_boundary([] { throw_error(kFileNotFound, u"C:\\import.csv was not found"); });
    EXPECT_EQ(hr, kFileNotFound);
    const auto info = take_error_info();
    EXPECT_EQ(info.status, S_OK);
    EXPECT_EQ(info.source, u"ZNImportPhotos");
    EXPECT_EQ(info.description, u"C:\\import.csv was not found");
}

TEST_F(ComErrorTest, ReadingErrorInfoHandsItOverOnce) {
    set_error_info(kOverflow, u"once");
    EXPECT_EQ(take_error_info().status, S_OK);
    const auto second = take_error_info();
    EXPECT_EQ(second.status, S_FALSE);
}

TEST_F(ComErrorTest, BoundaryMapsOutOfMemoryAndOtherExceptions) {
    EXPECT_EQ(com_boundary([] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(take_error_info().status, S_OK);

    EXPECT_EQ(com_boundary([] { throw std::runtime_error("disk on fire"); }), E_FAIL);
    EXPECT_EQ(take_error_info().description, u"disk on fire");

    EXPECT_EQ(com_boundary([] { throw 42; }), E_UNEXPECTED);
}

TEST_F(ComErrorTest, ErrorCarryingASuccessCodeStillFails) {
    const HRESULT hr = com_boundary([] { throw ComError(S_FALSE, u"not really fine"); });
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(take_error_info().description, u"not really fine");
}

TEST_F(ComErrorTest, CheckCarriesTheCalleesDescriptionAcrossTwoBoundaries) {
    // A callee fails with its own text; the caller's check picks it up and its own boundary
    // hands the same code and text on to its caller.
    auto callee = [] { return com_boundary([] { throw_error(kPermissionDenied, u"photo.jpg is locked"); }); };
    const HRESULT hr = com_boundary([&] { check(callee()); });
    EXPECT_EQ(hr, kPermissionDenied);
    EXPECT_EQ(take_error_info().description, u"photo.jpg is locked");
}

TEST_F(ComErrorTest, CheckWithoutErrorInfoFallsBackToTheStandardDescription) {
    try {
        check(kTypeMismatch);
        FAIL() << "check did not throw";
    } catch (const ComError& e) {
        EXPECT_EQ(e.code(), kTypeMismatch);
        EXPECT_EQ(e.description(), u"Type mismatch");
    }
}

TEST_F(ComErrorTest, CheckConsumesTheErrorInfo) {
    set_error_info(E_FAIL, u"consumed");
    EXPECT_THROW(check(E_FAIL), ComError);
    EXPECT_EQ(take_error_info().status, S_FALSE);
}

TEST_F(ComErrorTest, ErrorObjectAnswersBothOfItsInterfaces) {
    ICreateErrorInfo* raw = nullptr;
    ASSERT_EQ(CreateErrorInfo(&raw), S_OK);
    auto create = ComPtr<ICreateErrorInfo>::attach(raw);
    auto info = create.as<IErrorInfo>();
    EXPECT_TRUE(same_object(create.get(), info.get()));
    EXPECT_EQ(create.try_as<IDispatch>(), nullptr);
    create->SetHelpContext(17);
    DWORD context = 0;
    EXPECT_EQ(info->GetHelpContext(&context), S_OK);
    EXPECT_EQ(context, 17u);
}

}  // namespace
}  // namespace zn::com
