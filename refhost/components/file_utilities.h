// The host's FileUtilities: text replacement and path helpers. Needs no Init.
#pragma once

#include "refhost/components/host_object.h"

namespace zn::refhost {

class FileUtilitiesObject final : public HostObject<FileUtilitiesObject, host::FileUtilities> {
public:
    explicit FileUtilitiesObject(std::shared_ptr<HostState> state);

    // Every occurrence replaced; *count receives the number of replacements.
    HRESULT STDMETHODCALLTYPE ReplaceText(BSTR text, BSTR search, BSTR replacement, LONG* count, BSTR* result) override;
    // Any non-zero flag asks for the folder part (True is -1), zero for the file-name part.
    HRESULT STDMETHODCALLTYPE GetPathPart(BSTR path, LONG folder, BSTR* part) override;
    HRESULT STDMETHODCALLTYPE FileExists(BSTR path, VARIANT_BOOL* exists) override;
};

}  // namespace zn::refhost
