#include "refhost/znhost/std_streams.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zn::refhost {

bool is_terminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

void set_binary(std::FILE* stream) {
#ifdef _WIN32
    std::fflush(stream);
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;  // POSIX streams never translate
#endif
}

}  // namespace zn::refhost
