#include "refhost/components/host_state.h"

#include <cstdio>

namespace zn::refhost {

std::string failure_text(HRESULT hr) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "failed 0x%08X", static_cast<unsigned>(hr));
    return buf;
}

void HostState::clear_journal() {
    std::lock_guard lock(mutex_);
    journal_.clear();
}

std::string HostState::track(const void* key, std::string_view cls, std::function<unsigned long()> refs) {
    std::lock_guard lock(mutex_);
    auto it = next_number_.find(cls);
    if (it == next_number_.end()) it = next_number_.emplace(std::string(cls), 1).first;
    std::string name = std::string(cls) + "#" + std::to_string(it->second++);
    live_[key] = Tracked{std::string(cls), name, std::move(refs)};
    journal_.add(JournalEntry{.kind = JournalEntry::Kind::Created, .object = name});
    return name;
}

void HostState::untrack(const void* key) {
    std::lock_guard lock(mutex_);
    const auto it = live_.find(key);
    if (it == live_.end()) return;
    journal_.add(JournalEntry{.kind = JournalEntry::Kind::Released, .object = it->second.name});
    live_.erase(it);
}

std::string HostState::name_of(const void* key) const {
    if (!key) return "Nothing";
    std::lock_guard lock(mutex_);
    const auto it = live_.find(key);
    return it == live_.end() ? "object" : it->second.name;
}

LiveCounts HostState::live() const {
    std::lock_guard lock(mutex_);
    LiveCounts counts;
    for (const auto& [key, t] : live_) {
        auto& c = counts.by_class[t.cls];
        ++c.objects;
        c.references += static_cast<long>(t.refs());
    }
    return counts;
}

void HostState::journal_event(JournalEntry::Kind kind, const std::string& object) {
    std::lock_guard lock(mutex_);
    journal_.add(JournalEntry{.kind = kind, .object = object});
}

std::size_t HostState::journal_call(const std::string& object, std::string member, std::string args) {
    std::lock_guard lock(mutex_);
    return journal_.add(JournalEntry{
        .kind = JournalEntry::Kind::Call, .object = object, .member = std::move(member), .args = std::move(args)});
}

void HostState::journal_outcome(std::size_t ticket, CallOutcome outcome, HRESULT result) {
    std::lock_guard lock(mutex_);
    journal_.set_outcome(ticket, std::move(outcome), result);
}

void HostState::before_member_call(const std::string& member) {
    if (config.before_call) config.before_call(member);
    std::optional<Failure> failure;
    {
        std::lock_guard lock(mutex_);
        failure = config.next_failure(member);
    }
    if (failure) com::throw_error(failure->code, failure->description);
}

namespace {
std::mutex active_mutex;
std::weak_ptr<HostState> active_state;
}  // namespace

std::shared_ptr<HostState> active_host_state() {
    std::lock_guard lock(active_mutex);
    return active_state.lock();
}

void set_active_host_state(std::weak_ptr<HostState> state) {
    std::lock_guard lock(active_mutex);
    active_state = std::move(state);
}

}  // namespace zn::refhost
