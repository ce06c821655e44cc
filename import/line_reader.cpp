#include "import/line_reader.h"

#include <cstring>

#include "platform/files/file_errors.h"
#include "platform/files/file_numbers.h"
#include "platform/text/code_page.h"

namespace zn::import {

LineReader::LineReader(int file_number, std::size_t buffer_size)
    : file_number_(file_number), buffer_(buffer_size == 0 ? 1 : buffer_size) {}

bool LineReader::fill() {
    pos_ = 0;
    filled_ = files::read(file_number_, buffer_.data(), buffer_.size());
    return filled_ > 0;
}

bool LineReader::at_end() {
    if (pos_ == filled_ && !fill()) return true;
    if (pending_lf_) {
        pending_lf_ = false;
        if (buffer_[pos_] == '\n') {
            ++pos_;
            if (pos_ == filled_ && !fill()) return true;
        }
    }
    return false;
}

bool LineReader::next_line(bool keep, const std::uint8_t*& begin, const std::uint8_t*& end) {
    if (at_end()) files::raise_file_error(files::kInputPastEndOfFile);
    line_bytes_.clear();
    bool spanned = false;
    for (;;) {
        const std::uint8_t* start = buffer_.data() + pos_;
        const std::uint8_t* stop = buffer_.data() + filled_;
        const auto* cr =
            static_cast<const std::uint8_t*>(std::memchr(start, '\r', static_cast<std::size_t>(stop - start)));
        const std::uint8_t* line_end = cr ? cr : stop;
        // A line within one buffer is converted from the buffer itself; only one that crosses
        // a refill is gathered.
        if (keep && (spanned || !cr)) {
            line_bytes_.append(reinterpret_cast<const char*>(start), static_cast<std::size_t>(line_end - start));
        }
        if (cr) {
            pos_ = static_cast<std::size_t>(cr - buffer_.data()) + 1;
            pending_lf_ = true;
            begin = start;
            end = cr;
            return spanned;
        }
        spanned = true;
        pos_ = filled_;
        if (!fill()) return true;  // the last line, without a line end
    }
}

void LineReader::read_line(std::u16string& line) {
    const std::uint8_t* begin = nullptr;
    const std::uint8_t* end = nullptr;
    if (next_line(true, begin, end)) {
        begin = reinterpret_cast<const std::uint8_t*>(line_bytes_.data());
        end = begin + line_bytes_.size();
    }
    const auto n = static_cast<std::size_t>(end - begin);
    line.resize(n);
    line.resize(text::ansi_to_utf16(begin, n, line.data()));
}

void LineReader::skip_line() {
    const std::uint8_t* begin = nullptr;
    const std::uint8_t* end = nullptr;
    next_line(false, begin, end);
}

}  // namespace zn::import
