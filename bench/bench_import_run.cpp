// The import run's own cost per line, against a host whose calls do nothing: lines per second
// for data rows without photo files and with them, and the ratio to reading the same lines alone.
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "import/import_run.h"
#include "import/line_reader.h"
#include "null_host.h"
#include "page/page_layout.h"
#include "page/page_state.h"
#include "page/run_port.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "platform/ui/backend.h"
#include "platform/ui/headless/headless_backend.h"

namespace {

using zn::com::ComPtr;

// Data rows naming a photo that may or may not exist; with line_bytes, one data row of that
// length whose photo path is all the rest (a file that is one huge line).
void write_import_file(const std::filesystem::path& path, int lines, const std::string& photo, std::size_t line_bytes) {
    std::ofstream out(path, std::ios::binary);
    if (line_bytes) {
        const std::string head = "1,Student 1,";
        out << head << std::string(line_bytes - head.size(), 'x');
        return;
    }
    for (int i = 1; i <= lines; ++i) out << i << ",Student " << i << "," << photo << "\r\n";
}

double read_lines_only(const std::u16string& file) {
    return zn::bench::best_seconds(3, [&] {
        zn::files::OpenFile open(1, file, zn::files::Mode::Input);
        zn::import::LineReader reader(1);
        std::u16string line;
        while (!reader.at_end()) reader.read_line(line);
    });
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    zn::ui::headless::HeadlessBackend backend;
    zn::ui::ScopedBackend scope(backend);
    auto controls_set = backend.create_controls(zn::page::import_page_layout());
    auto controls = zn::page::PageControls::bind(*controls_set);

    DWORD cookie = 0;
    auto factory = zn::com::make_object<zn::bench::NullStudentFactory>();
    CoRegisterClassObject(zn::host::CLSID_StudentRecord, factory->unknown(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &cookie);

    zn::bench::ScratchDir dir("zn-bench-run");
    const auto photo = dir.path() / "photo.jpg";
    zn::bench::write_random_file(photo, 1024);

    struct Case {
        const char* name;
        int lines;
        bool photos;
        double target_lines_per_second;
        std::size_t line_bytes = 0;
    };
    const Case cases[] = {{"data rows without photo files", 1'000'000, false, 1'000'000},
                          {"data rows with 1 KiB photo files", 100'000, true, 0},
                          {"one line of 100 MB", 1, false, 0, 100'000'000}};
    std::printf("import run against a host whose calls do nothing\n");
    for (const Case& c : cases) {
        const auto csv = dir.path() / (std::string(c.line_bytes ? "huge" : c.photos ? "with" : "without") + ".csv");
        write_import_file(csv, c.lines, photo.string(), c.line_bytes);
        const std::u16string file = zn::text::from_utf8(csv.string());

        zn::page::PageState state;
        state.file_utilities =
            ComPtr<zn::host::FileUtilities>(zn::com::make_object<zn::bench::NullFileUtilities>(c.photos).get());
        zn::page::RunPort page(state, controls);

        bool ok = false;
        const double run = zn::bench::best_seconds(3, [&] { ok = zn::import::ImportPhotos(page, file, u"Student"); });
        const double read = read_lines_only(file);
        if (!ok || controls.progress_bar.value() != static_cast<float>(c.lines)) {
            std::printf("the run did not go through\n");
            return 1;
        }
        const double per_second = c.lines / run;
        std::printf("  %-34s %9d lines: run %8.1f ms (%10.0f lines/s), reading alone %7.1f ms; run/read %.1f\n", c.name,
                    c.lines, run * 1e3, per_second, read * 1e3, run / read);
        // A huge line costs a few copies of itself, not a pass per piece read.
        if (c.line_bytes) zn::bench::report_ratio("run / reading alone, one line of 100 MB", run / read, 8.0, false);
        if (c.target_lines_per_second > 0)
            zn::bench::report_ratio("run lines/s without photos / 1,000,000", per_second / c.target_lines_per_second,
                                    1.0, true);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
