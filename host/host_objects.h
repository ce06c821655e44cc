// Reaching the host's components: creating them by CLSID, binding them to the session, and
// the few calls of FileUtilities and TextServices that the component makes.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"

namespace zn::host {

// A new object of the host's class; a class that is not registered fails with the runtime's code.
com::ComPtr<IUnknown> create_host_unknown(const CLSID& clsid);

// The same, as its interface I; an object without I is a type mismatch.
template <class I>
com::ComPtr<I> create_host_object(const CLSID& clsid) {
    return create_host_unknown(clsid).as<I>();
}

// Binds an object to the session: init (the object's Init) gets a copy of the session by
// reference, and the caller keeps what Init leaves in it, which may be another session.
template <class InitCall>
void init_with_session(com::ComPtr<SessionContext>& session, InitCall&& init) {
    com::ComPtr<SessionContext> context = session;
    com::check(init(context.addressof()));
    session = std::move(context);
}

// The thread's shared TextServices: created on the first use on each thread and then kept
// for the rest of the thread's life.
TextServices& shared_text_services();

// TextServices.PrepareText with an empty list of substitution values.
std::u16string prepare_text(std::u16string_view text);

// FileUtilities.GetPathPart: the folder part (folder true) or the file-name part.
std::u16string path_part(FileUtilities& files, std::u16string_view path, bool folder);

// FileUtilities.ReplaceText(text, a double quote, "", 0 by reference); the count that comes
// back is not used.
std::u16string remove_quotes(FileUtilities& files, std::u16string_view text);

// FileUtilities.FileExists(path).
bool file_exists(FileUtilities& files, std::u16string_view path);

}  // namespace zn::host
