// The host's components as the component calls them: every interface is dual and called
// early-bound, so each called member sits at the vtable slot the host's type library gives it
// (member n is vtable slot 7 + n - 1). Above each member: its number, what is passed and what
// the component relies on.
#pragma once

#include "host/slots.h"
#include "platform/com/guid.h"

namespace zn::host {

// Opaque: only handed to Init operations, which receive it by reference and may replace it.
struct SessionContext : IDispatch {};

struct ServiceProvider : IDispatch {
    ZN_SLOT(1)
    ZN_SLOT(2)
        // 3: the session object; the component queries it for SessionContext.
        virtual HRESULT STDMETHODCALLTYPE get_Session(IDispatch** session) = 0;
};

struct HostApplication : IDispatch {
    ZN_SLOT(1)
    ZN_SLOT(2) ZN_SLOT(3)
        // 4: the host's service provider.
        virtual HRESULT STDMETHODCALLTYPE get_Services(ServiceProvider** services) = 0;
};

struct SystemInfo : IDispatch {
    ZN_SLOTS_1_TO_9 ZN_SLOTS_DECADE(1)
        // 20: binds the object to the session; the context may come back replaced, and the
        // caller keeps it as Init leaves it.
        virtual HRESULT STDMETHODCALLTYPE Init(SessionContext** context) = 0;
    ZN_SLOT(21)
    ZN_SLOT(22) ZN_SLOT(23) ZN_SLOT(24) ZN_SLOT(25) ZN_SLOT(26) ZN_SLOT(27) ZN_SLOT(28) ZN_SLOT(29) ZN_SLOTS_DECADE(3)
        ZN_SLOT(40) ZN_SLOT(41) ZN_SLOT(42)
        // 43: called last, before release.
        virtual HRESULT STDMETHODCALLTYPE CloseDown() = 0;
    ZN_SLOT(44)
    ZN_SLOT(45) ZN_SLOT(46) ZN_SLOT(47) ZN_SLOT(48) ZN_SLOT(49) ZN_SLOT(50) ZN_SLOT(51) ZN_SLOT(52) ZN_SLOT(53)
        ZN_SLOT(54) ZN_SLOT(55) ZN_SLOT(56) ZN_SLOT(57)
        // 58: module code (4096 HM, 8192 HV), -1, -1, a value by reference preset to 0 and not
        // read after; true exactly when that module is installed.
        virtual HRESULT STDMETHODCALLTYPE
        IsSystemInstalled(LONG module, LONG option1, LONG option2, LONG* reserved, VARIANT_BOOL* installed) = 0;
};

struct FileUtilities : IDispatch {
    ZN_SLOT(1)
    ZN_SLOT(2) ZN_SLOT(3) ZN_SLOT(4) ZN_SLOT(5)
        // 6: every occurrence of search in text replaced; count by reference preset to 0, not read after.
        virtual HRESULT STDMETHODCALLTYPE
        ReplaceText(BSTR text, BSTR search, BSTR replacement, LONG* count, BSTR* result) = 0;
    // 7: folder part when folder is true (-1), file-name part when false (0).
    virtual HRESULT STDMETHODCALLTYPE GetPathPart(BSTR path, LONG folder, BSTR* part) = 0;
    ZN_SLOT(8)
    ZN_SLOT(9) ZN_SLOT(10) ZN_SLOT(11) ZN_SLOT(12) ZN_SLOT(13) ZN_SLOT(14) ZN_SLOT(15) ZN_SLOT(16) ZN_SLOT(17)
        ZN_SLOT(18)
        // 19: true exactly when path names an existing file; a folder path ending in "\" is true
        // when the folder exists.
        virtual HRESULT STDMETHODCALLTYPE FileExists(BSTR path, VARIANT_BOOL* exists) = 0;
};

struct TextServices : IDispatch {
    ZN_SLOT(1)
    ZN_SLOT(2)
        // 3: the display text for text; arguments by reference, always an empty array of variants here.
        virtual HRESULT STDMETHODCALLTYPE PrepareText(BSTR text, SAFEARRAY** arguments, BSTR* prepared) = 0;
};

// The four record classes share Init, CloseDown, Load and Save as adjacent members:
//   Init(context by reference): as SystemInfo.Init; the page keeps the context as Init leaves it.
//   CloseDown(): a second call on the same object is harmless.
//   Load(id, reserved by reference preset to 0): fails when the record cannot be loaded.
//   Save(): stores the changed fields.
#define ZN_RECORD_MEMBERS                                                             \
    virtual HRESULT STDMETHODCALLTYPE Init(::zn::host::SessionContext** context) = 0; \
    virtual HRESULT STDMETHODCALLTYPE CloseDown() = 0;                                \
    virtual HRESULT STDMETHODCALLTYPE Load(LONG id, LONG* reserved) = 0;              \
    virtual HRESULT STDMETHODCALLTYPE Save() = 0;

// Init is member 61.
struct FacultyStaffRecord : IDispatch {
    ZN_SLOTS_1_TO_9 ZN_SLOTS_DECADE(1) ZN_SLOTS_DECADE(2) ZN_SLOTS_DECADE(3) ZN_SLOTS_DECADE(4) ZN_SLOTS_DECADE(5)
        ZN_SLOT(60) ZN_RECORD_MEMBERS
};

// Init is member 67.
struct ApplicantRecord : IDispatch {
    ZN_SLOTS_1_TO_9 ZN_SLOTS_DECADE(1) ZN_SLOTS_DECADE(2) ZN_SLOTS_DECADE(3) ZN_SLOTS_DECADE(4) ZN_SLOTS_DECADE(5)
        ZN_SLOT(60) ZN_SLOT(61) ZN_SLOT(62) ZN_SLOT(63) ZN_SLOT(64) ZN_SLOT(65) ZN_SLOT(66) ZN_RECORD_MEMBERS
};

// Init is member 73.
struct StudentRecord : IDispatch {
    ZN_SLOTS_1_TO_9 ZN_SLOTS_DECADE(1) ZN_SLOTS_DECADE(2) ZN_SLOTS_DECADE(3) ZN_SLOTS_DECADE(4) ZN_SLOTS_DECADE(5)
        ZN_SLOTS_DECADE(6) ZN_SLOT(70) ZN_SLOT(71) ZN_SLOT(72) ZN_RECORD_MEMBERS
};

// Init is member 66.
struct IndividualRecord : IDispatch {
    ZN_SLOTS_1_TO_9 ZN_SLOTS_DECADE(1) ZN_SLOTS_DECADE(2) ZN_SLOTS_DECADE(3) ZN_SLOTS_DECADE(4) ZN_SLOTS_DECADE(5)
        ZN_SLOT(60) ZN_SLOT(61) ZN_SLOT(62) ZN_SLOT(63) ZN_SLOT(64) ZN_SLOT(65) ZN_RECORD_MEMBERS
};

#undef ZN_RECORD_MEMBERS

struct FieldSet;

struct DataObject : IDispatch {
    ZN_SLOTS_1_TO_9 ZN_SLOTS_DECADE(1) ZN_SLOTS_DECADE(2) ZN_SLOT(30) ZN_SLOT(31) ZN_SLOT(32) ZN_SLOT(33) ZN_SLOT(34)
        // 35: given 1, the loaded record's fields.
        virtual HRESULT STDMETHODCALLTYPE Fields(LONG which, FieldSet** fields) = 0;
};

struct FieldSet : IDispatch {
    // 1: reads a field (not called by the component; the reference host serves it to tests).
    virtual HRESULT STDMETHODCALLTYPE get_Field(LONG id, VARIANT* value) = 0;
    // 2: sets a field; for the photo (61) a String, the empty String meaning no photo.
    virtual HRESULT STDMETHODCALLTYPE put_Field(LONG id, VARIANT value) = 0;
};

// The record's photo field.
inline constexpr LONG PHOTO_FIELD_ID = 61;
// Module codes that SystemInfo answers for.
inline constexpr LONG kModuleHM = 4096;
inline constexpr LONG kModuleHV = 8192;

inline constexpr GUID CLSID_SystemInfo = com::make_guid("{5AC138BF-989B-11D4-B065-00E0290ECEED}");
inline constexpr GUID CLSID_FileUtilities = com::make_guid("{4EE2FB22-0024-11D4-90E4-00C04F37AA48}");
inline constexpr GUID CLSID_TextServices = com::make_guid("{575EA378-E867-11D3-9068-00C04F44F100}");
inline constexpr GUID CLSID_FacultyStaffRecord = com::make_guid("{95F78A3A-BBEA-4B55-B01A-E941F94187F1}");
inline constexpr GUID CLSID_ApplicantRecord = com::make_guid("{7EDB22FA-F741-40A2-8353-08E2CADA4BAB}");
inline constexpr GUID CLSID_StudentRecord = com::make_guid("{90162A59-F1AA-4417-B126-526E3153FC1D}");
inline constexpr GUID CLSID_IndividualRecord = com::make_guid("{371501D8-91B4-479F-8A6B-86BFC9ADEA78}");

}  // namespace zn::host

