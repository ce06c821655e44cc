// The host's shared TextServices: one instance per thread, created on first use and kept
// until the process ends. It outlives any one ReferenceHost, so it journals into
// whichever host is alive when it is called.
#pragma once

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"
#include "platform/com/dispatch_object.h"
#include "refhost/components/live_counts.h"

namespace zn::refhost {

class TextServicesObject final : public com::DispatchObject<TextServicesObject, host::TextServices> {
public:
    TextServicesObject();

    // The text as given, after the configured prefix. arguments: an array of variants by
    // reference; its element count is journaled ("null" when there is no array).
    HRESULT STDMETHODCALLTYPE PrepareText(BSTR text, SAFEARRAY** arguments, BSTR* prepared) override;

private:
    std::string name_;
};

// This thread's instance, created on the first call.
com::ComPtr<TextServicesObject> text_services_for_this_thread();
// This thread's instance if it was created: objects 0 or 1, and the references held on it
// beyond the one that keeps it.
ClassCount text_services_count_for_this_thread();

}  // namespace zn::refhost
