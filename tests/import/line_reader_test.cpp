// Reading the import file line by line, and counting its lines by the same rules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "import/count_lines.h"
#include "import/line_reader.h"
#include "import_test_support.h"
#include "platform/files/file_errors.h"
#include "platform/files/file_numbers.h"
#include "platform/text/code_page.h"

namespace zn::import {
namespace {

using test::bytes_of;
using test::expect_com_error;
using test::FileNumberTest;
using test::TempFolder;

class LineReading : public FileNumberTest {
protected:
    TempFolder folder;

    std::vector<std::u16string> read_lines(std::string_view bytes,
                                           std::size_t buffer_size = LineReader::kDefaultBufferSize) {
        const std::u16string name = folder.write(u"import.csv", bytes);
        files::OpenFile file(7, name, files::Mode::Input);
        LineReader reader(file.number(), buffer_size);
        std::vector<std::u16string> lines;
        std::u16string line;
        while (!reader.at_end()) {
            reader.read_line(line);
            lines.push_back(line);
        }
        return lines;
    }
    std::int32_t count(std::string_view bytes) { return CountLines(folder.write(u"count.csv", bytes)); }
};

struct LineCase {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> lines;
};

TEST_F(LineReading, LineEndsAreCrOrCrLfButNeverALoneLf) {
    const std::vector<LineCase> cases = {
        {"CR LF between", "a\r\nb", {u"a", u"b"}},
        {"CR LF after each", "a\r\nb\r\n", {u"a", u"b"}},
        {"CR alone", "a\rb", {u"a", u"b"}},
        {"CR at the end", "a\rb\r", {u"a", u"b"}},
        {"second line empty", "a\r\n\r\n", {u"a", u""}},
        {"LF stays in the line", "a\nb\n", {u"a\nb\n"}},
        {"LF CR is a line feed then a line end", "a\n\rb", {u"a\n", u"b"}},
        {"CR CR LF", "a\r\r\nb", {u"a", u"", u"b"}},
        {"CR LF LF", "a\r\n\nb", {u"a", u"\nb"}},
        {"empty file", "", {}},
        {"a lone CR", "\r", {u""}},
        {"a lone LF", "\n", {u"\n"}},
        {"empty lines in the middle", "1\r\n\r\n\r\n2", {u"1", u"", u"", u"2"}},
        {"zero bytes are characters", std::string("a\0b\r\n", 5), {std::u16string(u"a\0b", 3)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read_lines(c.bytes), c.lines);
        EXPECT_EQ(count(c.bytes), static_cast<std::int32_t>(c.lines.size()));
    }
}

TEST_F(LineReading, BytesGoThroughTheCodePageAndAByteOrderMarkIsKept) {
    const std::string bom_line = bytes_of({0xEF, 0xBB, 0xBF}) + "1,STSST_STUDENTNAME,x";
    const auto lines = read_lines(bom_line + "\r\n" + bytes_of({0x80, 0xE9, 0x81}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], text::ansi_to_utf16(bom_line));
    EXPECT_EQ(lines[0].size(), bom_line.size());
    EXPECT_EQ(lines[1], u"\u20AC\u00E9\u0081");
}

TEST_F(LineReading, LinesHaveNoLengthLimitAndLineEndsMaySpanReads) {
    // CR as the last byte of one read and its LF as the first of the next.
    const std::size_t size = LineReader::kDefaultBufferSize;
    std::string first(size - 1, 'x');
    std::string second(3 * size + 17, 'y');
    const auto lines = read_lines(first + "\r\n" + second + "\r\nz");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::u16string(size - 1, u'x'));
    EXPECT_EQ(lines[1], std::u16string(3 * size + 17, u'y'));
    EXPECT_EQ(lines[2], u"z");
}

// Every short text of a, CR and LF, through buffers as small as one byte, gives the lines
// that splitting the whole text at once gives.
TEST_F(LineReading, TheBufferSizeNeverChangesTheLines) {
    const auto split = [](const std::string& s) {
        std::vector<std::u16string> lines;
        std::u16string line;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '\r') {
                line.push_back(static_cast<char16_t>(s[i]));
                continue;
            }
            lines.push_back(line);
            line.clear();
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        }
        if (!s.empty() && s.back() != '\r' && !(s.size() >= 2 && s.substr(s.size() - 2) == "\r\n")) {
            lines.push_back(line);
        }
        return lines;
    };
    std::mt19937 random(12345);
    const char alphabet[] = {'a', '\r', '\n'};
    for (int trial = 0; trial < 150; ++trial) {
        std::string s(random() % 12, ' ');
        for (char& c : s) c = alphabet[random() % 3];
        const auto expected = split(s);
        for (std::size_t buffer_size : {1u, 2u, 3u, 5u}) {
            SCOPED_TRACE(::testing::Message() << "trial " << trial << ", buffer " << buffer_size);
            EXPECT_EQ(read_lines(s, buffer_size), expected);
        }
        EXPECT_EQ(count(s), static_cast<std::int32_t>(expected.size()));
    }
}

TEST_F(LineReading, ReadingPastTheEndIsAnError) {
    const std::u16string name = folder.write(u"one.csv", "only\r\n");
    files::OpenFile file(name, files::Mode::Input);
    LineReader reader(file.number());
    std::u16string line = u"stale";
    reader.read_line(line);
    EXPECT_EQ(line, u"only");
    EXPECT_TRUE(reader.at_end());
    EXPECT_TRUE(reader.at_end());
    expect_com_error([&] { reader.read_line(line); }, files::kInputPastEndOfFile, u"Input past end of file");
    expect_com_error([&] { reader.skip_line(); }, files::kInputPastEndOfFile);
}

TEST_F(LineReading, AReusedLineHoldsOnlyTheNewLine) {
    EXPECT_EQ(read_lines("a much longer first line\rb"),
              (std::vector<std::u16string>{u"a much longer first line", u"b"}));
}

}  // namespace
}  // namespace zn::import
