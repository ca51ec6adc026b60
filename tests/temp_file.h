#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace tessarin::testing {

/// A file in the system's temporary folder holding the given bytes, removed
/// when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string &content, const std::string &name = "distances.txt")
    {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("tessarin-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" + name);
        std::ofstream out(m_path, std::ios::binary);
        out << content;
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    std::string path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

/// The bytes of the file at `path`: empty when it cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace tessarin::testing
