#include "import/import_run.h"

#include <optional>
#include <string>

#include "host/host_objects.h"
#include "host/host_record.h"
#include "import/count_lines.h"
#include "import/id_value.h"
#include "import/line_kind.h"
#include "import/line_parser.h"
#include "import/line_reader.h"
#include "import/record_id.h"
#include "platform/com/variant.h"
#include "platform/files/file_numbers.h"

namespace zn::import {
namespace {

enum class Next { Line, Cancel };

// The page's FileUtilities, held for one call: a host that lets go of the page inside the call
// must not free the object under it. "Object not set" once the page was let go of.
com::ComPtr<host::FileUtilities> files_of(RunPort& port) {
    com::ComPtr<host::FileUtilities> files(port.file_utilities());
    if (!files) com::throw_error(com::kObjectNotSet);
    return files;
}

bool file_exists(RunPort& port, std::u16string_view path) {
    return host::file_exists(*files_of(port).get(), path);
}

std::u16string remove_quotes(RunPort& port, std::u16string_view text) {
    return host::remove_quotes(*files_of(port).get(), text);
}

// A record in hand when the host let go of the page is still closed: the host's record is not
// the page's. Its failure is not reported, as the run ends without a word then.
Next close_after_release(host::HostRecord& record) {
    try {
        record.close_down();
    } catch (const com::ComError&) {  // NOLINT(bugprone-empty-catch): nobody is left to tell
    }
    return Next::Cancel;
}

// The user's answer decides, unless the host let go of the page while the user looked.
Next error_prompt(RunPort& port, std::u16string_view name) {
    const bool go_on = port.go_on_after_failed_line(name);
    return go_on && port.page_held() ? Next::Line : Next::Cancel;
}

// Writes the photo of one data row into its record; photo_exists is what the run found, and
// decides between storing the file and clearing the photo.
Next write_record(RunPort& port, const host::RecordType& type, std::u16string_view id_text, std::u16string_view name,
                  std::u16string_view photo_file, bool photo_exists) {
    // Init may hand back another session, which the page keeps; a page that the host let go
    // of meanwhile gets nothing written back.
    com::ComPtr<host::SessionContext> session = port.session();
    std::optional<host::HostRecord> record(std::in_place, type, session);
    if (!port.page_held()) return close_after_release(*record);
    port.session() = std::move(session);

    // Only the conversion of the ID and the load are handled: a record that cannot be loaded
    // is the user's to skip or to stop at, once it has been let go of.
    try {
        record->load(to_record_id(id_value(id_text)));
    } catch (const com::ComError&) {
        // A host that let go of the page meanwhile hears nothing of the record's CloseDown either.
        if (!port.page_held()) return close_after_release(*record);
        record->close_down();
        record.reset();
        return error_prompt(port, name);
    }
    if (!port.page_held()) return close_after_release(*record);

    com::ComPtr<host::FieldSet> fields = record->fields();
    if (!port.page_held()) return close_after_release(*record);
    PhotoReadResult photo = read_photo(
        photo_file, [&port](std::u16string_view path) { return file_exists(port, path); }, port);
    // The run's check decides: a file it did not find clears the photo, even one that turned
    // up since; a file that could not be read, or went away after the run found it, leaves the
    // stored photo as it was.
    if (!photo_exists) photo.value.reset();
    const bool keep_stored = photo.failed || (photo_exists && photo.missing);
    if (!keep_stored) {
        com::Variant value(std::move(photo.value));
        com::check(fields->put_Field(host::PHOTO_FIELD_ID, value.get()));
        record->save();
        for (int i = 1; i < type.close_downs_of_saved_record; ++i) record->close_down();
    }
    record->close_down();
    record.reset();
    fields = nullptr;
    // The record is finished even if the host let go of the page during its calls or the
    // reader's report; the run goes no further then.
    return port.page_held() ? Next::Line : Next::Cancel;
}

}  // namespace

bool ImportPhotos(RunPort& port, std::u16string_view file_name, std::u16string_view record_type) {
    bool result = true;
    std::int32_t line_number = 0;

    port.start_progress();
    const std::int32_t count = CountLines(file_name);
    port.size_progress(static_cast<float>(count));

    files::OpenFile file(kImportFileNumber, file_name, files::Mode::Input);
    LineReader reader(kImportFileNumber);
    const RemoveQuotes without_quotes = [&port](std::u16string_view text) { return remove_quotes(port, text); };
    // A type that is none of the four writes nothing.
    const host::RecordType* type = host::find_record_type(record_type);
    std::u16string line;
    std::u16string id_text;
    std::u16string name;
    std::u16string photo_file;
    while (!reader.at_end()) {
        line_number = next_line_count(line_number);
        if (line_number % 10 == 0) {
            port.show_progress(static_cast<float>(line_number));
            if (!port.yield()) return false;
        }
        reader.read_line(line);
        ParseOutIDAndFileName(line, without_quotes, id_text, name, photo_file);
        // The host may let go of the page inside any of its calls: the run stops there quietly.
        if (!port.page_held()) return false;

        const LineKind kind = classify_line(line_number, id_text, name);
        if (kind == LineKind::HeadingRow) continue;
        if (kind == LineKind::InvalidRecord) {
            if (error_prompt(port, name) == Next::Cancel) {
                result = false;
                break;
            }
            continue;
        }
        // Both asked afresh for every data row: the box may change while the run yields.
        const bool photo_exists = file_exists(port, photo_file);
        if (!port.page_held()) return false;
        const bool remove_missing = port.remove_missing_photos();
        if (!photo_exists && !remove_missing) continue;
        if (type && write_record(port, *type, id_text, name, photo_file, photo_exists) == Next::Cancel) return false;
    }
    port.show_progress(static_cast<float>(line_number));
    return result;
}

}  // namespace zn::import
