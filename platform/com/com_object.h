// The IUnknown of an object that implements a list of interfaces. The first interface is the
// default one: it answers IUnknown and, when it is a dual interface, IDispatch.
#pragma once

#include <atomic>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"

namespace zn::com {

// Objects and server locks alive in this module; DllCanUnloadNow reads it.
class ModuleCount {
public:
    static void increment() noexcept { count().fetch_add(1, std::memory_order_relaxed); }
    static void decrement() noexcept { count().fetch_sub(1, std::memory_order_relaxed); }
    static long value() noexcept { return count().load(std::memory_order_relaxed); }

private:
    static std::atomic<long>& count() noexcept;
};

// Derived is the concrete class (final); no virtual member is added to any vtable here.
template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
    using Default = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (same_guid(riid, iid_of<IUnknown>())) {
            *ppv = unknown();
        } else if (same_guid(riid, iid_of<IDispatch>())) {
            if constexpr (std::is_base_of_v<IDispatch, Default>) *ppv = static_cast<IDispatch*>(static_cast<Default*>(this));
        } else if (!(match<Interfaces>(riid, ppv) || ...)) {
            if constexpr (requires(Derived& d) { d.query_extra(riid); })
                *ppv = static_cast<Derived*>(this)->query_extra(riid);
        }
        if (!*ppv) return E_NOINTERFACE;
        static_cast<IUnknown*>(*ppv)->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG r = --refs_;
        if (r == 0) delete static_cast<Derived*>(this);
        return r;
    }

    ULONG ref_count() const noexcept { return refs_.load(); }
    IUnknown* unknown() noexcept { return static_cast<IUnknown*>(static_cast<Default*>(this)); }

protected:
    ComObject() noexcept { ModuleCount::increment(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    ~ComObject() { ModuleCount::decrement(); }

private:
    template <class I>
    bool match(REFIID riid, void** ppv) noexcept {
        if (!same_guid(riid, iid_of<I>())) return false;
        *ppv = static_cast<I*>(this);
        return true;
    }

    std::atomic<ULONG> refs_{0};
};

// Creates an object and returns its first reference.
template <class Impl, class... Args>
ComPtr<Impl> make_object(Args&&... args) {
    auto* p = new Impl(std::forward<Args>(args)...);
    return ComPtr<Impl>(p);
}

}  // namespace zn::com
