#include "refhost/components/journal.h"

namespace zn::refhost {
namespace {

// "SystemInfo#3" -> "SystemInfo"
std::string_view class_of(std::string_view object) {
    return object.substr(0, object.find('#'));
}

std::size_t count_kind(const std::vector<JournalEntry>& entries, JournalEntry::Kind kind, std::string_view cls) {
    std::size_t n = 0;
    for (const auto& e : entries)
        if (e.kind == kind && class_of(e.object) == cls) ++n;
    return n;
}

}  // namespace

std::string JournalEntry::text() const {
    switch (kind) {
        case Kind::Created:
            return "created " + object;
        case Kind::Released:
            return "released " + object;
        case Kind::Call:
            break;
    }
    return member + "(" + args + ")";
}

std::string JournalEntry::describe() const {
    if (kind != Kind::Call || outcome.empty()) return text();
    return text() + " -> " + outcome;
}

std::vector<std::string> Journal::calls() const {
    std::vector<std::string> r;
    for (const auto& e : entries_)
        if (e.kind == JournalEntry::Kind::Call) r.push_back(e.text());
    return r;
}

std::vector<JournalEntry> Journal::calls_to(std::string_view member) const {
    std::vector<JournalEntry> r;
    for (const auto& e : entries_)
        if (e.kind == JournalEntry::Kind::Call && e.member == member) r.push_back(e);
    return r;
}

std::size_t Journal::count(std::string_view member) const {
    std::size_t n = 0;
    for (const auto& e : entries_)
        if (e.kind == JournalEntry::Kind::Call && e.member == member) ++n;
    return n;
}

bool Journal::contains(std::string_view text) const {
    for (const auto& e : entries_)
        if (e.text() == text) return true;
    return false;
}

std::size_t Journal::created(std::string_view cls) const {
    return count_kind(entries_, JournalEntry::Kind::Created, cls);
}

std::size_t Journal::released(std::string_view cls) const {
    return count_kind(entries_, JournalEntry::Kind::Released, cls);
}

std::string Journal::to_string() const {
    std::string r;
    for (const auto& e : entries_) {
        r += e.describe();
        r += '\n';
    }
    return r;
}

std::size_t Journal::add(JournalEntry entry) {
    entries_.push_back(std::move(entry));
    return cleared_ + entries_.size() - 1;
}

void Journal::set_outcome(std::size_t ticket, CallOutcome outcome, HRESULT result) {
    // The journal may have been cleared while the call ran.
    if (ticket < cleared_ || ticket - cleared_ >= entries_.size()) return;
    auto& e = entries_[ticket - cleared_];
    e.outcome = std::move(outcome.text);
    e.photo_change = outcome.photo;
    e.result = result;
}

}  // namespace zn::refhost
