#include "gui/stats/charts.h"

#include "gui/stats/settlementchart.h"
#include "gui/widgets/gbktext.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

constexpr std::size_t MOST_SLICES = 7;

QChartView* chartView(QChart* chart, QWidget* parent) {
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

} // namespace

QWidget* sharePieChart(const std::vector<ItemShare>& shares, QWidget* parent) {
    auto* series = new QPieSeries;
    for (const ItemShare& slice : pieSlices(shares, MOST_SLICES))
        series->append(fromGbk(slice.item), slice.sum);
    for (QPieSlice* slice : series->slices()) { // the percentages are known once every slice is in
        slice->setLabel(QStringLiteral("%1 %2%").arg(slice->label()).arg(slice->percentage() * 100, 0, 'f', 1));
        slice->setLabelVisible(true);
    }
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    chart->setMargins(QMargins(0, 0, 0, 0));
    QChartView* view = chartView(chart, parent);
    view->setObjectName(QStringLiteral("shareChart"));
    return view;
}

SettlementChart::SettlementChart(const QString& year, const std::vector<double>& expense,
                                 const std::vector<double>& income, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("%1年各月收支").arg(year));
    auto* expenseSet = new QBarSet(QStringLiteral("支出"));
    auto* incomeSet = new QBarSet(QStringLiteral("收入"));
    expenseSet->setColor(QColor(255, 0, 0));
    incomeSet->setColor(QColor(0, 190, 0));
    QStringList months;
    double top = 0;
    for (std::size_t m = 0; m < expense.size() && m < income.size(); ++m) {
        *expenseSet << expense[m];
        *incomeSet << income[m];
        months << QStringLiteral("%1月").arg(m + 1);
        top = std::max({top, expense[m], income[m]});
    }
    auto* series = new QBarSeries;
    series->append(expenseSet);
    series->append(incomeSet);
    auto* chart = new QChart;
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(months);
    auto* axisY = new QValueAxis;
    axisY->setRange(0, top > 0 ? top * 1.1 : 1);
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
