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

// Notes keep their line breaks as CR LF, as the record and backup files have always held them; a
// text box shows and gives them with LF alone.
QString noteForEditing(const std::string& gbk);
// nullopt when the text holds a character GBK cannot represent.
std::optional<std::string> noteFromEditing(const QString& text);
// The note of a record after it was edited: the stored bytes themselves while the text is as it
// was shown, so a note passed through a dialog unchanged stays byte for byte what it was.
std::optional<std::string> editedNote(const QString& text, const std::string& original);
