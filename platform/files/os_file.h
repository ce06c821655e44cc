// The operating system's side of file access; only platform/files uses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zn::files::os {

// A file descriptor or a HANDLE.
using NativeFile = std::intptr_t;

// Opens an existing file for reading. Failures raise the runtime's file errors: file not
// found, permission denied (also a file that another program holds), path/file access error
// (a folder, for one), too many files, bad file name (a name holding a zero character).
NativeFile open_for_reading(std::u16string_view path);
void close(NativeFile file) noexcept;

// Up to n bytes from the current position; 0 at the end. A failure is a device I/O error.
std::size_t read(NativeFile file, std::uint8_t* buffer, std::size_t n);
// Up to n bytes from the 0-based offset; fewer only at the end of the file.
std::size_t read_at(NativeFile file, std::int64_t offset, std::uint8_t* buffer, std::size_t n);

// The length in bytes of an open file; -1 when the system cannot tell.
std::int64_t length_of(NativeFile file) noexcept;

// The length in bytes of the named file; file not found when there is none.
std::int64_t length_by_name(std::u16string_view path);

}  // namespace zn::files::os
