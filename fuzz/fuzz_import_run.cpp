// Any bytes as a whole import through the page: the real run against the reference host over a
// record store in memory, the user's answers and the check box taken from the input. Whatever
// the file holds, the run must not crash, leak host objects, leave a file open, the bar shown or
// the hourglass up, write a photo that is none of the files' whole bytes, or say success other
// than last and after no cancel. And it must do what a model of the rules expects: from the
// input alone, each line's outcome (stored, cleared, kept, prompted, the reader's report), the
// boxes in order and the store after them; success shown exactly when the run was neither
// cancelled nor ended by an error (an error the model does not foresee may end it, as the last
// box, with the store as the model had it at some line since the last box it foresaw).
//
// Input: byte 0 picks the record type (bits 0-1), ticks the box at the start (bit 2) and makes
// every yield toggle it (bit 3); byte 1 answers the first eight prompts (bit set: Cancel); the
// rest is the import file, in which @a names a photo file of the input's first bytes, @b an empty
// one, @c a missing one and @d a folder.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/record_types.h"
#include "import/id_value.h"
#include "import/line_kind.h"
#include "import/line_parser.h"
#include "import/line_reader.h"
#include "import/record_id.h"
#include "page/import_page.h"
#include "page/page_texts.h"
#include "platform/com/com.h"
#include "platform/files/file_numbers.h"
#include "platform/text/utf.h"
#include "platform/ui/headless/headless_backend.h"
#include "refhost/components/path_rules.h"
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

using Store = std::map<int, std::optional<std::string>>;  // the chosen type's photos by ID

// A box the model expects: a line's error prompt (OK and Cancel) or the photo reader's report.
struct ExpectedBox {
    std::u16string prompt;  // empty: the reader's report, whatever it says
    bool prompt_box = false;
};

// What the rules make of the import file, line by line: the boxes, the answers given to the
// prompts, and the store after each line (first entry: before any).
struct Model {
    std::vector<ExpectedBox> boxes;
    std::vector<std::size_t> boxes_before_line;  // boxes expected before line i (i from 0)
    std::vector<Store> store_after;              // store_after[i]: after i lines
    bool cancelled = false;
};

std::optional<std::string> file_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Model model_of(const fs::path& import_file, std::uint8_t settings, std::uint8_t cancels) {
    Model m;
    Store store;
    for (int id = 0; id < kRecords; ++id) store[id] = "old";
    m.store_after.push_back(store);
    bool ticked = (settings & 4) != 0;
    int prompts = 0;
    const auto prompt = [&](std::u16string_view name) {
        m.boxes.push_back({std::u16string(zn::page::message::kLineErrorPrefix) + std::u16string(name), true});
        const bool cancel = prompts < 8 && (cancels >> prompts & 1);
        ++prompts;
        return cancel;
    };
    const auto without_quotes = [](std::u16string_view text) {
        std::u16string out;
        for (const char16_t c : text)
            if (c != u'"') out += c;
        return out;
    };
    // The file's lines as the run reads them (the reader is tested on its own).
    std::vector<std::u16string> lines;
    try {
        files::OpenFile file(2, import_file.u16string(), files::Mode::Input);
        import::LineReader reader(2);
        std::u16string line;
        while (!reader.at_end()) {
            reader.read_line(line);
            lines.push_back(line);
        }
    } catch (const com::ComError&) {
        return m;  // an import file the run cannot read ends it with an error
    }
    std::int32_t number = 0;
    for (const std::u16string& line : lines) {
        m.boxes_before_line.push_back(m.boxes.size());
        ++number;
        if (number % 10 == 0 && (settings & 8)) ticked = !ticked;  // the yield toggles the box
        std::u16string id, name, photo;
        import::ParseOutIDAndFileName(line, without_quotes, id, name, photo);
        const import::LineKind kind = import::classify_line(number, id, name);
        if (kind == import::LineKind::InvalidRecord && prompt(name)) {
            m.cancelled = true;
            m.store_after.push_back(store);
            break;
        }
        if (kind == import::LineKind::DataRow) {
            const bool exists = refhost::path_exists(photo);
            if (exists || ticked) {
                std::optional<int> loaded;
                try {
                    const std::int32_t record = import::to_record_id(import::id_value(id));
                    if (record >= 0 && record < kRecords) loaded = record;
                } catch (const com::ComError&) {
                }
                if (!loaded) {
                    if (prompt(name)) {
                        m.cancelled = true;
                        m.store_after.push_back(store);
                        break;
                    }
                } else if (!exists) {
                    store[*loaded] = std::nullopt;  // cleared
                } else {
                    const fs::path path = refhost::to_file_system_path(photo);
                    std::error_code error;
                    const auto bytes = fs::is_regular_file(path, error) ? file_bytes(path) : std::nullopt;
                    if (bytes) {
                        store[*loaded] = *bytes;  // stored (a file of no bytes empties it)
                    } else {
                        m.boxes.push_back({u"", false});  // the reader's report; the photo is kept
                    }
                }
            }
        }
        m.store_after.push_back(store);
    }
    return m;
}

