// File access through POSIX descriptors; names go to the system as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/files/file_errors.h"
#include "platform/files/os_file.h"
#include "platform/text/utf.h"

namespace zn::files::os {
namespace {

// Reads larger than this go through in parts; the system may cap a single read anyway.
constexpr std::size_t kMaxRead = std::size_t{1} << 30;

std::string system_name(std::u16string_view path) {
    // A zero character would cut the name short and name another file.
    if (path.find(u'\0') != std::u16string_view::npos) raise_file_error(com::kBadFileNameOrNumber);
    // Paths come from a Windows world (import files, the host's FileExists): "\" separates
    // folders there, so it does here too.
    std::u16string portable(path);
    for (auto& c : portable) {
        if (c == u'\\') c = u'/';
    }
    return text::to_utf8(portable);
}

[[noreturn]] void raise_open_error(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            raise_file_error(com::kFileNotFound);
        case EACCES:
        case EPERM:
        case EBUSY:
            raise_file_error(com::kPermissionDenied);
        case EMFILE:
        case ENFILE:
            raise_file_error(kTooManyFiles);
        case ENAMETOOLONG:
            raise_file_error(com::kBadFileNameOrNumber);
        case ENOMEM:
            raise_file_error(com::kOutOfMemory);
        default:
            raise_file_error(kPathFileAccessError);
    }
}

}  // namespace

NativeFile open_for_reading(std::u16string_view path) {
    const std::string name = system_name(path);
    int fd = -1;
    do {
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) raise_open_error(errno);
    // A folder opens here, but it is no file to read.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        raise_file_error(folder ? kPathFileAccessError : com::kDeviceIoError);
    }
    return fd;
}

void close(NativeFile file) noexcept {
    ::close(static_cast<int>(file));
}

std::size_t read(NativeFile file, std::uint8_t* buffer, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(file), buffer, std::min(n, kMaxRead));
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) raise_file_error(com::kDeviceIoError);
    }
}

std::size_t read_at(NativeFile file, std::int64_t offset, std::uint8_t* buffer, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(static_cast<int>(file), buffer + done, std::min(n - done, kMaxRead),
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) continue;
            raise_file_error(com::kDeviceIoError);
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::int64_t length_of(NativeFile file) noexcept {
    struct stat info {};
    if (::fstat(static_cast<int>(file), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

std::int64_t length_by_name(std::u16string_view path) {
    const std::string name = system_name(path);
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) raise_open_error(errno);
    return static_cast<std::int64_t>(info.st_size);
}

}  // namespace zn::files::os
