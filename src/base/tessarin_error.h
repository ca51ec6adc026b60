#pragma once

#include <stdexcept>
#include <string>

namespace tessarin {

/// The one error type of the tool. Its message is written for a user: it says
/// what is wrong and where (file, line, row, value), in one line.
class TessarinError : public std::runtime_error {
public:
    explicit TessarinError(const std::string &message) : std::runtime_error(message) {}
};

} // namespace tessarin
