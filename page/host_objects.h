// Reaching the host's components from the page: creating them by CLSID, the thread's shared
// TextServices, and FileUtilities' path parts.
#pragma once

#include <string>
#include <string_view>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"

namespace zn::page {

// A new object of the host's class, as its interface I; a class that is not registered fails
// with the runtime's code, an object without I with a type mismatch.
com::ComPtr<IUnknown> create_host_unknown(const CLSID& clsid);
template <class I>
com::ComPtr<I> create_host_object(const CLSID& clsid) {
    return create_host_unknown(clsid).as<I>();
}

// The thread's shared TextServices: created on the first use on each thread and then kept
// for the rest of the thread's life.
host::TextServices& shared_text_services();

// TextServices.PrepareText with an empty list of substitution values.
std::u16string prepare_text(std::u16string_view text);

// FileUtilities.GetPathPart: the folder part (folder true) or the file-name part.
std::u16string path_part(host::FileUtilities& files, std::u16string_view path, bool folder);

}  // namespace zn::page
