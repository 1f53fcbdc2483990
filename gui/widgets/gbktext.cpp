#include "gui/widgets/gbktext.h"

#include "core/ledger/gbk.h"

QString fromGbk(const std::string& gbk) { return QString::fromStdString(gbkToUtf8(gbk)); }

std::optional<std::string> toGbk(const QString& text) { return utf8ToGbk(text.toStdString()); }

QString fromPath(const std::string& path) { return QString::fromStdString(path); }