// A photo as the model and the store compare it: none and the empty text are both no photo.
std::optional<std::string> normal(const std::optional<std::string>& photo) {
    return photo && !photo->empty() ? photo : std::nullopt;
}

}  // namespace

namespace {

// The run against the model: the boxes it foresaw, in order, then success exactly when not
// cancelled, or an error the model did not foresee as the last box; the store as the model had it.
void check_against_model(const Model& m, const std::vector<ui::headless::MessageBoxRecord>& boxes,
                         refhost::ReferenceHost& host, const host::RecordType& type) {
    std::size_t seen = 0;
    for (; seen < boxes.size() && seen < m.boxes.size(); ++seen) {
        const ExpectedBox& expected = m.boxes[seen];
        const auto& box = boxes[seen];
        if (expected.prompt_box) {
            if (box.style != ui::kOkCancel || box.prompt != expected.prompt) break;
        } else if (box.style != ui::kOkOnly || box.prompt == page::message::kImportedPrompt) {
            break;
        }
    }
    const bool success = !boxes.empty() && boxes.back().prompt == page::message::kImportedPrompt;
    const std::size_t lines = m.store_after.size() - 1;
    // The stores the run may have left: the model's after its last line, or, for a run that an
    // unforeseen error ended, after any line it can have reached having shown the boxes it did.
    std::vector<std::size_t> candidates{lines};
    if (seen == m.boxes.size() && success) {
        if (boxes.size() != seen + 1) fail("boxes the model did not foresee before success");
        if (m.cancelled) fail("success after the model's cancel");
    } else if (seen == m.boxes.size() && !success && boxes.size() == seen) {
        if (!m.cancelled) fail("no success, no cancel, no error: the run said nothing at its end");
    } else {
        if (boxes.size() != seen + 1) fail("boxes other than the model's, before the last");
        if (boxes.back().style != ui::kOkOnly || success) fail("the run's last word is neither success nor an error");
        if (m.cancelled && seen == m.boxes.size()) fail("an error after the model's cancel");
        const auto through = [&](std::size_t done) {
            return done < lines ? m.boxes_before_line[done] : m.boxes.size();
        };
        candidates.clear();
        for (std::size_t done = 0; done <= lines; ++done)
            if (through(done) <= seen && (done == lines || through(done + 1) >= seen)) {
                candidates.push_back(done);
                if (done < lines) candidates.push_back(done + 1);
            }
    }
    Store actual;
    for (int id = 0; id < kRecords; ++id) actual[id] = normal(host.records().photo(text::to_utf8(type.name), id));
    for (const std::size_t done : candidates) {
        Store expected;
        for (const auto& [id, photo] : m.store_after[done]) expected[id] = normal(photo);
        if (expected == actual) return;
    }
    fail("the store is not the model's after any line the run can have reached");
}

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
        check_against_model(model_of(import_file, settings, cancels), boxes, host, type);
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
