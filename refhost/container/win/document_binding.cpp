#include "refhost/container/win/document_binding.h"

#include "platform/com/com_error.h"

namespace zn::refhost::win {
namespace {

[[noreturn]] void fail(HRESULT hr, const std::u16string& path, std::u16string_view how) {
    std::u16string cause;
    try {
        com::check(hr);
    } catch (const com::ComError& e) {
        cause = e.description();
    }
    com::throw_error(hr, u"Cannot bind " + path + u" " + std::u16string(how) + u": " + cause);
}

BoundDocument through_file_moniker(const std::u16string& path) {
    constexpr std::u16string_view how = u"through a file moniker";
    com::ComPtr<IMoniker> moniker;
    if (const HRESULT hr = CreateFileMoniker(com::ole(path.c_str()), moniker.put()); FAILED(hr)) fail(hr, path, how);
    // The bind context holds what the bind touched; it goes at the end of this scope.
    com::ComPtr<IBindCtx> context;
    if (const HRESULT hr = CreateBindCtx(0, context.put()); FAILED(hr)) fail(hr, path, how);
    BoundDocument bound;
    if (const HRESULT hr =
            moniker->BindToObject(context.get(), nullptr, com::iid_of<IOleObject>(), bound.object.put_void());
        FAILED(hr))
        fail(hr, path, how);
    return bound;
}

BoundDocument created_from_file(const std::u16string& path, IOleClientSite* site) {
    constexpr std::u16string_view how = u"with OleCreateFromFile";
    com::ComPtr<ILockBytes> bytes;
    if (const HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()); FAILED(hr)) fail(hr, path, how);
    BoundDocument bound;
    if (const HRESULT hr = StgCreateDocfileOnILockBytes(
            bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, bound.storage.put());
        FAILED(hr))
        fail(hr, path, how);
    const CLSID reserved{};  // CLSID_NULL
    if (const HRESULT hr =
            OleCreateFromFile(reserved, com::ole(path.c_str()), com::iid_of<IOleObject>(), OLERENDER_NONE, nullptr,
                              site, bound.storage.get(), bound.object.put_void());
        FAILED(hr))
        fail(hr, path, how);
    return bound;
}

}  // namespace

BoundDocument bind_document(const std::u16string& path, Binding binding, IOleClientSite* site) {
    return binding == Binding::FileMoniker ? through_file_moniker(path) : created_from_file(path, site);
}

}  // namespace zn::refhost::win
