// Reading a photo into the photo field's text against a plain read of the same file into a
// buffer: throughput ratio at 1, 8 and 64 MiB, and how time grows with size.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "import/photo_reader.h"
#include "platform/com/bstr.h"
#include "platform/com/com.h"
#include "platform/text/utf.h"

namespace {

// A reader without a user to show anything to; a failure ends the benchmark.
struct NoUser final : zn::import::PhotoReaderPort {
    void show_busy(bool) override {}
    void report_read_failure(std::u16string_view) override { std::abort(); }
};

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    zn::bench::ScratchDir dir("zn-bench-photo");
    const auto exists = [](std::u16string_view) { return true; };
    NoUser no_user;
    std::printf("photo reader: read_photo (pieces of 5000 bytes, converted in place) against a plain read\n");
    double per_mib_1 = 0;
    double per_mib_64 = 0;
    double ratio_64 = 0;
    for (std::size_t mib : {1, 8, 64}) {
        const auto path = dir.path() / ("photo-" + std::to_string(mib) + ".bin");
        const std::size_t n = mib << 20;
        zn::bench::write_random_file(path, n);
        const std::u16string name = zn::text::from_utf8(path.string());
        const int runs = mib >= 64 ? 5 : 9;

        // The baseline allocates its buffer for each read, as a reader that returns the content
        // must, from the same allocator as the photo value: n bytes in one string.
        const double plain = zn::bench::best_seconds(runs, [&] {
            auto buffer = zn::com::Bstr::allocate((n + 1) / 2);
            std::ifstream in(path, std::ios::binary);
            in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(n));
        });
        std::size_t got = 0;
        const double reader = zn::bench::best_seconds(runs, [&] {
            auto result = zn::import::read_photo(name, exists, no_user);
            got = result.value.size();
        });
        if (got != n) {
            std::printf("read_photo returned %zu characters for %zu bytes\n", got, n);
            return 1;
        }
        const double ratio = plain / reader;
        std::printf(
            "  %2zu MiB: plain %7.2f ms (%6.0f MiB/s), read_photo %7.2f ms (%6.0f MiB/s), throughput ratio %.2f\n", mib,
            plain * 1e3, static_cast<double>(mib) / plain, reader * 1e3, static_cast<double>(mib) / reader, ratio);
        if (mib == 1) per_mib_1 = reader / static_cast<double>(mib);
        if (mib == 64) {
            per_mib_64 = reader / static_cast<double>(mib);
            ratio_64 = ratio;
        }
    }
    zn::bench::report_ratio("read_photo 64 MiB throughput / plain read", ratio_64, 0.5, true);
    // Linear growth: the time per MiB at 64 MiB stays close to the time per MiB at 1 MiB.
    zn::bench::report_ratio("read_photo time per MiB, 64 MiB / 1 MiB", per_mib_64 / per_mib_1, 2.0, false);
    CoUninitialize();
    return 0;
}
