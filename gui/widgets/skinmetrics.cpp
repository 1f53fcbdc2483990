#include "gui/widgets/skinmetrics.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

SkinMetrics& current() {
    static SkinMetrics metrics;
    return metrics;
}

} // namespace

SkinMetrics loadSkinMetrics(int pixel) {
    SkinMetrics metrics;
    if (pixel == 0)
        return metrics;
    QFile file(QStringLiteral(":/pack/metrics.json"));
    if (!file.open(QIODevice::ReadOnly))
        return metrics;
    const QJsonObject pack = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonArray window = pack.value(QStringLiteral("window")).toArray();
    if (window.size() == 2)
        metrics.window = QSize(window[0].toInt(metrics.window.width()), window[1].toInt(metrics.window.height()));
    const auto number = [&pack](const char* key, auto fallback) {
        return static_cast<decltype(fallback)>(pack.value(QLatin1String(key)).toDouble(fallback));
    };
    metrics.stripHeight = number("stripHeight", metrics.stripHeight);
    metrics.tabHeight = number("tabHeight", metrics.tabHeight);
    metrics.fontPointSize = number("fontPointSize", metrics.fontPointSize);
    metrics.listScale = number("listScale", metrics.listScale);
    metrics.rowHeight = number("rowHeight", metrics.rowHeight);
    metrics.headerHeight = number("headerHeight", metrics.headerHeight);
    metrics.scrollBarExtent = number("scrollBarExtent", metrics.scrollBarExtent);
    metrics.fieldsWidth = number("fieldsWidth", metrics.fieldsWidth);
    const QString background =
        pixel == 1 ? QStringLiteral(":/pack/bitmap189.png") : QStringLiteral(":/pack/bitmap178.png");
    if (QFile::exists(background))
        metrics.background = background;
    if (QFile::exists(QStringLiteral(":/pack/title-help.png")))
        metrics.titleImages = QStringLiteral(":/pack/title");
    return metrics;
}

const SkinMetrics& skinMetrics() { return current(); }

void setSkinMetrics(const SkinMetrics& metrics) { current() = metrics; }
