#include "base/shown_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tessarin {
namespace {

struct EscapeCase {
    const char *name;
    std::string text;
    std::size_t limit;
    std::string expected;
};

TEST(ShownText, EscapesWhatATerminalWouldActOn)
{
    using namespace std::string_literals;
    const EscapeCase cases[] = {
        {"plain text passes", "2O", 40, "2O"},
        {"tab, CR and LF by name", "a\tb\rc\nd", 40, "a\\tb\\rc\\nd"},
        {"escape sequence and NUL", "\x1b[31m\0x"s, 40, "\\x1B[31m\\x00x"},
        {"DEL", "a\x7f", 40, "a\\x7F"},
        {"backslash and quote", "a\\b\"c", 40, "a\\\\b\\\"c"},
        {"valid UTF-8 passes", "Zürich → 東京 😀", 40, "Zürich → 東京 😀"},
        {"C1 control", "a\xc2\x85z", 40, "a\\xC2\\x85z"},
        {"stray continuation byte", "a\x80z", 40, "a\\x80z"},
        {"Latin-1 byte", "caf\xe9!", 40, "caf\\xE9!"},
        {"overlong slash", "\xc0\xaf", 40, "\\xC0\\xAF"},
        {"surrogate", "\xed\xa0\x80", 40, "\\xED\\xA0\\x80"},
        {"truncated sequence at the end", "ab\xe2\x82", 40, "ab\\xE2\\x82"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", 40, "\\xF4\\x90\\x80\\x80"},
        {"cut at the limit", std::string(50, '7'), 40, std::string(40, '7') + "..."},
        {"exactly the limit is not cut", std::string(40, '7'), 40, std::string(40, '7')},
        {"cut keeps a character whole", "abc€def", 4, "abc€..."},
        {"PNG header", "\x89PNG\r\n\x1a\n"s, 40, "\\x89PNG\\r\\n\\x1A\\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EscapedText(c.text, c.limit), c.expected);
        EXPECT_EQ(ShownText(c.text, c.limit), "\"" + c.expected + "\"");
    }
}

TEST(ShownText, NeverPassesAControlByte)
{
    // Every byte value alone and after a lead byte: the result holds only
    // printable ASCII and whole valid sequences of U+00A0 and above.
    for (int lead = 0; lead < 256; ++lead)
        for (int next = 0; next < 256; next += 17) {
            const std::string text{static_cast<char>(lead), static_cast<char>(next)};
            const std::string shown = EscapedText(text);
            for (unsigned char c : shown)
                ASSERT_TRUE(c >= 0x20 && c != 0x7F) << lead << "," << next;
            if (const std::size_t c2 = shown.find('\xc2'); c2 != std::string::npos) {
                ASSERT_GE(static_cast<unsigned char>(shown[c2 + 1]), 0xA0);
            }
        }
}

} // namespace
} // namespace tessarin
