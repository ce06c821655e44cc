// Reading a photo file into the text that a record's photo field holds: one character per
// byte through the ANSI code page, in pieces of 5000 bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "platform/com/bstr.h"

namespace zn::import {

inline constexpr std::size_t kPhotoPieceSize = 5000;

// Whether a path names an existing file; on the page this is the host's FileExists. It may
// throw; that counts as a failure of the read.
using FileExistsCheck = std::function<bool(std::u16string_view)>;

// What the reader shows the user, through whoever runs it.
class PhotoReaderPort {
public:
    // The busy pointer while a photo is read (true), the default pointer after (false).
    virtual void show_busy(bool busy) = 0;
    // A failure of the read, in the words that describe it.
    virtual void report_read_failure(std::u16string_view description) = 0;

protected:
    ~PhotoReaderPort() = default;
};

struct PhotoReadResult {
    com::Bstr value;       // the photo; empty for a missing or empty file and after a failure
    bool failed = false;   // a failure was reported to the user: the value is not the file's content
    bool missing = false;  // there was no file: the empty value is no file's content either
};

// Busy while it works. A missing file is the empty value without a report. A failure (the
// existence check, a file that cannot be opened or read, a file of 2 GiB or more, memory) is
// reported once with its description and gives the empty value with failed set. The file is
// closed on every way out.
PhotoReadResult read_photo(std::u16string_view file_name, const FileExistsCheck& file_exists, PhotoReaderPort& port);

}  // namespace zn::import
