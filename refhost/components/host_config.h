// What a test (or znhost) can tell the reference host: which system modules are installed,
// scripted answers, which Init calls hand back another session, and which members fail.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "host/host_interfaces.h"

namespace zn::refhost {

namespace store {
class RecordStore;
}

// A failure to inject into one member.
struct Failure {
    HRESULT code = E_FAIL;
    std::u16string description;  // set as the error info's description; empty: the code's standard text
    int skip = 0;                // calls that still succeed before the first failure
    int times = -1;              // failures in all; -1: every call after the skipped ones
};

class HostConfig {
public:
    // Members are named Class.Member as in the journal ("SystemInfo.IsSystemInstalled",
    // "FileUtilities.FileExists", "HostApplication.Services", ...). "Class.Create" names the
    // creation of an object through its class factory ("FileUtilities.Create").

    // The record database that the record classes read and write. Without one, the first record
    // object makes an empty one in memory (ReferenceHost::records() fills it).
    std::shared_ptr<store::RecordStore> records;
    // Set when a database file was opened: SystemInfo then answers from its modules table.
    bool modules_from_records = false;

    // SystemInfo.IsSystemInstalled answers from here unless a scripted answer is pending or
    // the modules come from a database (above). Both modules are installed unless a test says
    // otherwise.
    std::set<LONG> installed_modules{host::kModuleHM, host::kModuleHV};
    void install_modules(std::set<LONG> modules) { installed_modules = std::move(modules); }

    // Scripted answers, one per question in order, taken before installed_modules is
    // consulted; lets a test change the answer between questions.
    std::deque<bool> scripted_answers;
    void script_answers(std::initializer_list<bool> answers) { scripted_answers.assign(answers); }

    // Init members ("SystemInfo.Init") that hand back a new session object in place of the
    // one they were given.
    std::set<std::string> replace_context_on;
    void replace_context(std::string init_member) { replace_context_on.insert(std::move(init_member)); }

    // Whether session objects created from now on offer SessionContext (a host whose session
    // lacks it makes OnInit fail with a type mismatch).
    bool session_offers_context = true;

    // TextServices.PrepareText returns this prefix followed by the text as given (empty:
    // the text unchanged), so a test can tell prepared text from raw text.
    std::u16string prepared_text_prefix;

    // Called before each call of a host member, with its name: lets a test change the world
    // between two of the component's calls (a file removed, say).
    std::function<void(const std::string& member)> before_call;

    // Whether the host's objects journal every query for an interface but IUnknown as a call of
    // "Class.QueryInterface", which can then be made to fail (off: queries are no calls).
    bool journal_queries = false;

    // Failure injection.
    void fail(std::string member, HRESULT code, std::u16string description = {}, int skip = 0, int times = -1);
    void clear_failures() { failures_.clear(); }

    // For the host's objects: the failure this call of member must report, if any (counts the call).
    std::optional<Failure> next_failure(const std::string& member);
    // The next answer to IsSystemInstalled(module).
    bool answer_installed(LONG module);

private:
    std::map<std::string, Failure> failures_;
};

}  // namespace zn::refhost
