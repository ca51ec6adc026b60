#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tessarin {

/// Sequential text input on one file, read from its start to its end.
/// Lines end with CR LF, a lone CR or a bare LF; a UTF-8 byte-order mark at
/// the very start is skipped. The file is closed by close() or at the latest
/// by the destructor, so no path leaves it open.
class SequentialInput {
public:
    /// Opens an existing file for reading. Throws TessarinError naming the
    /// file when it is missing, a directory or unreadable.
    explicit SequentialInput(const std::string &fileName);
    ~SequentialInput();
    SequentialInput(const SequentialInput &) = delete;
    SequentialInput &operator=(const SequentialInput &) = delete;

    /// A free-format number field: leading blanks skipped, ends at a blank, a
    /// comma or a line end, which is consumed. Throws at the end of the file.
    std::string readNumberField();
    /// A free-format text field: leading blanks skipped; a field that starts
    /// with a double quote runs to the next double quote (and may hold commas),
    /// anything else to the next comma or line end. The ending comma or line
    /// end is consumed. Throws at the end of the file or on a missing quote.
    std::string readTextField();
    /// True when the last text field ended at a comma (not at a line end).
    bool textFieldEndedAtComma() const { return m_textFieldEndedAtComma; }
    /// The next whole line without its line end. Throws at the end of the file.
    std::string readLine();

    bool atEnd();
    void close();
    /// How many bytes of a regular file are still to be read; for anything
    /// else (a pipe, a device) the largest value.
    std::uint64_t remainingBytes() const;

    const std::string &fileName() const { return m_fileName; }
    /// 1-based number of the line the next character belongs to.
    long lineNumber() const { return m_line; }

private:
    int peek();
    int get();
    /// Consumes a line end at the current position, if there is one.
    bool consumeLineEnd();
    [[noreturn]] void throwAtEnd(const std::string &what) const;

    std::string m_fileName;
    std::FILE *m_file = nullptr;
    long m_line = 1;
    bool m_textFieldEndedAtComma = false;
    std::uint64_t m_fileSize = UINT64_MAX; // known for regular files only
    std::uint64_t m_bytesFetched = 0;      // bytes read from the file into the buffer so far
    char m_buffer[1 << 16];
    std::size_t m_pos = 0;
    std::size_t m_size = 0;
};

} // namespace tessarin
