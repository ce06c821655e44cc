// One import: every line of the import file applied to the host's records of one type.
#pragma once

#include <string_view>

#include "host/host_interfaces.h"
#include "host/record_types.h"
#include "import/photo_reader.h"
#include "platform/com/com_ptr.h"

namespace zn::import {

// What the run needs of the page that runs it: the page's host references and its user
// interface. The run holds no reference of its own across a call that lets the host act.
class RunPort : public PhotoReaderPort {
public:
    // The page's session: every record's Init receives a copy by reference, and the page keeps
    // what Init hands back.
    virtual com::ComPtr<host::SessionContext>& session() = 0;
    // The page's FileUtilities; null once the host has let go of the page.
    virtual host::FileUtilities* file_utilities() = 0;
    // The progress bar: its minimum 0 before the lines are counted, then its maximum with the
    // value at 0, then each new value.
    virtual void start_progress() = 0;
    virtual void size_progress(float max) = 0;
    virtual void show_progress(float value) = 0;
    // Asked for a line that cannot be used or a record that cannot be loaded: true goes on with
    // the next line, false (the user cancelled) ends the run.
    virtual bool go_on_after_failed_line(std::u16string_view name) = 0;
    // Whether a line without an existing photo file clears the record's photo; read afresh for
    // every row, as it may change while the run yields.
    virtual bool remove_missing_photos() = 0;
    // Lets the host and the user act; false when the host let go of the page meanwhile.
    virtual bool yield() = 0;

    // The host still holds the page.
    bool page_held() { return file_utilities() != nullptr; }

protected:
    ~RunPort() = default;
};

// Reads the file line by line and writes the photo of every data row into the record of the
// given type. True unless the user cancelled at an error prompt. The import file is open under
// file number 1 for the run and closed on every way out. A failure of the host outside loading
// a record, or of counting or opening the file, leaves the run as an error (records saved
// before stay saved). If the host lets go of the page while the run waits for it or the user,
// or inside any of its calls, the run finishes the record in hand if its photo was being read
// already and otherwise only closes it, then stops without touching the page's references again
// (nothing is written back into the page), and returns false.
bool ImportPhotos(RunPort& port, std::u16string_view file_name, std::u16string_view record_type);

}  // namespace zn::import
