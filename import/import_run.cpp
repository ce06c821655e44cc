#include "import/import_run.h"

#include <string>

#include "host/host_objects.h"
#include "import/count_lines.h"
#include "import/host_file_utilities.h"
#include "import/id_value.h"
#include "import/line_kind.h"
#include "import/line_parser.h"
#include "import/line_reader.h"
#include "import/photo_reader.h"
#include "import/record_id.h"
#include "platform/com/variant.h"
#include "platform/files/file_numbers.h"
#include "platform/ui/app.h"

namespace zn::import {
namespace {

using com::ComPtr;

enum class Next { Line, Cancel };

// The host let go of the page while it waited for the user (the page was closed down).
bool page_released(const ImportRunPage& page) {
    return !page.file_utilities;
}

// OK goes on with the next line; Cancel ends the run, as does a page let go of meanwhile.
Next error_prompt(const ImportRunPage& page, std::u16string_view name) {
    std::u16string prompt(kErrorPromptPrefix);
    prompt += name;
    const ui::Answer answer = ui::message_box(prompt, ui::kOkCancel, kErrorPromptTitle);
    return answer == ui::Answer::Cancel || page_released(page) ? Next::Cancel : Next::Line;
}

// The record classes: which one a record type names, and whether the record is closed down
// once more right after its Save (every class but Faculty/Staff).
template <class Record>
struct RecordClass {
    std::u16string_view type;
    const CLSID& clsid;
    bool close_after_save;
};

// Binds a record to the page's session: Init gets a copy of the page's reference and the page
// keeps whatever Init leaves in it.
template <class Record>
void init_with_session(Record& record, ComPtr<host::SessionContext>& session) {
    ComPtr<host::SessionContext> context = session;
    com::check(record.Init(context.addressof()));
    session = std::move(context);
}

// Writes the photo of one data row into its record; photo_exists is what the run found, and
// decides between storing the file and clearing the photo.
template <class Record>
Next write_record(ImportRunPage& page, const RecordClass<Record>& cls, std::u16string_view id_text,
                  std::u16string_view name, std::u16string_view photo_file, bool photo_exists) {
    ComPtr<host::DataObject> data;
    ComPtr<host::FieldSet> fields;
    ComPtr<Record> record = host::create_host_object<Record>(cls.clsid);
    init_with_session(*record.get(), page.session);

    // Only the conversion of the ID and the load are handled: a record that cannot be loaded
    // is the user's to skip or to stop at.
    try {
        const std::int32_t id = to_record_id(id_value(id_text));
        LONG reserved = 0;
        com::check(record->Load(id, &reserved));
    } catch (const com::ComError&) {
        com::check(record->CloseDown());
        record = nullptr;
        return error_prompt(page, name);
    }

    data = record.template as<host::DataObject>();
    com::check(data->Fields(1, fields.put()));
    if (!fields) com::throw_error(com::kObjectNotSet);

    PhotoReadResult photo = read_photo(photo_file, file_exists_with(page.file_utilities));
    // The run's check decides: a file it did not find clears the photo, even one that turned
    // up since; a file that could not be read, or went away after the run found it, leaves the
    // stored photo as it was.
    if (!photo_exists) photo.value.reset();
    const bool keep_stored = photo.failed || (photo_exists && photo.missing);
    if (!keep_stored) {
        com::Variant value(std::move(photo.value));
        com::check(fields->put_Field(host::PHOTO_FIELD_ID, value.get()));
        com::check(record->Save());
        if (cls.close_after_save) com::check(record->CloseDown());
    }
    com::check(record->CloseDown());
    record = nullptr;
    fields = nullptr;
    data = nullptr;
    // The reader's message box lets the host act meanwhile.
    return photo.failed && page_released(page) ? Next::Cancel : Next::Line;
}

const RecordClass<host::FacultyStaffRecord> kFacultyStaff{u"Faculty/Staff", host::CLSID_FacultyStaffRecord, false};
const RecordClass<host::ApplicantRecord> kApplicant{u"Applicant", host::CLSID_ApplicantRecord, true};
const RecordClass<host::StudentRecord> kStudent{u"Student", host::CLSID_StudentRecord, true};
const RecordClass<host::IndividualRecord> kIndividual{u"Individual", host::CLSID_IndividualRecord, true};

// The record of the chosen type; a type that is none of the four writes nothing.
Next write_for_type(ImportRunPage& page, std::u16string_view record_type, std::u16string_view id_text,
                    std::u16string_view name, std::u16string_view photo_file, bool photo_exists) {
    if (record_type == kFacultyStaff.type)
        return write_record(page, kFacultyStaff, id_text, name, photo_file, photo_exists);
    if (record_type == kApplicant.type) return write_record(page, kApplicant, id_text, name, photo_file, photo_exists);
    if (record_type == kStudent.type) return write_record(page, kStudent, id_text, name, photo_file, photo_exists);
    if (record_type == kIndividual.type)
        return write_record(page, kIndividual, id_text, name, photo_file, photo_exists);
    return Next::Line;
}

}  // namespace

bool ImportPhotos(ImportRunPage& page, std::u16string_view file_name, std::u16string_view record_type) {
    bool result = true;
    std::int32_t line_number = 0;

    page.progress_bar.set_min(0);
    const std::int32_t count = CountLines(file_name);
    page.progress_bar.set_max(static_cast<float>(count));
    page.progress_bar.set_value(0);

    files::OpenFile file(kImportFileNumber, file_name, files::Mode::Input);
    LineReader reader(kImportFileNumber);
    std::u16string line;
    std::u16string id_text;
    std::u16string name;
    std::u16string photo_file;
    while (!reader.at_end()) {
        line_number = next_line_count(line_number);
        if (line_number % 10 == 0) {
            page.progress_bar.set_value(static_cast<float>(line_number));
            ui::do_events();
            if (page_released(page)) return false;
        }
        reader.read_line(line);
        ParseOutIDAndFileName(line, remove_quotes_with(page.file_utilities), id_text, name, photo_file);

        const LineKind kind = classify_line(line_number, id_text, name);
        if (kind == LineKind::HeadingRow) continue;
        if (kind == LineKind::InvalidRecord) {
            if (error_prompt(page, name) == Next::Cancel) {
                result = false;
                break;
            }
            continue;
        }
        // Both asked afresh for every data row: the box may change while the run yields.
        const bool photo_exists = file_exists_with(page.file_utilities)(photo_file);
        if (!photo_exists && page.remove_photos_check.value() != 1) continue;
        if (write_for_type(page, record_type, id_text, name, photo_file, photo_exists) == Next::Cancel) return false;
    }
    page.progress_bar.set_value(static_cast<float>(line_number));
    return result;
}

}  // namespace zn::import
