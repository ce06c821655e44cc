// The lifecycle that the host drives, end to end: create the plug-in through the registry,
// read its header texts, OnInit, open the page through the document container, OnLoad, show
// the page, OnQueryUnload, OnClosedown, release; then the host's record of what was called and
// whether every reference was given back.
#include <map>
#include <string>

#include "host/plugin_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/text/utf.h"
#include "refhost/components/reference_host.h"
#include "refhost/container/document_container.h"
#include "refhost/driver/driver.h"
#include "refhost/znhost/commands.h"
#include "refhost/znhost/console.h"
#include "refhost/znhost/plugin_client.h"

namespace zn::refhost {
namespace {

// A failure of one step, named for the report.
struct StepFailure {
    std::string step;
    com::ComError error;
};

template <class F>
void step(std::string name, F&& body) {
    try {
        body();
    } catch (const com::ComError& e) {
        throw StepFailure{std::move(name), e};
    }
}

std::string yes_no(bool b) {
    return b ? "enabled" : "disabled";
}

std::u16string joined(const std::vector<std::u16string>& items) {
    std::u16string r;
    for (const auto& i : items) r += (r.empty() ? u"" : u", ") + i;
    return r.empty() ? u"(none)" : r;
}

template <class Getter>
std::u16string read_text(Getter get) {
    com::Bstr value;
    com::check(get(value.receive()));
    return value.str();
}

void print_header_texts(host::IQWHeaderInfo& info) {
    console::line(u"  Caption:     " + read_text([&](BSTR* v) { return info.get_Caption(v); }));
    console::line(u"  Name:        " + read_text([&](BSTR* v) { return info.get_Name(v); }));
    console::line(u"  Description: " + read_text([&](BSTR* v) { return info.get_Description(v); }));
    console::line(u"  Image:       \"" + read_text([&](BSTR* v) { return info.get_Image(v); }) + u"\"");
    console::line(u"  Group:       \"" + read_text([&](BSTR* v) { return info.get_Group(v); }) + u"\"");
}

void print_page(const Driver& page) {
    try {
        console::line(u"  Record types:  " + joined(page.entries(u"cboRecordType")));
        const std::u16string chosen = page.text(u"cboRecordType");
        console::line(u"  Chosen type:   " + (chosen.empty() ? std::u16string(u"(none)") : chosen));
        console::line(u"  Instructions:  " + page.caption(u"Label2"));
        console::line("  Record type list " + yes_no(page.enabled(u"cboRecordType")) + ", file field " +
                      yes_no(page.enabled(u"se_ImportFileName")) + ", check box " + yes_no(page.enabled(u"Check1", 0)) +
                      ", Process " + yes_no(page.enabled(u"Command1", 0)) + ", progress bar " +
                      (page.visible(u"pbarOverall") ? "shown" : "hidden"));
    } catch (const DriverError& e) {
        console::line(std::string("  (the page's controls cannot be read: ") + e.what() + ")");
    }
}

void print_journal_summary(const Journal& journal) {
    std::map<std::string, int> per_member;
    for (const auto& e : journal.entries())
        if (e.kind == JournalEntry::Kind::Call) ++per_member[e.member];
    for (const auto& [member, n] : per_member) console::line("  " + member + " x" + std::to_string(n));
}

// Long texts shortened in the middle, for the console.
std::string shortened(std::string line, std::size_t width = 60) {
    if (line.size() <= width) return line;
    std::size_t head = width / 2;
    while (head > 0 && (static_cast<unsigned char>(line[head]) & 0xC0) == 0x80) --head;  // whole characters
    std::size_t tail = line.size() - width / 2;
    while (tail < line.size() && (static_cast<unsigned char>(line[tail]) & 0xC0) == 0x80) ++tail;
    return line.substr(0, head) + " ... " + line.substr(tail);
}

bool parse_modules(std::string_view which, HostConfig& config) {
    if (which == "all")
        config.install_modules({host::kModuleHM, host::kModuleHV});
    else if (which == "HM")
        config.install_modules({host::kModuleHM});
    else if (which == "HV")
        config.install_modules({host::kModuleHV});
    else if (which == "none")
        config.install_modules({});
    else
        return false;
    return true;
}

int drive(ReferenceHost& host, Driver& page_driver) {
    com::ComPtr<host::IQWHostedPlugin> plugin;
    step("create the plug-in by its ProgID", [&] {
        CLSID clsid{};
        plugin = create_plugin(&clsid);
        console::line("Created " + text::to_utf8(kPluginProgId) + " " + com::format_guid_utf8(clsid));
    });
    step("read the header texts", [&] {
        console::line("Header texts:");
        const auto info = plugin.as<host::IQWHeaderInfo>();
        print_header_texts(*info.get());
    });
    step("OnInit", [&] {
        const auto app = host.application();
        com::check(plugin->OnInit(app.get()));
        console::line("OnInit done");
    });
    std::u16string url;
    step("read URL and ProgID", [&] {
        url = read_text([&](BSTR* v) { return plugin->get_URL(v); });
        console::line(u"URL:    " + url);
        console::line(u"ProgID: " + read_text([&](BSTR* v) { return plugin->get_ProgID(v); }));
    });
    com::ComPtr<IDispatch> page;
    step("open the page's document", [&] {
        page = open_document(url);
        console::line("Opened the document; the page is created");
    });
    step("OnLoad", [&] {
        com::check(plugin->OnLoad(page.get()));
        console::line("OnLoad done. The page:");
    });
    print_page(page_driver);
    step("read ProgID",
         [&] { console::line(u"ProgID: " + read_text([&](BSTR* v) { return plugin->get_ProgID(v); })); });
    step("OnQueryUnload", [&] {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        com::check(plugin->OnQueryUnload(&cancel, VARIANT_TRUE));
        console::line(std::string("OnQueryUnload: cancel = ") + (cancel ? "True" : "False"));
    });
    step("OnClosedown", [&] {
        com::check(plugin->OnClosedown());
        console::line("OnClosedown done");
    });
    page = nullptr;
    plugin = nullptr;
    console::line("Released the page and the plug-in");
    return kExitOk;
}

}  // namespace

int run_lifecycle(std::span<const std::string_view> args) {
    std::string_view modules = "all";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--modules" && i + 1 < args.size()) {
            modules = args[++i];
        } else {
            console::error("unknown argument " + std::string(args[i]) + " (see znhost --help)");
            return kExitUsage;
        }
    }

    // The page's controls live in this program's headless backend, declared first so that it
    // outlives the page.
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend use_backend(backend);
    Driver page_driver(backend);

    ReferenceHost host;
    if (!parse_modules(modules, host.config())) {
        console::error("--modules takes all, HM, HV or none");
        return kExitUsage;
    }
    console::line("Host system modules installed: " + std::string(modules));

    int rc = kExitOk;
    try {
        rc = drive(host, page_driver);
    } catch (const StepFailure& f) {
        console::failure(f.step + " failed", f.error);
        rc = kExitFailure;
    }

    console::line("Host calls:");
    print_journal_summary(host.journal());
    console::line("Journal:");
    for (JournalEntry e : host.journal().entries()) {
        e.args = shortened(e.args);
        e.outcome = shortened(e.outcome);
        console::line("  " + e.describe());
    }

    const LiveCounts live = host.live();
    if (live.objects() == 0) {
        console::line("Every host object was released");
    } else {
        console::line("Host objects still alive: " + live.to_string());
        rc = kExitFailure;
    }
    if (const ClassCount shared = live.of(kSharedClass); shared.objects > 0)
        console::line("The shared TextServices is kept, as the host keeps it; references held on it: " +
                      std::to_string(shared.references));
    return rc;
}

}  // namespace zn::refhost
