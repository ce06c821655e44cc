// The record of every call that the component makes on the reference host's objects, and of
// every object that comes or goes, in the order in which they happened.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com.h"

namespace zn::refhost {

// What a record's Save did to its photo, so that counts need not read the outcome's text.
enum class PhotoChange { None, Stored, Cleared };

// What a member's body hands back for the journal: the outcome as text, and for a record's Save
// its photo change.
struct CallOutcome {
    std::string text;
    PhotoChange photo = PhotoChange::None;
};

struct JournalEntry {
    enum class Kind { Call, Created, Released };

    Kind kind = Kind::Call;
    std::string object;   // the instance, e.g. "SystemInfo#1"
    std::string member;   // Class.Member, e.g. "SystemInfo.IsSystemInstalled"; empty for Created/Released
    std::string args;     // the arguments as text, strings quoted: 4096,-1,-1,0 or "C:\x"
    std::string outcome;  // what the call handed back as text ("True", a quoted string), or "failed 0x80004005"
    HRESULT result = S_OK;
    PhotoChange photo_change = PhotoChange::None;  // set by a record's successful Save

    // A call as Member(args), e.g. SystemInfo.IsSystemInstalled(4096,-1,-1,0);
    // "created SystemInfo#1" or "released SystemInfo#1" for the life of an object.
    std::string text() const;
    // text() followed by " -> outcome" for calls.
    std::string describe() const;
};

class Journal {
public:
    const std::vector<JournalEntry>& entries() const noexcept { return entries_; }

    // text() of every call, in order (creations and releases left out).
    std::vector<std::string> calls() const;
    // Every call of one member (e.g. "SystemInfo.Init"), whatever its arguments.
    std::vector<JournalEntry> calls_to(std::string_view member) const;
    std::size_t count(std::string_view member) const;
    // Whether some entry's text() is exactly text.
    bool contains(std::string_view text) const;
    // Number of Created (or Released) entries for one class, e.g. "SystemInfo".
    std::size_t created(std::string_view cls) const;
    std::size_t released(std::string_view cls) const;
    // One describe() line per entry.
    std::string to_string() const;

    // For the host's objects: add() returns a ticket that set_outcome() takes; a ticket
    // from before clear() no longer names an entry.
    std::size_t add(JournalEntry entry);
    void set_outcome(std::size_t ticket, CallOutcome outcome, HRESULT result);
    void clear() noexcept {
        cleared_ += entries_.size();
        entries_.clear();
    }

private:
    std::vector<JournalEntry> entries_;
    std::size_t cleared_ = 0;  // entries dropped by clear(), so that tickets stay unique
};

}  // namespace zn::refhost