ZN_DECLARE_IID(zn::host::HostApplication, "{41079A2F-791C-11D4-A6C1-00B0D0273C9F}");
ZN_DECLARE_IID(zn::host::ServiceProvider, "{41079A2E-791C-11D4-A6C1-00B0D0273C9F}");
ZN_DECLARE_IID(zn::host::SessionContext, "{E5A4B18A-D001-11D3-90B5-00C04F37AA48}");
ZN_DECLARE_IID(zn::host::SystemInfo, "{5AE48A51-E64D-4D27-9BBB-E15A021AF7F3}");
ZN_DECLARE_IID(zn::host::FileUtilities, "{9BB7BFF3-4CFB-11D4-A6F5-00C04F0228C4}");
ZN_DECLARE_IID(zn::host::TextServices, "{F9D7FE49-CF05-11D5-909C-00C04F597E91}");
ZN_DECLARE_IID(zn::host::FacultyStaffRecord, "{02B4E30F-76EF-4AEC-A53E-B11B221F6C2A}");
ZN_DECLARE_IID(zn::host::ApplicantRecord, "{D8DD78C9-7E08-4000-AF5C-F135D4B45FCB}");
ZN_DECLARE_IID(zn::host::StudentRecord, "{33050D92-E91A-41A8-8691-43345D614040}");
ZN_DECLARE_IID(zn::host::IndividualRecord, "{2CBDE068-7276-4F14-A6FF-8B56FE3B094A}");
ZN_DECLARE_IID(zn::host::DataObject, "{E5A4B191-D001-11D3-90B5-00C04F37AA48}");
ZN_DECLARE_IID(zn::host::FieldSet, "{C0BD4E6C-A7BE-4379-AEE2-B2122A0C0497}");
