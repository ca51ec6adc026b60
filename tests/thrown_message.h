#pragma once

#include "base/tessarin_error.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tessarin::testing {

/// The message of the TessarinError that `action` throws; a failure "no
/// error" and no message when it throws none.
template <class Action> std::optional<std::string> ThrownMessage(Action &&action)
{
    try {
        action();
    } catch (const TessarinError &error) {
        return std::string(error.what());
    }
    ADD_FAILURE() << "no error";
    return std::nullopt;
}

/// Checks that `message` holds every one of `parts`.
inline void ExpectMentions(const std::string &message, const std::vector<std::string> &parts)
{
    for (const std::string &part : parts)
        EXPECT_NE(message.find(part), std::string::npos) << "no " << part << " in: " << message;
}

} // namespace tessarin::testing
