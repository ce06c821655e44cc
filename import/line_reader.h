// Reads an import file line by line from a file open for input under a number, with the
// import file's rules: a line ends at CR or CR LF (not part of the line); a lone LF stays in
// the line; a line end at the very end of the file starts no further line; no length limit;
// bytes become characters through the ANSI code page, a byte-order mark included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zn::import {

class LineReader {
public:
    static constexpr std::size_t kDefaultBufferSize = 64 * 1024;

    explicit LineReader(int file_number, std::size_t buffer_size = kDefaultBufferSize);

    // True when nothing is left to read.
    bool at_end();
    // The next line, into line (its old content replaced, its capacity reused). At the end
    // of the file: input past end of file.
    void read_line(std::u16string& line);
    // Reads past the next line without converting it; same rules and errors as read_line.
    void skip_line();

private:
    bool fill();
    // Moves past the next line; its bytes are line_bytes_ when the line crossed a buffer
    // boundary, else [begin, end) of the buffer. Returns whether it used line_bytes_.
    bool next_line(bool keep, const std::uint8_t*& begin, const std::uint8_t*& end);

    int file_number_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0;
    std::size_t filled_ = 0;
    bool pending_lf_ = false;  // the last line ended at a CR; an LF right after it belongs to it
    std::string line_bytes_;   // a line that spans refills
};

}  // namespace zn::import
