#include "io/sequential_input.h"

#include "base/tessarin_error.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace tessarin {

SequentialInput::SequentialInput(const std::string &fileName) : m_fileName(fileName)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw TessarinError(fileName + ": is a folder, not a distance file");
    m_file = std::fopen(fileName.c_str(), "rb");
    if (!m_file) {
        int error = errno;
        throw TessarinError(fileName + ": the file cannot be opened (" + std::strerror(error) + ")");
    }
    struct stat opened {};
    if (::fstat(::fileno(m_file), &opened) == 0 && S_ISREG(opened.st_mode))
        m_fileSize = static_cast<std::uint64_t>(opened.st_size);
    // Skip a UTF-8 byte-order mark.
    if (peek() == 0xEF && m_size - m_pos >= 3 && static_cast<unsigned char>(m_buffer[1]) == 0xBB &&
        static_cast<unsigned char>(m_buffer[2]) == 0xBF)
        m_pos = 3;
}

SequentialInput::~SequentialInput() { close(); }

void SequentialInput::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_pos = m_size = 0;
}

int SequentialInput::peek()
{
    if (m_pos == m_size) {
        if (!m_file)
            return EOF;
        m_size = std::fread(m_buffer, 1, sizeof m_buffer, m_file);
        m_bytesFetched += m_size;
        m_pos = 0;
        if (m_size == 0) {
            if (std::ferror(m_file))
                throw TessarinError(m_fileName + ", line " + std::to_string(m_line) +
                                    ": the file cannot be read (" + std::strerror(errno) + ")");
            return EOF;
        }
    }
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

int SequentialInput::get()
{
    int c = peek();
    if (c != EOF)
        ++m_pos;
    return c;
}

bool SequentialInput::atEnd() { return peek() == EOF; }

std::uint64_t SequentialInput::remainingBytes() const
{
    if (m_fileSize == UINT64_MAX || !m_file)
        return m_file ? UINT64_MAX : 0;
    const std::uint64_t consumed = m_bytesFetched - (m_size - m_pos);
    return consumed < m_fileSize ? m_fileSize - consumed : 0;
}

bool SequentialInput::consumeLineEnd()
{
    int c = peek();
    if (c == '\r') {
        get();
        if (peek() == '\n')
            get();
    } else if (c == '\n') {
        get();
    } else {
        return false;
    }
    ++m_line;
    return true;
}

void SequentialInput::throwAtEnd(const std::string &what) const
{
    throw TessarinError(m_fileName + ": the file ends before " + what);
}

std::string SequentialInput::readNumberField()
{
    while (peek() == ' ')
        get();
    if (peek() == EOF)
        throwAtEnd("the item count");
    std::string field;
    for (int c = peek(); c != EOF; c = peek()) {
        if (consumeLineEnd())
            break;
        get();
        if (c == ' ' || c == ',')
            break;
        field += static_cast<char>(c);
    }
    return field;
}

std::string SequentialInput::readTextField()
{
    while (peek() == ' ')
        get();
    if (peek() == EOF)
        throwAtEnd("the title");
    std::string field;
    m_textFieldEndedAtComma = false;
    if (peek() == '"') {
        long startLine = m_line;
        get();
        for (int c = get();; c = get()) {
            if (c == EOF)
                throw TessarinError(m_fileName + ", line " + std::to_string(startLine) +
                                    ": the title's closing double quote is missing");
            if (c == '"')
                break;
            if (c == '\n' || (c == '\r' && peek() != '\n'))
                ++m_line;
            field += static_cast<char>(c);
        }
        // Whatever follows the closing quote up to the delimiter is ignored.
        for (int c = peek(); c != EOF; c = peek()) {
            if (consumeLineEnd())
                break;
            get();
            if (c == ',') {
                m_textFieldEndedAtComma = true;
                break;
            }
        }
        return field;
    }
    for (int c = peek(); c != EOF; c = peek()) {
        if (consumeLineEnd())
            break;
        get();
        if (c == ',') {
            m_textFieldEndedAtComma = true;
            break;
        }
        field += static_cast<char>(c);
    }
    return field;
}

std::string SequentialInput::readLine()
{
    if (peek() == EOF)
        throw TessarinError(m_fileName + ": the file ends at line " + std::to_string(m_line));
    std::string line;
    for (int c = peek(); c != EOF; c = peek()) {
        if (consumeLineEnd())
            break;
        get();
        line += static_cast<char>(c);
    }
    return line;
}

} // namespace tessarin
