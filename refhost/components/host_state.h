// What the reference host's objects share: the configuration, the journal, and the registry of
// live objects. Every object holds the state it was created under, so an object that outlives
// its ReferenceHost still has somewhere to write.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/com/com_error.h"
#include "refhost/components/host_config.h"
#include "refhost/components/journal.h"
#include "refhost/components/live_counts.h"

namespace zn::refhost {

class HostState {
public:
    HostConfig config;

    const Journal& journal() const noexcept { return journal_; }
    void clear_journal();

    // Registers a new object under key (its IUnknown) and journals its creation; returns the
    // instance name, e.g. "SystemInfo#2". refs reads its current reference count.
    std::string track(const void* key, std::string_view cls, std::function<unsigned long()> refs);
    // Journals the release of a tracked object and forgets it.
    void untrack(const void* key);
    // "Session#1" for a tracked object, "Nothing" for null, "object" for anything else.
    std::string name_of(const void* key) const;
    LiveCounts live() const;

    // Runs one member of one object as a COM method: journals Class.Member(args()), reports an
    // injected failure through error info, otherwise runs body, which returns the outcome as
    // text. A ComError from body is returned as its code and description.
    template <class Args, class Body>
    HRESULT serve(const std::string& object, std::string_view cls, std::string_view member, Args&& args,
                  Body&& body) noexcept;

    // Journals the creation or release of an object that is not tracked here.
    void journal_event(JournalEntry::Kind kind, const std::string& object);
    // Journals a call of its own (used for the failed creation of an object).
    std::size_t journal_call(const std::string& object, std::string member, std::string args);
    void journal_outcome(std::size_t ticket, CallOutcome outcome, HRESULT result);
    // Before each call of a host member: runs the test's before_call hook, then throws the
    // failure injected into member for this call, if any.
    void before_member_call(const std::string& member);

private:
    struct Tracked {
        std::string cls;
        std::string name;
        std::function<unsigned long()> refs;
    };

    mutable std::mutex mutex_;
    Journal journal_;
    std::map<const void*, Tracked> live_;
    std::map<std::string, int, std::less<>> next_number_;
};

// "failed 0x80004005"
std::string failure_text(HRESULT hr);

template <class Args, class Body>
HRESULT HostState::serve(const std::string& object, std::string_view cls, std::string_view member, Args&& args,
                         Body&& body) noexcept {
    return com::com_boundary([&] {
        std::string full = std::string(cls) + "." + std::string(member);
        const std::size_t ticket = journal_call(object, full, args());
        try {
            before_member_call(full);
            journal_outcome(ticket, CallOutcome{body()}, S_OK);
        } catch (const com::ComError& e) {
            journal_outcome(ticket, CallOutcome{failure_text(e.code())}, e.code());
            throw;
        }
    });
}

// The reference host that is alive now, for the shared TextServices, which outlives hosts.
std::shared_ptr<HostState> active_host_state();
void set_active_host_state(std::weak_ptr<HostState> state);

}  // namespace zn::refhost
