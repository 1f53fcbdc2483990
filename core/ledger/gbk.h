#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversion between the GBK texts the program stores and UTF-8, for windows, JSON and file names.

// Strict: nullopt when the text holds a character GBK cannot represent or is not valid UTF-8.
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// Lossy: a byte sequence that is not valid GBK becomes U+FFFD. A character in GB18030's four-byte
// form, which no GBK text holds, is read as GB18030 (see shownGbk).
std::string gbkToUtf8(std::string_view gbk);

// A typed text that is only shown, never stored (a query's keyword in its result rows): GBK, with
// every character GBK cannot hold in GB18030's four-byte form, so gbkToUtf8 gives it back as typed.
// Text that is not valid UTF-8 becomes U+FFFD.
std::string shownGbk(std::string_view utf8);

// A user name as it appears in a file name on disk (UTF-8). Bytes that are not valid GBK are kept
// as they are, so two different names never map to the same file.
std::string gbkToFileName(std::string_view gbk);

// One of the program's own texts, written in UTF-8 in the source, as the GBK bytes it keeps.
std::string gbkText(std::string_view utf8);
