#include "gui/stats/charts.h"

#include "gui/stats/settlementchart.h"
#include "gui/widgets/gbktext.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

constexpr std::size_t MOST_SLICES = 7;
// One colour a slice, far enough apart to tell neighbours from each other.
const QColor SLICE_COLOURS[MOST_SLICES] = {{220, 60, 50},  {240, 150, 40}, {230, 210, 60}, {90, 180, 80},
                                           {60, 170, 200}, {70, 100, 200}, {150, 90, 190}};

QChartView* chartView(QChart* chart, QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

} // namespace

QWidget* sharePieChart(const std::vector<ItemShare>& shares, QWidget* parent) {
    const PieChart pie = pieChart(shares, MOST_SLICES);
    auto* series = new QPieSeries;
    series->setPieSize(0.9);
    for (const PieSlice& slice : pie.slices) {
        QPieSlice* drawn = series->append(fromGbk(slice.item), slice.sum);
        drawn->setColor(SLICE_COLOURS[static_cast<std::size_t>(series->count() - 1) % MOST_SLICES]);
        drawn->setBorderColor(Qt::white);
    }
    auto* chart = new QChart;
    chart->addSeries(series); // gives the slices their colours
    chart->legend()->hide();
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->setBackgroundRoundness(0);

    // The labels live in a legend of the widget's own, which wraps instead of cutting a text short.
    QString legend;
    const QList<QPieSlice*> drawn = series->slices();
    for (std::size_t i = 0; i < pie.slices.size(); ++i)
        legend += QStringLiteral("<span style=\"color:%1\">&#9632;</span> %2 %3%<br>")
                      .arg(drawn[static_cast<qsizetype>(i)]->color().name(),
                           fromGbk(pie.slices[i].item).toHtmlEscaped(), fromGbk(pie.slices[i].share));
    if (!pie.notDrawn.empty()) {
        QStringList names;
        for (const ItemShare& item : pie.notDrawn)
            names << fromGbk(item.item).toHtmlEscaped();
        legend += QStringLiteral("<br>饼图无法画出金额不为正的项目：%1").arg(names.join(QStringLiteral("、")));
    }

    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("shareChart"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    QChartView* view = chartView(chart, box);
    view->setObjectName(QStringLiteral("sharePie"));
    view->setMinimumSize(260, 220);
    auto* labels = new QLabel(legend, box);
    labels->setObjectName(QStringLiteral("shareLegend"));
    labels->setWordWrap(true);
    labels->setTextFormat(Qt::RichText);
    layout->addWidget(view, 1);
    layout->addWidget(labels);
    return box;
}

SettlementChart::SettlementChart(int year, const StatisticsView& settlement, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("%1年各月收支").arg(year));
    struct Bars {
        const char* caption;
        const std::vector<double>& values;
        QColor colour;
    };
    const Bars bars[] = {{"支出", settlement.monthExpense, QColor(255, 0, 0)},
                         {"收入", settlement.monthIncome, QColor(0, 190, 0)},
                         {"结余", settlement.monthBalance, QColor(128, 0, 0)}};
    auto* series = new QBarSeries;
    double lowest = 0, highest = 0;
    for (const Bars& bar : bars) {
        auto* set = new QBarSet(QString::fromUtf8(bar.caption));
        set->setColor(bar.colour);
        for (const double value : bar.values) {
            *set << value;
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
        series->append(set);
    }
    QStringList months;
    for (std::size_t m = 1; m <= settlement.monthExpense.size(); ++m)
        months << QStringLiteral("%1月").arg(m);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(months);
    auto* axisY = new QValueAxis;
    // Room above and below, so a month that spent more than it took in is not cut off.
    const double span = highest - lowest > 0 ? highest - lowest : 1;
    axisY->setRange(lowest < 0 ? lowest - span * 0.05 : 0, highest > 0 ? highest + span * 0.05 : 1);
    axisY->applyNiceNumbers(); // only ever widens the range
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    chart->legend()->setAlignment(Qt::AlignBottom);
    QChartView* view = chartView(chart, this);
    view->setObjectName(QStringLiteral("settlementChart"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view);
    resize(640, 400);
}
