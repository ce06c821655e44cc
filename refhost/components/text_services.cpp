#include "refhost/components/text_services.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/com/bstr.h"
#include "refhost/components/call_text.h"
#include "refhost/components/host_state.h"

namespace zn::refhost {
namespace {

// The thread's own pointer is plain and the references live in one process-wide list: MinGW's
// emulated thread-local storage is freed before a thread_local's destructor runs, so a
// thread_local ComPtr would release through freed memory when its thread ends.
thread_local TextServicesObject* this_thread_instance = nullptr;
std::atomic<int> instances_made{0};

void keep_for_good(com::ComPtr<TextServicesObject> instance) {
    static std::mutex guard;
    static std::vector<com::ComPtr<TextServicesObject>> kept;
    const std::scoped_lock lock(guard);
    kept.push_back(std::move(instance));
}

// The number of elements of a one-dimensional array; -1 for anything else.
long element_count(SAFEARRAY* arguments) {
    LONG lower = 0;
    LONG upper = -1;
    if (SafeArrayGetDim(arguments) != 1 || FAILED(SafeArrayGetLBound(arguments, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(arguments, 1, &upper)))
        return -1;
    return static_cast<long>(upper) - lower + 1;
}

std::string arguments_text(SAFEARRAY** arguments) {
    if (!arguments || !*arguments) return "null";
    const long n = element_count(*arguments);
    return n < 0 ? "not a list" : number(n);
}

}  // namespace

TextServicesObject::TextServicesObject() : name_("TextServices#" + std::to_string(++instances_made)) {
    if (auto state = active_host_state()) state->journal_event(JournalEntry::Kind::Created, name_);
}

HRESULT TextServicesObject::PrepareText(BSTR text, SAFEARRAY** arguments, BSTR* prepared) {
    auto state = active_host_state();
    if (!state) {
        // No host to journal into (the host's life has ended): still serve the text.
        return com::com_boundary([&] {
            if (!prepared) com::throw_error(E_POINTER);
            *prepared = com::alloc_bstr(com::bstr_view(text));
        });
    }
    const auto args = [&] { return join_args(quoted_text(text), arguments_text(arguments)); };
    return state->serve(name_, "TextServices", "PrepareText", args, [&] {
        if (!prepared) com::throw_error(E_POINTER);
        if (arguments && *arguments && element_count(*arguments) < 0)
            com::throw_error(E_INVALIDARG, u"PrepareText expects a one-dimensional list of arguments");
        const std::u16string r = state->config.prepared_text_prefix + std::u16string(com::bstr_view(text));
        *prepared = com::alloc_bstr(r);
        return quoted_text(r);
    });
}

com::ComPtr<TextServicesObject> text_services_for_this_thread() {
    if (!this_thread_instance) {
        auto made = com::make_object<TextServicesObject>();
        this_thread_instance = made.get();
        keep_for_good(std::move(made));
    }
    return com::ComPtr<TextServicesObject>(this_thread_instance);
}

ClassCount text_services_count_for_this_thread() {
    if (!this_thread_instance) return {};
    return ClassCount{1, static_cast<long>(this_thread_instance->ref_count()) - 1};
}

}  // namespace zn::refhost
