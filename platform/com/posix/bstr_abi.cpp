// BSTR: a 32-bit byte length, then the characters, then a NUL character that the length
// does not count. The pointer handed out points at the characters.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/com/posix/com_abi.h"

namespace {

using Prefix = std::uint32_t;

BSTR allocate(const void* bytes, std::size_t byte_length) {
    // Room for the prefix, the text and a whole terminating character.
    if (byte_length > std::numeric_limits<Prefix>::max() - sizeof(OLECHAR)) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(Prefix) + byte_length + sizeof(OLECHAR) + 1));
    if (!block) return nullptr;
    const auto prefix = static_cast<Prefix>(byte_length);
    std::memcpy(block, &prefix, sizeof prefix);
    unsigned char* text = block + sizeof(Prefix);
    if (bytes) {
        std::memcpy(text, bytes, byte_length);
    } else {
        std::memset(text, 0, byte_length);
    }
    // An odd byte length still ends in a full NUL character.
    std::memset(text + byte_length, 0, sizeof(OLECHAR) + 1);
    return reinterpret_cast<BSTR>(text);
}

unsigned char* block_of(BSTR s) { return reinterpret_cast<unsigned char*>(s) - sizeof(Prefix); }

}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz) return nullptr;
    std::size_t n = 0;
    while (psz[n]) ++n;
    if (n > std::numeric_limits<Prefix>::max() / sizeof(OLECHAR)) return nullptr;
    return allocate(psz, n * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    if (cch > std::numeric_limits<Prefix>::max() / sizeof(OLECHAR)) return nullptr;
    return allocate(pch, std::size_t{cch} * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(const char* psz, UINT len) { return allocate(psz, len); }

void SysFreeString(BSTR bstr) {
    if (bstr) std::free(block_of(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr) return 0;
    Prefix prefix;
    std::memcpy(&prefix, block_of(bstr), sizeof prefix);
    return prefix;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
