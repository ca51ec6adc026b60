#include "io/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tessarin {

namespace {

// The length of the valid UTF-8 sequence at `at`, or 0 when it is not one
// (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (at + length > text.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(at + k) < 0x80 || byte(at + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::string JsonWriter::Quoted(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t k = 0; k < text.size();) {
        const auto c = static_cast<unsigned char>(text[k]);
        if (c < 0x80) {
            switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += static_cast<char>(c);
                }
            }
            ++k;
            continue;
        }
        const std::size_t length = utf8Length(text, k);
        if (length == 0) {
            out += "\\ufffd";
            ++k;
        } else {
            out.append(text.substr(k, length));
            k += length;
        }
    }
    out += '"';
    return out;
}

void JsonWriter::newLine()
{
    m_text += '\n';
    m_text.append(2 * m_empty.size(), ' ');
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_empty.empty()) {
        if (!m_empty.back())
            m_text += ',';
        m_empty.back() = false;
        newLine();
    }
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    m_text += bracket;
    m_empty.push_back(true);
}

void JsonWriter::close(char bracket)
{
    const bool empty = m_empty.back();
    m_empty.pop_back();
    if (!empty)
        newLine();
    m_text += bracket;
    if (m_empty.empty())
        m_text += '\n';
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    m_text += Quoted(name);
    m_text += ": ";
    m_afterKey = true;
}

void JsonWriter::value(std::string_view text)
{
    beforeValue();
    m_text += Quoted(text);
}

void JsonWriter::value(double number)
{
    beforeValue();
    if (!std::isfinite(number)) {
        m_text += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    m_text.append(buffer, result.ptr);
}

void JsonWriter::value(long long number)
{
    beforeValue();
    m_text += std::to_string(number);
}

void JsonWriter::value(bool truth)
{
    beforeValue();
    m_text += truth ? "true" : "false";
}

void JsonWriter::null()
{
    beforeValue();
    m_text += "null";
}

} // namespace tessarin
