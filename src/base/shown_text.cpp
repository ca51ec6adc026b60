#include "base/shown_text.h"

namespace tessarin {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

/// The length of the valid UTF-8 sequence at `text[pos]`, or 0 when the
/// bytes there are not one (an overlong form, a surrogate, past U+10FFFF, a
/// truncated sequence or a stray continuation byte).
std::size_t sequenceLength(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong below U+0800
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong below U+10000
        if (lead == 0xF4)
            high = 0x8F; // past U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!isContinuation(byte(k)))
            return 0;
    return length;
}

void appendHex(std::string &out, unsigned char c)
{
    static const char digits[] = "0123456789ABCDEF";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 0xF];
}

} // namespace

std::string EscapedText(std::string_view text, std::size_t limit)
{
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size() && pos < limit) {
        const auto c = static_cast<unsigned char>(text[pos]);
        const std::size_t length = sequenceLength(text, pos);
        if (length == 0) {
            appendHex(out, c);
            ++pos;
        } else if (length == 1) {
            if (c == '\t')
                out += "\\t";
            else if (c == '\r')
                out += "\\r";
            else if (c == '\n')
                out += "\\n";
            else if (c == '\\' || c == '"')
                (out += '\\') += static_cast<char>(c);
            else if (c < 0x20 || c == 0x7F)
                appendHex(out, c);
            else
                out += static_cast<char>(c);
            ++pos;
        } else if (c == 0xC2 && static_cast<unsigned char>(text[pos + 1]) < 0xA0) {
            // U+0080..U+009F are control characters to a terminal.
            appendHex(out, c);
            appendHex(out, static_cast<unsigned char>(text[pos + 1]));
            pos += 2;
        } else {
            out.append(text.substr(pos, length));
            pos += length;
        }
    }
    if (pos < text.size())
        out += "...";
    return out;
}

std::string ShownText(std::string_view text, std::size_t limit)
{
    return "\"" + EscapedText(text, limit) + "\"";
}

} // namespace tessarin
