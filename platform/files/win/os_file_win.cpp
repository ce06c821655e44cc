// File access through Win32 handles; names go to the system as UTF-16.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/files/file_errors.h"
#include "platform/files/os_file.h"

namespace zn::files::os {
namespace {

constexpr std::size_t kMaxRead = std::size_t{1} << 30;

std::wstring system_name(std::u16string_view path) {
    // A zero character would cut the name short and name another file.
    if (path.find(u'\0') != std::u16string_view::npos) raise_file_error(com::kBadFileNameOrNumber);
    return std::wstring(path.begin(), path.end());
}

[[noreturn]] void raise_open_error(DWORD error, const std::wstring& name) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            raise_file_error(com::kFileNotFound);
        case ERROR_ACCESS_DENIED: {
            // A folder is refused as access denied; the runtime calls that a path error.
            const DWORD attributes = GetFileAttributesW(name.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                raise_file_error(kPathFileAccessError);
            }
            raise_file_error(com::kPermissionDenied);
        }
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            raise_file_error(com::kPermissionDenied);
        case ERROR_TOO_MANY_OPEN_FILES:
            raise_file_error(kTooManyFiles);
        case ERROR_FILENAME_EXCED_RANGE:
            raise_file_error(com::kBadFileNameOrNumber);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            raise_file_error(com::kOutOfMemory);
        default:
            raise_file_error(kPathFileAccessError);
    }
}

HANDLE handle_of(NativeFile file) {
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

NativeFile open_for_reading(std::u16string_view path) {
    const std::wstring name = system_name(path);
    // Others may go on reading and writing the file while it is open here.
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) raise_open_error(GetLastError(), name);
    return reinterpret_cast<NativeFile>(h);
}

void close(NativeFile file) noexcept {
    CloseHandle(handle_of(file));
}

std::size_t read(NativeFile file, std::uint8_t* buffer, std::size_t n) {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min(n, kMaxRead));
    if (!ReadFile(handle_of(file), buffer, want, &got, nullptr)) {
        if (GetLastError() == ERROR_HANDLE_EOF) return 0;
        raise_file_error(com::kDeviceIoError);
    }
    return got;
}

std::size_t read_at(NativeFile file, std::int64_t offset, std::uint8_t* buffer, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const auto at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min(n - done, kMaxRead));
        if (!ReadFile(handle_of(file), buffer + done, want, &got, &position)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            raise_file_error(com::kDeviceIoError);
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

std::int64_t length_of(NativeFile file) noexcept {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_of(file), &size)) return -1;
    return static_cast<std::int64_t>(size.QuadPart);
}

std::int64_t length_by_name(std::u16string_view path) {
    const std::wstring name = system_name(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) raise_open_error(GetLastError(), name);
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

}  // namespace zn::files::os
