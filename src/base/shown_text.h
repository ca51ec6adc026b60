#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessarin {

/// How many bytes of a text from a file a message shows before cutting it.
constexpr std::size_t ShownTextLimit = 40;

/// A text read from a file or typed by a user, made safe to echo in a
/// message: at most `limit` bytes of it (cut between characters, "..."
/// marking the cut), with every control character, DEL, C1 control and byte
/// that is not part of valid UTF-8 written as \xHH (tab, carriage return
/// and line feed as \t, \r and \n) and a backslash or a double quote with a
/// backslash before it. Valid UTF-8 characters pass unchanged, so a binary
/// file never writes raw bytes to a terminal or a message box.
std::string EscapedText(std::string_view text, std::size_t limit = ShownTextLimit);

/// EscapedText between double quotes: how messages show a value, a token or a
/// title ("the value \"2O\" ...").
std::string ShownText(std::string_view text, std::size_t limit = ShownTextLimit);

} // namespace tessarin
