// A page built on a headless backend, with the reference host serving the host's components.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "page/import_page.h"
#include "page/page_texts.h"
#include "refhost/components/reference_host.h"
#include "refhost/driver/driver.h"

namespace zn::page::testing {

// What TextServices puts before a text it prepared, so that prepared text tells from raw.
inline constexpr std::u16string_view kPrepared = u"[prepared] ";

struct RunCall {
    std::u16string file_name;
    std::u16string record_type;
};

class PageTest : public ::testing::Test {
protected:
    PageTest() {
        host.config().prepared_text_prefix = kPrepared;
        page = create_import_page([this](PageState& state, PageControls& controls, std::u16string_view file,
                                         std::u16string_view type) { return fake_run(state, controls, file, type); });
        internal = page.as<ImportPageInternal>();
    }

    // Sets the page up for a new session with the given modules installed.
    void set_up(std::set<LONG> modules) {
        host.config().install_modules(std::move(modules));
        set_up();
    }
    void set_up() { internal->InitializePage(session); }

    std::u16string instructions() const { return driver.caption(u"Label2"); }
    static std::u16string prepared(std::u16string_view raw) { return std::u16string(kPrepared) + std::u16string(raw); }

    // What the import run sees and answers; the default run records its call and succeeds.
    std::vector<RunCall> runs;
    std::function<bool(PageState&, PageControls&)> on_run;
    bool fake_run(PageState& state, PageControls& controls, std::u16string_view file, std::u16string_view type) {
        runs.push_back({std::u16string(file), std::u16string(type)});
        return on_run ? on_run(state, controls) : true;
    }

    refhost::ReferenceHost host;
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend scope{backend};
    refhost::Driver driver{backend};
    com::ComPtr<host::SessionContext> session = host.new_session();
    com::ComPtr<IUnknown> page;
    com::ComPtr<ImportPageInternal> internal;
};

}  // namespace zn::page::testing
