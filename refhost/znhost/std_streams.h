// What znhost needs to know and set about its standard streams.
#pragma once

#include <cstdio>

namespace zn::refhost {

// Whether the stream is a terminal (a person reads or types there).
bool is_terminal(std::FILE* stream);
// Bytes written to the stream go out unchanged (no line-end translation on Windows).
void set_binary(std::FILE* stream);

}  // namespace zn::refhost
