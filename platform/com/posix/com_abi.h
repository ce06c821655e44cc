// The COM ABI as the component uses it, for platforms without the Windows SDK.
// Shapes, sizes and calling conventions follow the SDK so that the same sources
// build against either; only what the component and its host call is here.
#pragma once

#include <cstddef>
#include <cstdint>

#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT
#define STDAPI_(t) extern "C" t

using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = int;
using LCID = DWORD;
using DISPID = LONG;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using DATE = double;
using OLECHAR = char16_t;
using WCHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
constexpr HRESULT hresult_from(std::uint32_t code) {
    return static_cast<HRESULT>(code);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = hresult_from(0x80004001);
constexpr HRESULT E_NOINTERFACE = hresult_from(0x80004002);
constexpr HRESULT E_POINTER = hresult_from(0x80004003);
constexpr HRESULT E_ABORT = hresult_from(0x80004004);
constexpr HRESULT E_FAIL = hresult_from(0x80004005);
constexpr HRESULT E_UNEXPECTED = hresult_from(0x8000FFFF);
constexpr HRESULT E_ACCESSDENIED = hresult_from(0x80070005);
constexpr HRESULT E_HANDLE = hresult_from(0x80070006);
constexpr HRESULT E_OUTOFMEMORY = hresult_from(0x8007000E);
constexpr HRESULT E_INVALIDARG = hresult_from(0x80070057);
constexpr HRESULT CLASS_E_NOAGGREGATION = hresult_from(0x80040110);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = hresult_from(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = hresult_from(0x80040154);
constexpr HRESULT REGDB_E_READREGDB = hresult_from(0x80040150);
constexpr HRESULT REGDB_E_WRITEREGDB = hresult_from(0x80040151);
constexpr HRESULT CO_E_CLASSSTRING = hresult_from(0x800401F3);
constexpr HRESULT CO_E_DLLNOTFOUND = hresult_from(0x800401F8);
constexpr HRESULT CO_E_ERRORINDLL = hresult_from(0x800401F9);
constexpr HRESULT CO_E_NOTINITIALIZED = hresult_from(0x800401F0);
constexpr HRESULT MK_E_INVALIDEXTENSION = hresult_from(0x800401E6);
constexpr HRESULT STG_E_DOCFILECORRUPT = hresult_from(0x80030109);
constexpr HRESULT SELFREG_E_TYPELIB = hresult_from(0x80040200);
constexpr HRESULT SELFREG_E_CLASS = hresult_from(0x80040201);
constexpr HRESULT DISP_E_UNKNOWNNAME = hresult_from(0x80020006);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = hresult_from(0x80020003);
constexpr HRESULT DISP_E_PARAMNOTFOUND = hresult_from(0x80020004);
constexpr HRESULT DISP_E_TYPEMISMATCH = hresult_from(0x80020005);
constexpr HRESULT DISP_E_BADPARAMCOUNT = hresult_from(0x8002000E);
constexpr HRESULT DISP_E_EXCEPTION = hresult_from(0x80020009);
constexpr HRESULT DISP_E_BADVARTYPE = hresult_from(0x80020008);
constexpr HRESULT DISP_E_OVERFLOW = hresult_from(0x8002000A);
constexpr HRESULT DISP_E_BADINDEX = hresult_from(0x8002000B);
constexpr HRESULT CO_E_OBJNOTREG = hresult_from(0x800401FB);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = hresult_from(0x8002802B);

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_ALL = 0x17;
constexpr DWORD REGCLS_SINGLEUSE = 0;
constexpr DWORD REGCLS_MULTIPLEUSE = 1;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr DISPID DISPID_UNKNOWN = -1;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

bool operator==(const GUID& a, const GUID& b) noexcept;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0xfff,
};

struct IUnknown;
struct IDispatch;
struct SAFEARRAY;

struct VariantRecord {
    void* pvRecord;
    void* pRecInfo;
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        BYTE bVal;
        float fltVal;
        double dblVal;
        DATE date;
        SCODE scode;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        LONG* plVal;
        SHORT* piVal;
        VARIANT_BOOL* pboolVal;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        VARIANT* pvarVal;
        void* byref;
        VariantRecord brecord;
    };
};
static_assert(sizeof(VARIANT) == 8 + 2 * sizeof(void*));
using VARIANTARG = VARIANT;

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};

struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT(STDMETHODCALLTYPE* pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

extern "C" const IID IID_IUnknown;
extern "C" const IID IID_IClassFactory;
extern "C" const IID IID_IErrorInfo;
extern "C" const IID IID_ICreateErrorInfo;
extern "C" const IID IID_NULL;
extern "C" const GUID GUID_NULL;

// No virtual destructor anywhere below: it would add vtable slots and shift
// every member of every interface.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

// Opaque here: nothing on this side reads type information.
struct ITypeInfo : IUnknown {};

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                                    DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                             DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                             UINT* puArgErr) = 0;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};

struct IErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* pBstrSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* pBstrDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* pBstrHelpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* pdwHelpContext) = 0;
};

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID rguid) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR szSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR szDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR szHelpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD dwHelpContext) = 0;
};

struct ISupportErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

// BSTR: a 32-bit byte length stored before the text, and a terminating NUL.
BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);

void VariantInit(VARIANT* pvarg);
HRESULT VariantClear(VARIANT* pvarg);

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
HRESULT SafeArrayDestroy(SAFEARRAY* psa);
UINT SafeArrayGetDim(SAFEARRAY* psa);
HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);

HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo);
HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo);
HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo);

HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv);
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* pvReserved, REFIID riid, void** ppv);
HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags, DWORD* lpdwRegister);
HRESULT CoRevokeClassObject(DWORD dwRegister);
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, CLSID* lpclsid);
// The class stored in a compound file's root storage. As the system answers when no file
// extension is registered: MK_E_INVALIDEXTENSION for a file that is missing, unreadable or not
// a compound file; STG_E_DOCFILECORRUPT for a compound file whose directory cannot be read.
HRESULT GetClassFile(LPCOLESTR szFilename, CLSID* pclsid);
