#include "refhost/znhost/hosted_import.h"

#include <algorithm>

#include "host/plugin_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/text/utf.h"
#include "refhost/container/document_container.h"
#include "refhost/driver/driver.h"
#include "refhost/znhost/plugin_client.h"
#include "refhost/znhost/progress_display.h"

namespace zn::refhost {
namespace {

// A step that could not be taken; the message says which and why.
struct StepFailed {
    std::string message;
};

template <class F>
void step(const std::string& name, F&& body) {
    try {
        body();
    } catch (const com::ComError& e) {
        throw StepFailed{name + ": " + text::to_utf8(e.description())};
    } catch (const DriverError& e) {
        throw StepFailed{name + ": " + e.what()};
    }
}

std::string joined(const std::vector<std::u16string>& items) {
    std::string r;
    for (const auto& i : items) r += (r.empty() ? "" : ", ") + text::to_utf8(i);
    return r.empty() ? "none" : r;
}

ImportEnd end_of(const std::vector<ui::headless::MessageBoxRecord>& boxes) {
    const auto has = [&](auto pred) { return std::any_of(boxes.begin(), boxes.end(), pred); };
    if (has([](const auto& b) { return b.prompt == kSuccessPrompt; })) return ImportEnd::Imported;
    if (has([](const auto& b) { return offers_cancel(b.style) && b.answer == ui::Answer::Cancel; }))
        return ImportEnd::Cancelled;
    return ImportEnd::Other;
}

// Drives the page from the plug-in's creation to the end of Process.
void open_and_import(ReferenceHost& host, Driver& driver, const ImportRequest& request, ProgressDisplay* progress,
                     SaveCounts& saves, com::ComPtr<host::IQWHostedPlugin>& plugin, com::ComPtr<IDispatch>& page) {
    step("create the plug-in " + text::to_utf8(kPluginProgId), [&] { plugin = create_plugin(); });
    step("OnInit", [&] { com::check(plugin->OnInit(host.application().get())); });
    step("open the page", [&] {
        com::Bstr url;
        com::check(plugin->get_URL(url.receive()));
        page = open_document(url.view());
    });
    step("OnLoad", [&] { com::check(plugin->OnLoad(page.get())); });

    std::vector<std::u16string> offered;
    step("read the record types", [&] { offered = driver.entries(u"cboRecordType"); });
    if (std::find(offered.begin(), offered.end(), request.record_type) == offered.end())
        throw StepFailed{"choose the record type: the page does not offer " + text::to_utf8(request.record_type) +
                         " (it offers: " + joined(offered) + ")"};
    step("choose the record type", [&] { driver.choose(u"cboRecordType", request.record_type); });
    step("type the import file", [&] { driver.type(u"se_ImportFileName", request.import_file); });
    if (request.remove_missing) step("tick the check box", [&] { driver.tick(u"Check1", true); });

    bool process_enabled = false;
    step("find Process", [&] { process_enabled = driver.enabled(u"Command1", 0); });
    if (!process_enabled)
        throw StepFailed{"click Process: Process is disabled; the page found no import file " +
                         text::to_utf8(request.import_file)};
    ui::headless::HeadlessProgressBar* bar = nullptr;
    if (progress)
        step("find the progress bar",
             [&] { bar = &driver.control<ui::headless::HeadlessProgressBar>(u"pbarOverall"); });
    driver.backend().set_yield_hook([&host, &saves, bar, progress] {
        saves += count_saves(host.journal());
        host.clear_journal();
        if (progress) progress->update(bar->value(), bar->max());
    });
    step("click Process", [&] { driver.click(u"Command1", 0); });
    driver.backend().set_yield_hook({});
    if (progress) progress->clear();
}

}  // namespace

ImportOutcome host_import(ReferenceHost& host, const ImportRequest& request, MessageBoxAnswers& answers) {
    // The page's controls live in this backend, made first so that it outlives the page.
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend use_backend(backend);
    Driver driver(backend);
    ProgressDisplay progress;
    ProgressDisplay* shown_progress = request.show_progress ? &progress : nullptr;
    backend.set_message_box_handler(
        [&](const ui::headless::MessageBoxRecord& shown) { return answers.answer(shown, shown_progress); });

    ImportOutcome outcome;
    com::ComPtr<host::IQWHostedPlugin> plugin;
    com::ComPtr<IDispatch> page;
    try {
        open_and_import(host, driver, request, shown_progress, outcome.saves, plugin, page);
    } catch (const StepFailed& f) {
        backend.set_yield_hook({});
        progress.clear();
        outcome.problems.push_back(f.message);
    }

    // Closing down as a host does, whatever happened before.
    if (plugin) {
        try {
            VARIANT_BOOL cancel = VARIANT_FALSE;
            step("OnQueryUnload", [&] { com::check(plugin->OnQueryUnload(&cancel, VARIANT_TRUE)); });
            step("OnClosedown", [&] { com::check(plugin->OnClosedown()); });
        } catch (const StepFailed& f) {
            outcome.problems.push_back(f.message);
        }
    }
    page = nullptr;
    plugin = nullptr;

    outcome.saves += count_saves(host.journal());
    outcome.boxes = backend.transcript();
    outcome.end = end_of(outcome.boxes);
    return outcome;
}

SaveCounts& operator+=(SaveCounts& a, const SaveCounts& b) {
    a.saved += b.saved;
    a.photos_set += b.photos_set;
    a.photos_cleared += b.photos_cleared;
    a.failed += b.failed;
    a.not_loaded += b.not_loaded;
    return a;
}

SaveCounts count_saves(const Journal& journal) {
    SaveCounts counts;
    for (const JournalEntry& e : journal.entries()) {
        if (e.kind != JournalEntry::Kind::Call) continue;
        if (e.member.ends_with("Record.Load") && FAILED(e.result)) ++counts.not_loaded;
        if (!e.member.ends_with("Record.Save")) continue;
        if (FAILED(e.result)) {
            ++counts.failed;
            continue;
        }
        ++counts.saved;
        if (e.photo_change == PhotoChange::Cleared) ++counts.photos_cleared;
        if (e.photo_change == PhotoChange::Stored) ++counts.photos_set;
    }
    return counts;
}

}  // namespace zn::refhost
