#include "page/host_objects.h"

#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace zn::page {

using com::Bstr;
using com::ComPtr;

ComPtr<IUnknown> create_host_unknown(const CLSID& clsid) {
    ComPtr<IUnknown> object;
    com::check(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, com::iid_of<IUnknown>(), object.put_void()));
    if (!object) com::throw_error(com::kObjectNotSet);
    return object;
}

host::TextServices& shared_text_services() {
    // The host shares one TextServices per thread for the program's life, and the page never
    // lets go of it: a raw pointer on purpose, so that no destructor releases it when the
    // thread ends (the host's own shutdown may already have torn it down by then).
    thread_local host::TextServices* shared = nullptr;
    if (!shared) shared = create_host_object<host::TextServices>(host::CLSID_TextServices).detach();
    return *shared;
}

std::u16string prepare_text(std::u16string_view text) {
    const Bstr source(text);
    com::SafeArray no_values = com::SafeArray::of_variants(0);
    Bstr prepared;
    com::check(shared_text_services().PrepareText(source.get(), no_values.addressof(), prepared.receive()));
    return prepared.str();
}

std::u16string path_part(host::FileUtilities& files, std::u16string_view path, bool folder) {
    const Bstr p(path);
    Bstr part;
    com::check(files.GetPathPart(p.get(), folder ? -1 : 0, part.receive()));
    return part.str();
}

}  // namespace zn::page
