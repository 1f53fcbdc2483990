#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversion between the GBK texts the program stores and UTF-8, for windows, JSON and file names.

// Strict: nullopt when the text holds a character GBK cannot represent or is not valid UTF-8.
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// Lossy: a byte sequence that is not valid GBK becomes U+FFFD.
std::string gbkToUtf8(std::string_view gbk);

// A user name as it appears in a file name on disk (UTF-8). Bytes that are not valid GBK are kept
// as they are, so two different names never map to the same file.
std::string gbkToFileName(std::string_view gbk);

// One of the program's own texts, written in UTF-8 in the source, as the GBK bytes it keeps.
std::string gbkText(std::string_view utf8);
