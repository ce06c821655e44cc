#include <gtest/gtest.h>

#include "platform/text/utf.h"

namespace zn::text {
namespace {

TEST(Utf, RoundTripsEveryEncodedLength) {
    // One, two, three and four UTF-8 bytes; the last is a surrogate pair in UTF-16.
    const std::u16string text = u"A\u00E9\u20AC\U0001F4F7";
    const std::string utf8 = to_utf8(text);
    EXPECT_EQ(utf8, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xB7");
    EXPECT_EQ(from_utf8(utf8), text);
}

TEST(Utf, EmbeddedNulSurvives) {
    const std::u16string text(u"a\0b", 3);
    EXPECT_EQ(to_utf8(text), std::string("a\0b", 3));
    EXPECT_EQ(from_utf8(std::string("a\0b", 3)), text);
}

TEST(Utf, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(to_utf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    EXPECT_EQ(to_utf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    // A high surrogate followed by something else keeps that something.
    EXPECT_EQ(to_utf8(std::u16string{u'\xD83D', u'x'}), "\xEF\xBF\xBDx");
    // Two lows, two replacements.
    EXPECT_EQ(to_utf8(std::u16string{u'\xDC00', u'\xDC01'}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf, InvalidUtf8BecomesReplacementWithoutSwallowingWhatFollows) {
    struct Case {
        const char* name;
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"stray continuation", "\x80z", u"\uFFFDz"},
        {"truncated two-byte", "\xC3z", u"\uFFFDz"},
        {"truncated at end", "a\xE2\x82", u"a\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"invalid lead", "\xFFz", u"\uFFFDz"},
        {"latin-1 byte in text", "caf\xE9!", u"caf\uFFFD!"},
    };
    for (const auto& c : cases) EXPECT_EQ(from_utf8(c.in), c.out) << c.name;
}

TEST(Utf, LargestValidValuesDecode) {
    EXPECT_EQ(from_utf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(from_utf8("\xED\x9F\xBF"), u"\uD7FF");
    EXPECT_EQ(from_utf8("\xEF\xBF\xBF"), u"\uFFFF");
}

}  // namespace
}  // namespace zn::text
