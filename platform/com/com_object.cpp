#include "platform/com/com_object.h"

namespace zn::com {

std::atomic<long>& ModuleCount::count() noexcept {
    static std::atomic<long> count{0};
    return count;
}

bool same_object(IUnknown* a, IUnknown* b) noexcept {
    if (!a || !b) return a == b;
    // Only the IUnknown pointers of two objects say whether they are one object.
    auto identity = [](IUnknown* p) {
        void* unknown = nullptr;
        if (FAILED(p->QueryInterface(iid_of<IUnknown>(), &unknown)) || !unknown) return static_cast<void*>(nullptr);
        static_cast<IUnknown*>(unknown)->Release();
        return unknown;
    };
    void* ua = identity(a);
    return ua && ua == identity(b);
}

}  // namespace zn::com
