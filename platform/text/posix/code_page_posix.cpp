// Windows-1252 stands in for the ANSI code page.
#include <array>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/text/code_page.h"

namespace zn::text {
namespace {

// 0x80..0x9F; the rest of the code page is Latin-1 and maps to the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

constexpr std::array<char16_t, 256> make_table() {
    std::array<char16_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b) table[b] = static_cast<char16_t>(b);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) table[0x80 + i] = kHighControls[i];
    return table;
}

constexpr std::array<char16_t, 256> kTable = make_table();

char to_byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

#if defined(__x86_64__) || defined(__i386__)
#define ZN_HAVE_AVX2_CONVERSION 1

// The 32 characters of 0x80..0x9F split for the byte shuffles: their low and high bytes, each
// in two 16-entry halves.
struct ShuffleTables {
    alignas(16) std::uint8_t low[2][16];
    alignas(16) std::uint8_t high[2][16];
};

constexpr ShuffleTables make_shuffle_tables() {
    ShuffleTables t{};
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        t.low[i / 16][i % 16] = static_cast<std::uint8_t>(kHighControls[i] & 0xFF);
        t.high[i / 16][i % 16] = static_cast<std::uint8_t>(kHighControls[i] >> 8);
    }
    return t;
}

constexpr ShuffleTables kShuffleTables = make_shuffle_tables();

// 32 bytes at a time without a branch (photos run to megabytes): a byte outside 0x80..0x9F widens
// as it is; inside, b ^ 0x80 is its index t in the shuffle tables. t + 0x70 (saturating) keeps
// the low nibble for t < 16 and sets the top bit, which makes the shuffle give zero, for the
// rest; t - 16 does the same for the upper half. Processors without AVX2 take the plain loop.
__attribute__((target("avx2"))) std::size_t convert_avx2(const std::uint8_t* bytes, std::size_t n, char16_t* out) {
    const ShuffleTables& table = kShuffleTables;
    const __m256i low0 = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table.low[0])));
    const __m256i low1 = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table.low[1])));
    const __m256i high0 = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table.high[0])));
    const __m256i high1 = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table.high[1])));
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i last = _mm256_set1_epi8(0x1F);
    const __m256i to_lower_half = _mm256_set1_epi8(0x70);
    const __m256i to_upper_half = _mm256_set1_epi8(0x10);
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
        const __m256i t = _mm256_xor_si256(v, flip);
        const __m256i in_range = _mm256_cmpeq_epi8(_mm256_min_epu8(t, last), t);
        const __m256i index0 = _mm256_adds_epu8(t, to_lower_half);
        const __m256i index1 = _mm256_sub_epi8(t, to_upper_half);
        const __m256i lo = _mm256_or_si256(_mm256_shuffle_epi8(low0, index0), _mm256_shuffle_epi8(low1, index1));
        const __m256i hi = _mm256_or_si256(_mm256_shuffle_epi8(high0, index0), _mm256_shuffle_epi8(high1, index1));
        const __m256i out_lo = _mm256_blendv_epi8(v, lo, in_range);
        const __m256i out_hi = _mm256_and_si256(in_range, hi);
        // The unpacks work within each 128-bit lane; the permutes put the lanes in order.
        const __m256i first = _mm256_unpacklo_epi8(out_lo, out_hi);
        const __m256i second = _mm256_unpackhi_epi8(out_lo, out_hi);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permute2x128_si256(first, second, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 16), _mm256_permute2x128_si256(first, second, 0x31));
    }
    for (; i < n; ++i) out[i] = kTable[bytes[i]];
    return n;
}
#endif

}  // namespace

std::size_t ansi_to_utf16(const std::uint8_t* bytes, std::size_t n, char16_t* out) {
#ifdef ZN_HAVE_AVX2_CONVERSION
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return convert_avx2(bytes, n, out);
#endif
    for (std::size_t i = 0; i < n; ++i) out[i] = kTable[bytes[i]];
    return n;
}

std::string utf16_to_ansi(std::u16string_view text) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = to_byte(text[i]);
    return out;
}

}  // namespace zn::text
