// The host's FileUtilities in the shapes that the line parser and the photo reader take.
#pragma once

#include "host/host_interfaces.h"
#include "import/line_parser.h"
#include "import/photo_reader.h"
#include "platform/com/com_ptr.h"

namespace zn::import {

// ReplaceText(text, a double quote, "", 0 by reference); what comes back in the count is not
// used. A failure is raised with the host's description.
RemoveQuotes remove_quotes_with(com::ComPtr<host::FileUtilities> utilities);

// FileExists(path). A failure is raised with the host's description.
FileExistsCheck file_exists_with(com::ComPtr<host::FileUtilities> utilities);

}  // namespace zn::import
