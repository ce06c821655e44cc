// The reference host: the host's components that the plug-in calls, registered by CLSID in
// this process for as long as a ReferenceHost lives. For tests and for znhost.
//
//   refhost::ReferenceHost host;                       // registers the host's classes
//   host.config().install_modules({host::kModuleHM});  // what SystemInfo will answer
//   host.config().fail("FileUtilities.FileExists", E_FAIL, u"disk gone");
//   auto app = host.application();                     // what the host hands to OnInit
//   ... drive the plug-in or the page ...
//   host.journal().count("SystemInfo.IsSystemInstalled");       // 6
//   host.journal().contains("SystemInfo.IsSystemInstalled(4096,-1,-1,0)");
//   host.live().objects();                             // 0 once every reference is released
//
// Records: host.open_database(path) uses a record database file (see refhost/store/record_store.h),
// whose modules table SystemInfo then answers from; without one the record classes use an empty
// database in memory that host.records() fills:
//   host.records().add({"Student", 12, "Ann Lee", std::nullopt});
//   host.config().fail("StudentRecord.Save", E_FAIL, u"disk full");
//
// Classes served: SystemInfo, FileUtilities, TextServices and the four record classes
// (FacultyStaffRecord, ApplicantRecord, StudentRecord, IndividualRecord, each also a
// DataObject whose Fields hands out a FieldSet) by their CLSIDs; the application
// object, its service provider and session objects are made by the host itself. The journal
// names calls Class.Member(args) and objects Class#n; see journal.h, host_config.h and
// live_counts.h. The thread's shared TextServices (one per thread, never released) journals into
// whichever ReferenceHost is alive and is left out of the live totals.
//
// One ReferenceHost at a time per process; it must live on the thread (apartment) that uses it,
// after CoInitializeEx. Objects that outlive it keep working but are no longer creatable.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/host_interfaces.h"
#include "platform/com/com_ptr.h"
#include "refhost/components/class_factory.h"
#include "refhost/components/host_config.h"
#include "refhost/components/journal.h"
#include "refhost/components/live_counts.h"

namespace zn::refhost {

class HostState;
namespace store {
class RecordStore;
}

class ReferenceHost {
public:
    // Registers the host's class objects. Throws ComError if the runtime refuses, and
    // std::logic_error if another ReferenceHost is alive.
    ReferenceHost();
    // Revokes the class objects.
    ~ReferenceHost();
    ReferenceHost(const ReferenceHost&) = delete;
    ReferenceHost& operator=(const ReferenceHost&) = delete;

    HostConfig& config();

    // Opens an existing record database: record objects created from now on read and write it,
    // and SystemInfo answers from its modules table. Throws store::StoreError when the file is
    // missing or is not a record database.
    void open_database(const std::filesystem::path& path);
    // The record database in use: the one opened, or else one in memory, made on first use.
    store::RecordStore& records();
    const Journal& journal() const;
    void clear_journal();

    // A new application object with its own service provider and session ("Session#n"); the
    // same provider and session on every call of Services and Session.
    com::ComPtr<host::HostApplication> application();
    // A new session object by itself, for code that takes a SessionContext directly.
    com::ComPtr<host::SessionContext> new_session();

    // The host's objects alive now, with the references held on them.
    LiveCounts live() const;
    // "Session#1" for one of this host's live objects, "Nothing" for null, "object" otherwise.
    std::string name_of(IUnknown* object) const;

private:
    std::shared_ptr<HostState> state_;
    std::vector<ClassRegistration> registrations_;
};

}  // namespace zn::refhost
