// Binding a document file to its server object, the two ways a container does it.
#pragma once

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/win/ole_interfaces.h"

namespace zn::refhost::win {

enum class Binding {
    // CreateFileMoniker, then BindToObject: the system finds the class in the file, creates the
    // object and loads it through IPersistFile; the client site is set afterwards.
    FileMoniker,
    // OleCreateFromFile: the object is embedded, loaded from a storage of the container's own,
    // and given the client site by the system.
    CreateFromFile,
};

struct BoundDocument {
    com::ComPtr<IOleObject> object;
    // For CreateFromFile: the embedded object's storage (in memory), which must outlive it.
    com::ComPtr<IStorage> storage;
};

// The document object for the file at path. Throws ComError with the system's code and a
// description naming the file and the way it was bound.
BoundDocument bind_document(const std::u16string& path, Binding binding, IOleClientSite* site);

}  // namespace zn::refhost::win
