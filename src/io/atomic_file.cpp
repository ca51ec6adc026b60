#include "io/atomic_file.h"

#include <cerrno>
#include <cstdio>

namespace tessarin {

int WriteFileAtomically(const std::string &path, std::string_view bytes)
{
    const std::string temporary = path + ".part";
    const auto fail = [&](int error) {
        std::remove(temporary.c_str());
        return error != 0 ? error : EIO;
    };
    std::FILE *file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return fail(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = written ? 0 : errno;
    // A full disk often shows only when the buffer is flushed at the close.
    const bool closed = std::fclose(file) == 0;
    if (!closed && error == 0)
        error = errno;
    if (!written || !closed)
        return fail(error);
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(errno);
    return 0;
}

} // namespace tessarin
