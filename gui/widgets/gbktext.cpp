#include "gui/widgets/gbktext.h"

#include "core/ledger/gbk.h"

QString fromGbk(const std::string& gbk) { return QString::fromStdString(gbkToUtf8(gbk)); }

std::optional<std::string> toGbk(const QString& text) { return utf8ToGbk(text.toStdString()); }

QString fromPath(const std::string& path) { return QString::fromStdString(path); }

QString noteForEditing(const std::string& gbk) {
    QString text = fromGbk(gbk);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> noteFromEditing(const QString& text) {
    QString stored = text;
    stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return toGbk(stored);
}

std::optional<std::string> editedNote(const QString& text, const std::string& original) {
    if (text == noteForEditing(original))
        return original;
    return noteFromEditing(text);
}
