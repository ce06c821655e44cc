#include "import/photo_reader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "platform/com/com_error.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_numbers.h"
#include "platform/text/code_page.h"

namespace zn::import {
namespace {

constexpr std::int64_t kMaxPhotoLength = std::numeric_limits<std::int32_t>::max();

class Busy {
public:
    explicit Busy(PhotoReaderPort& port) : port_(port) { port_.show_busy(true); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    ~Busy() {
        try {
            port_.show_busy(false);
        } catch (...) {
            // The pointer is cosmetic; the result matters more.
        }
    }

private:
    PhotoReaderPort& port_;
};

com::Bstr read_existing(std::u16string_view file_name, const FileExistsCheck& file_exists, bool& missing) {
    missing = !file_exists(file_name);
    if (missing) return {};
    const std::int64_t length = files::file_length(file_name);
    if (length > kMaxPhotoLength) {
        throw com::ComError(com::kOverflow, u"The photo file " + std::u16string(file_name) +
                                                u" is 2 GB or larger, too large to import.");
    }
    files::OpenFile file(file_name, files::Mode::Binary);
    if (length <= 0) return {};

    // The length is known, so the value is allocated once and each piece converted into place.
    const auto n = static_cast<std::size_t>(length);
    com::Bstr value = com::Bstr::allocate(n);
    // Pieces are fetched from the file a run of them at a time (about a megabyte, which still
    // stays in the processor's cache): one system call per piece would cost more than
    // converting it. A small photo gets a buffer of its own size, not filled beforehand.
    constexpr std::size_t kPiecesPerRead = 208;
    const auto staging = std::make_unique_for_overwrite<std::uint8_t[]>(std::min(n, kPhotoPieceSize * kPiecesPerRead));
    std::size_t written = 0;
    for (std::int64_t p = 1; p <= length;) {
        const auto left = static_cast<std::size_t>(length - p + 1);
        const std::size_t run = std::min(left, kPhotoPieceSize * kPiecesPerRead);
        // A file that shrinks while it is read would otherwise leave a gap in the photo.
        if (files::read_at(file.number(), p, staging.get(), run) != run) {
            files::raise_file_error(files::kInputPastEndOfFile);
        }
        // Each piece is converted by itself: on a code page with two-byte characters, one split
        // between pieces is not joined again (photos need a single-byte code page anyway).
        for (std::size_t at = 0; at < run; at += kPhotoPieceSize) {
            const std::size_t size = std::min(kPhotoPieceSize, run - at);
            written +=
                text::ansi_to_utf16(staging.get() + at, size, reinterpret_cast<char16_t*>(value.data()) + written);
        }
        p += static_cast<std::int64_t>(run);
    }
    // Only a code page with two-byte characters gives fewer characters than bytes.
    if (written != n) return com::Bstr(value.view().substr(0, written));
    return value;
}

}  // namespace

PhotoReadResult read_photo(std::u16string_view file_name, const FileExistsCheck& file_exists, PhotoReaderPort& port) {
    Busy busy(port);
    PhotoReadResult result;
    try {
        result.value = read_existing(file_name, file_exists, result.missing);
    } catch (...) {
        // The file is closed by now; what was read is dropped.
        result.value.reset();
        result.failed = true;
        port.report_read_failure(com::describe_current_exception().description);
    }
    return result;
}

}  // namespace zn::import
