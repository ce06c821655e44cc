// Any bytes as a whole import through the page: the real run against the reference host over a
// record store in memory, the user's answers and the check box taken from the input. Whatever
// the file holds, the run must not crash, leak host objects, leave a file open, the bar shown or
// the hourglass up, write a photo that is none of the files' whole bytes, or say success other
// than last and after no cancel.
//
// Input: byte 0 picks the record type (bits 0-1), ticks the box at the start (bit 2) and makes
// every yield toggle it (bit 3); byte 1 answers the first eight prompts (bit set: Cancel); the
// rest is the import file, in which @a names a photo file of the input's first bytes, @b an empty
// one, @c a missing one and @d a folder.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "host/record_types.h"
#include "page/import_page.h"
#include "page/page_texts.h"
#include "platform/com/com.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "platform/ui/headless/headless_backend.h"
#include "refhost/components/reference_host.h"
#include "refhost/driver/driver.h"
#include "refhost/store/record_store.h"

namespace {

namespace fs = std::filesystem;
using namespace zn;
using zn::fuzz::fail;

void write_file(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string replace_names(std::string_view text, const fs::path& folder) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '@' && i + 1 < text.size() && text[i + 1] >= 'a' && text[i + 1] <= 'd') {
            const char which = text[++i];
            out += which == 'd' ? (folder / "d").string() + "/" : (folder / std::string(1, which)).string();
        } else {
            out += text[i];
        }
    }
    return out;
}

constexpr int kRecords = 12;  // IDs 0 to 11 of every type, each with the photo "old"

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The host's UI thread is a single-threaded apartment, for the whole process here.
    [[maybe_unused]] static const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (size < 2) return 0;
    const std::uint8_t settings = data[0];
    const std::uint8_t cancels = data[1];
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string photo_a(rest.substr(0, 16));

    const fs::path& folder = fuzz::scratch_path();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder / "d");
    write_file(folder / "a", photo_a);
    write_file(folder / "b", "");
    const fs::path import_file = folder / "import.csv";
    write_file(import_file, replace_names(rest, folder));

    const host::RecordType& type = host::kRecordTypes[settings & 3];
    const std::string type_name = text::to_utf8(type.name);
    {
        refhost::ReferenceHost host;
        for (const host::RecordType& t : host::kRecordTypes)
            for (int id = 0; id < kRecords; ++id) host.records().add({text::to_utf8(t.name), id, "S", "old"});
        ui::headless::HeadlessBackend backend;
        ui::ScopedBackend scope{backend};
        refhost::Driver driver{backend};
        int prompts = 0;
        bool cancelled = false;
        backend.set_message_box_handler([&](const ui::headless::MessageBoxRecord& shown) {
            if (shown.style != ui::kOkCancel) return ui::Answer::Ok;
            const bool cancel = prompts < 8 && (cancels >> prompts & 1);
            ++prompts;
            cancelled = cancelled || cancel;
            return cancel ? ui::Answer::Cancel : ui::Answer::Ok;
        });
        if (settings & 8) driver.on_yield([&] { driver.tick(u"Check1", driver.value(u"Check1") == 0); });

        com::ComPtr<host::SessionContext> session = host.new_session();
        com::ComPtr<IUnknown> page = page::create_import_page();
        auto internal = page.as<page::ImportPageInternal>();
        internal->InitializePage(session);
        driver.choose(u"cboRecordType", type.name);
        driver.tick(u"Check1", (settings & 4) != 0);
        driver.type_over(u"se_ImportFileName", import_file.u16string());
        driver.click(u"Command1");

        if (driver.visible(u"pbarOverall")) fail("the bar was left shown");
        if (!driver.pointer_history().empty() && driver.pointer_history().back() != ui::MousePointer::Default)
            fail("the hourglass was left up");
        for (int n = 1; n <= files::kMaxFileNumber; ++n)
            if (files::is_open(n)) fail("file number " + std::to_string(n) + " was left open");
        const auto& boxes = driver.transcript();
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].prompt != page::message::kImportedPrompt) continue;
            if (i + 1 != boxes.size()) fail("success was not the last word");
            if (cancelled) fail("success after a cancel");
        }
        // Every photo is one file's whole bytes, the old one, or none.
        const std::set<std::optional<std::string>> whole{std::string("old"), photo_a, std::string(), std::nullopt};
        for (const host::RecordType& t : host::kRecordTypes) {
            for (int id = 0; id < kRecords; ++id) {
                const auto photo = host.records().photo(text::to_utf8(t.name), id);
                if (!whole.contains(photo)) fail("a photo that is no file's whole bytes");
                if (&t != &type && photo != "old") fail("a record of another type was written");
            }
        }

        internal->ReleasePage();
        internal = nullptr;
        page = nullptr;
        session = nullptr;
        if (host.live().objects() != 0) fail("host objects left alive:\n" + host.live().to_string());
    }
    return 0;
}
