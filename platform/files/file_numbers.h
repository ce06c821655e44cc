// Files opened under numbers, as the classic runtime keeps them: a table per thread, numbers
// 1 to 255. Errors are the runtime's (com::ComError with its codes and texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zn::files {

inline constexpr int kMaxFileNumber = 255;

enum class Mode {
    Input,   // sequential reading from the start
    Binary,  // reads at a byte position
};

// The lowest number that is not open; too many files when all are.
int free_file();

// Opens an existing file. File already open when the number is in use; file not found,
// permission denied and the other open failures as the system reports them.
void open(int number, std::u16string_view path, Mode mode);
// Closes the number if it is open; nothing otherwise.
void close(int number) noexcept;
bool is_open(int number) noexcept;

// Input: the next bytes of the file, up to n; 0 at its end. A file that became shorter than it
// was when opened, before all of it was read, is input past end of file when its end is reached.
std::size_t read(int number, std::uint8_t* buffer, std::size_t n);
// Binary: up to n bytes from the 1-based position; fewer only at the end of the file.
std::size_t read_at(int number, std::int64_t position, std::uint8_t* buffer, std::size_t n);

// The length in bytes of the named file (64-bit: the caller decides what is too large).
std::int64_t file_length(std::u16string_view path);

// A file open under a number for the guard's lifetime: every way out of the scope closes
// it. The guard closes only the file it opened, never a later one under the same number.
class OpenFile {
public:
    OpenFile(int number, std::u16string_view path, Mode mode);
    // Under the lowest free number.
    OpenFile(std::u16string_view path, Mode mode);
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() { close(); }

    int number() const noexcept { return number_; }
    void close() noexcept;

private:
    int number_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace zn::files
