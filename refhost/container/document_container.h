// The host's document container: opens the document file that a plug-in's URL names and
// creates the page object of the class that the file names.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"

namespace zn::refhost {

// The error for a document file that exists but does not name a class as it should.
inline constexpr HRESULT kMalformedDocument = E_FAIL;
// Larger files are refused unread: a document file holds a few short lines.
inline constexpr std::size_t kMaxDocumentSize = 64 * 1024;

// The CLSID that a document file's text names on its line "CLSID={...}". Other lines are
// ignored; exactly one CLSID line must be present. Throws ComError(kMalformedDocument).
GUID parse_document_class(std::string_view document_text);

// Reads the document file at url, a path that may use "\" as well as "/" as separator, and
// returns the class it names. Throws ComError: kFileNotFound when there is no such file,
// kPermissionDenied when it cannot be read, kMalformedDocument otherwise.
GUID read_document_class(std::u16string_view url);

// Opens the document and creates its page through CoCreateInstance, as a container does with
// the class that a document file names; returns the page as IDispatch. A class that cannot be
// created fails with the runtime's code and a description that names the class and the file.
com::ComPtr<IDispatch> open_document(std::u16string_view url);

}  // namespace zn::refhost
