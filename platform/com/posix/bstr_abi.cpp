// BSTR: a 32-bit byte length, then the characters, then a NUL character that the length
// does not count. The pointer handed out points at the characters.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

#include <sys/mman.h>

#include "platform/com/posix/com_abi.h"

namespace {

using Prefix = std::uint32_t;

// Before the prefix: how the block was obtained (0: malloc; else the size of its mapping).
struct Header {
    std::uint64_t mapped;
    std::uint32_t unused;
    Prefix prefix;
};
static_assert(sizeof(Header) == 16);

// Strings this large (photos) are mapped with huge pages where the system offers them: a
// first touch of every 4 KiB page would otherwise cost more than reading the photo.
constexpr std::size_t kMapThreshold = std::size_t{4} << 20;

// The last large block freed is kept for the next large string of a similar size: an import
// frees each photo right before it reads the next one, and a fresh mapping costs the system
// a clearing of every page.
class SpareMapping {
public:
    // A kept block of at least `need` bytes (and not wastefully larger), or null.
    void* take(std::size_t need, std::size_t& size) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!block_ || size_ < need || size_ / 2 > need) return nullptr;
        size = size_;
        return std::exchange(block_, nullptr);
    }
    // Keeps the block, or unmaps it (or the one kept before, when this one is newer).
    void give(void* block, std::size_t size) {
        void* old = nullptr;
        std::size_t old_size = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            old = std::exchange(block_, block);
            old_size = std::exchange(size_, size);
        }
        if (old) ::munmap(old, old_size);
    }

private:
    std::mutex mutex_;
    void* block_ = nullptr;
    std::size_t size_ = 0;
};

SpareMapping& spare() {
    static SpareMapping* s = new SpareMapping;  // never destroyed: strings may be freed at exit
    return *s;
}

unsigned char* obtain(std::size_t total, std::uint64_t& mapped) {
    mapped = 0;
    if (total < kMapThreshold) return static_cast<unsigned char*>(std::malloc(total));
    std::size_t size = 0;
    if (void* kept = spare().take(total, size)) {
        mapped = size;
        return static_cast<unsigned char*>(kept);
    }
    void* p = ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(p, total, MADV_HUGEPAGE);
#endif
    mapped = total;
    return static_cast<unsigned char*>(p);
}

BSTR allocate(const void* bytes, std::size_t byte_length) {
    // Room for the header, the text and a whole terminating character.
    if (byte_length > std::numeric_limits<Prefix>::max() - sizeof(OLECHAR)) return nullptr;
    std::uint64_t mapped = 0;
    unsigned char* block = obtain(sizeof(Header) + byte_length + sizeof(OLECHAR) + 1, mapped);
    if (!block) return nullptr;
    const Header header{mapped, 0, static_cast<Prefix>(byte_length)};
    std::memcpy(block, &header, sizeof header);
    unsigned char* text = block + sizeof(Header);
    // Without text the characters are left undefined, as the system leaves them.
    if (bytes) std::memcpy(text, bytes, byte_length);
    // An odd byte length still ends in a full NUL character.
    std::memset(text + byte_length, 0, sizeof(OLECHAR) + 1);
    return reinterpret_cast<BSTR>(text);
}

unsigned char* block_of(BSTR s) {
    return reinterpret_cast<unsigned char*>(s) - sizeof(Header);
}
unsigned char* prefix_of(BSTR s) {
    return reinterpret_cast<unsigned char*>(s) - sizeof(Prefix);
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    if (cch > std::numeric_limits<Prefix>::max() / sizeof(OLECHAR)) return nullptr;
    return allocate(pch, std::size_t{cch} * sizeof(OLECHAR));
}

void SysFreeString(BSTR bstr) {
    if (!bstr) return;
    Header header;
    std::memcpy(&header, block_of(bstr), sizeof header);
    if (header.mapped)
        spare().give(block_of(bstr), header.mapped);
    else
        std::free(block_of(bstr));
}

UINT SysStringLen(BSTR bstr) {
    if (!bstr) return 0;
    Prefix prefix;
    std::memcpy(&prefix, prefix_of(bstr), sizeof prefix);
    return prefix / sizeof(OLECHAR);
}
