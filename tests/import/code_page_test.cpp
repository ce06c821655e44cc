// The ANSI code page that the import file and the photo files are read through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import_test_support.h"
#include "platform/text/code_page.h"

namespace zn::text {
namespace {

using import::test::every_byte_value;

TEST(CodePage, EveryByteValueIsOneCharacterAndConvertsBack) {
    const std::string bytes = every_byte_value();
    const std::u16string chars = ansi_to_utf16(bytes);
    ASSERT_EQ(chars.size(), 256u);
    // No two bytes share a character, so nothing is lost on the way back.
    for (std::size_t i = 0; i < chars.size(); ++i) {
        for (std::size_t j = i + 1; j < chars.size(); ++j) ASSERT_NE(chars[i], chars[j]) << i << " and " << j;
    }
    EXPECT_EQ(utf16_to_ansi(chars), bytes);
}

TEST(CodePage, Windows1252WithItsGapsCarriedAsControls) {
    const std::u16string chars = ansi_to_utf16(every_byte_value());
    EXPECT_EQ(chars[0x00], u'\0');
    EXPECT_EQ(chars[0x41], u'A');
    EXPECT_EQ(chars[0x7F], u'\x7F');
    EXPECT_EQ(chars[0x80], u'\u20AC');  // euro sign
    EXPECT_EQ(chars[0x8A], u'\u0160');
    EXPECT_EQ(chars[0x9F], u'\u0178');
    for (int gap : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(chars[static_cast<std::size_t>(gap)], gap);
    EXPECT_EQ(chars[0xA0], u'\u00A0');
    EXPECT_EQ(chars[0xE9], u'\u00E9');
    EXPECT_EQ(chars[0xFF], u'\u00FF');
}

TEST(CodePage, LongRunsConvertLikeSingleBytesAtEveryOffsetAndLength) {
    // Long runs take the vector paths; each byte on its own takes the plain one. Every byte
    // value at every position of a vector, and every tail length, must agree.
    std::string bytes;
    for (int round = 0; round < 3; ++round) bytes += every_byte_value();
    bytes += every_byte_value().substr(0x70, 0x41);
    for (std::size_t start : {0u, 1u, 7u, 16u, 31u}) {
        for (std::size_t length = 0; start + length <= bytes.size(); length += 13) {
            const std::string part = bytes.substr(start, length);
            std::u16string one_by_one;
            for (char c : part) one_by_one += ansi_to_utf16(std::string_view(&c, 1));
            ASSERT_EQ(ansi_to_utf16(part), one_by_one) << "start " << start << " length " << length;
        }
    }
}

TEST(CodePage, CharactersWithoutAByteBecomeQuestionMarks) {
    EXPECT_EQ(utf16_to_ansi(u"a\u20ACb"),
              "a\x80"
              "b");
    // No best fit: A with macron does not turn into a plain A, nor the fraction slash into "/".
    EXPECT_EQ(utf16_to_ansi(u"\u4E2D\u0100\u2044"), "???");
    // A character beyond the basic plane is two UTF-16 units, two marks.
    EXPECT_EQ(utf16_to_ansi(u"x\U0001F600y"), "x??y");
    EXPECT_EQ(utf16_to_ansi(u""), "");
}

TEST(CodePage, ConvertsIntoPlaceWithoutWritingPastTheCount) {
    const std::string bytes = "\x80zn\xFF";
    std::u16string out(8, u'#');
    const std::size_t n =
        ansi_to_utf16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out.data() + 1);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(out, u"#\u20ACzn\u00FF###");
    EXPECT_EQ(ansi_to_utf16(reinterpret_cast<const std::uint8_t*>(""), 0, out.data()), 0u);
}

}  // namespace
}  // namespace zn::text

TEST(CodePage, LongRunsConvertAsEachByteDoesAlone) {
    // Long runs take a block-wise path; every position of a block must agree with the byte's
    // own conversion, also at unaligned starts and with a tail shorter than a block.
    std::vector<std::uint8_t> bytes(4099);
    unsigned seed = 7;
    for (auto& b : bytes) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
    for (std::size_t start : {std::size_t{0}, std::size_t{1}, std::size_t{5}}) {
        const std::size_t n = bytes.size() - start;
        std::u16string whole(n, u'\0');
        ASSERT_EQ(zn::text::ansi_to_utf16(bytes.data() + start, n, whole.data()), n);
        for (std::size_t i = 0; i < n; ++i) {
            char16_t alone = 0;
            zn::text::ansi_to_utf16(bytes.data() + start + i, 1, &alone);
            ASSERT_EQ(whole[i], alone) << "byte " << int(bytes[start + i]) << " at " << i;
        }
    }
}
