// A seam for tests that make the file layer fail: a hook run before every open, read and
// length query on the thread, which fails the operation by throwing.
#pragma once

namespace zn::files {

// Read: a line file's sequential read; ReadAt: a binary read at a position (a photo).
enum class FileOperation { Open, Read, ReadAt, Length };

// A plain function and its context, so that the thread's hook needs no destructor.
using FileFaultHook = void (*)(FileOperation operation, void* context);

// Installs the thread's hook (null removes it).
void set_file_fault_hook(FileFaultHook hook, void* context) noexcept;

}  // namespace zn::files
