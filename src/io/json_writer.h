#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

/// Writes one JSON document, two spaces of indent a level. Strings come out
/// escaped and as valid UTF-8 whatever bytes they held; numbers in their
/// shortest form that reads back as the same double.
class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    /// The name of the next member of the object being written.
    void key(std::string_view name);
    void value(std::string_view text);
    void value(const char *text) { value(std::string_view(text)); }
    /// A number; NaN and the infinities, which JSON lacks, are written as null.
    void value(double number);
    void value(long long number);
    void value(int number) { value(static_cast<long long>(number)); }
    void value(bool truth);
    void null();

    /// The document so far; complete once every object and array is closed.
    const std::string &text() const { return m_text; }

    /// `text` as a JSON string with its quotes: ", \ and control characters
    /// escaped, each byte that is not part of valid UTF-8 replaced by U+FFFD.
    static std::string Quoted(std::string_view text);

private:
    void open(char bracket);
    void close(char bracket);
    void beforeValue();
    void newLine();

    std::string m_text;
    std::vector<bool> m_empty; // per open level: nothing written in it yet
    bool m_afterKey = false;
};

} // namespace tessarin
