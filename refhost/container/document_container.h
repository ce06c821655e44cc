// The host's document container: opens the document file that a plug-in's URL names and
// creates the page object of the class that the file names.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"

namespace zn::refhost {

// The error for a file that exists and can be read but names no class: not a compound file,
// or one whose root storage has no class id.
inline constexpr HRESULT kMalformedDocument = E_FAIL;

// The class that the document file at url names in its root storage, read with the system's
// GetClassFile as a container does. url is a path that may use "\" as well as "/" as
// separator. Throws ComError: kFileNotFound when there is no such file, kPermissionDenied when
// it cannot be read, kMalformedDocument otherwise.
GUID read_document_class(std::u16string_view url);

// Opens the document and creates its page through CoCreateInstance, as a container does with
// the class that a document file names; returns the page as IDispatch. A class that cannot be
// created fails with the runtime's code and a description that names the class and the file.
com::ComPtr<IDispatch> open_document(std::u16string_view url);

}  // namespace zn::refhost
