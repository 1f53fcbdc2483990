#pragma once

#include <QString>

#include <optional>
#include <string>

// The window boundary: the program keeps GBK bytes, the widgets show QStrings.
QString fromGbk(const std::string& gbk);
// nullopt when the text holds a character GBK cannot represent.
std::optional<std::string> toGbk(const QString& text);
// A native path (UTF-8) for display.
QString fromPath(const std::string& path);
