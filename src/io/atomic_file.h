#pragma once

#include <string>
#include <string_view>

namespace tessarin {

/// Writes `bytes` to `path` through a temporary file beside it (`path`
/// followed by ".part"), renamed into place only when the whole file has been
/// written and closed: a failure removes the temporary and leaves whatever
/// `path` held before. Returns 0, or the system's error number of the
/// failure (EIO when the system named none).
int WriteFileAtomically(const std::string &path, std::string_view bytes);

} // namespace tessarin
