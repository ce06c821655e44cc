#include "host/host_objects.h"

#include "platform/com/bstr.h"
#include "platform/com/variant.h"

namespace zn::host {

using com::Bstr;
using com::ComPtr;

ComPtr<IUnknown> create_host_unknown(const CLSID& clsid) {
    ComPtr<IUnknown> object;
    com::check(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, com::iid_of<IUnknown>(), object.put_void()));
    if (!object) com::throw_error(com::kObjectNotSet);
    return object;
}

TextServices& shared_text_services() {
    // The host shares one TextServices per thread for the program's life, and the page never
    // lets go of it: a raw pointer on purpose, so that no destructor releases it when the
    // thread ends (the host's own shutdown may already have torn it down by then).
    thread_local TextServices* shared = nullptr;
    if (!shared) shared = create_host_object<TextServices>(CLSID_TextServices).detach();
    return *shared;
}

std::u16string prepare_text(std::u16string_view text) {
    const Bstr source(text);
    com::SafeArray no_values = com::SafeArray::of_variants(0);
    Bstr prepared;
    com::check(shared_text_services().PrepareText(source.get(), no_values.addressof(), prepared.receive()));
    return prepared.str();
}

std::u16string path_part(FileUtilities& files, std::u16string_view path, bool folder) {
    const Bstr p(path);
    Bstr part;
    com::check(files.GetPathPart(p.get(), folder ? -1 : 0, part.receive()));
    return part.str();
}

std::u16string remove_quotes(FileUtilities& files, std::u16string_view text) {
    const Bstr line(text);
    const Bstr quote(u"\"");
    const Bstr nothing(u"");
    LONG count = 0;
    Bstr result;
    com::check(files.ReplaceText(line.get(), quote.get(), nothing.get(), &count, result.receive()));
    return result.str();
}

bool file_exists(FileUtilities& files, std::u16string_view path) {
    const Bstr name(path);
    VARIANT_BOOL exists = VARIANT_FALSE;
    com::check(files.FileExists(name.get(), &exists));
    return exists != VARIANT_FALSE;
}

}  // namespace zn::host
