// mzscreenshots OUTDIR USER PASSWORD: pictures of the program on a demo ledger, for the README.
// It runs the program's own windows offscreen: the login, every page of both layouts, the
// statistics dialogs with their charts, and the main window at each of the three sizes. The
// ledger is the user's record file in the data directory, as the program itself finds it.
#include "core/app/datapaths.h"
#include "core/stats/statistics.h"
#include "gui/accounts/logindialog.h"
#include "gui/app/historydialog.h"
#include "gui/app/ledgercontext.h"
#include "gui/app/localisation.h"
#include "gui/app/mainwindow.h"
#include "gui/app/settings.h"
#include "gui/pages/entrypage.h"
#include "gui/stats/settlementchart.h"
#include "gui/stats/statisticsdialogs.h"
#include "gui/stats/statisticspage.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/skinmetrics.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QResource>
#include <QTableView>

#include <cstdio>

namespace {

const QDate SHOWN_DAY(2026, 11, 18);

QString outDir;

void save(QWidget& widget, const QString& name) {
    QApplication::processEvents();
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!widget.grab().save(path))
        std::fprintf(stderr, "mzscreenshots: %s cannot be written\n", qPrintable(path));
}

void saveDialog(QWidget& dialog, const QString& name) {
    dialog.show();
    save(dialog, name);
}

template <typename T> T* child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}

// Selects the first row of the page in view, so the picture shows the highlight.
void selectFirstRow(QWidget& window) {
    for (QTableView* view : window.findChildren<QTableView*>())
        if (view->isVisible() && view->model()->rowCount() > 0) {
            view->selectRow(0);
            return;
        }
}

// The main window of the demo user, at the size whose metrics are in use.
std::unique_ptr<MainWindow> openMainWindow(const std::string& programDir, const std::string& user,
                                           const std::string& password) {
    QFont font = QApplication::font();
    font.setPointSize(skinMetrics().fontPointSize);
    QApplication::setFont(font);
    auto window = std::make_unique<MainWindow>(programDir, dataDirectory(programDir), [&](Ledger& ledger, QWidget*) {
        ledger.userName = user;
        ledger.password = password;
        return true;
    });
    if (!window->initialise())
        return nullptr;
    for (const char* name : {"expensePage", "incomePage", "combinedPage", "debtPage"})
        if (auto* page = child<EntryPage>(*window, name))
            page->setPickedDate(SHOWN_DAY);
    auto* statistics = child<StatisticsPage>(*window, "statisticsPage");
    statistics->setPeriod(QDate(2026, 11, 1), QDate(2026, 11, 30));
    window->show();
    return window;
}

void showStatistics(MainWindow& window) {
    window.selectTab(2);
    auto* statistics = child<StatisticsPage>(window, "statisticsPage");
    child<QPushButton>(*statistics, "queryButton")->click();
    auto* days = child<QTableView>(*statistics, "periodList");
    days->selectRow(17);
    Q_EMIT days->clicked(days->model()->index(17, 0));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: mzscreenshots OUTDIR USER PASSWORD\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    const std::string user = *toGbk(QString::fromLocal8Bit(argv[2]));
    const std::string password = *toGbk(QString::fromLocal8Bit(argv[3]));
    QApplication::setApplicationName(QStringLiteral("明账小匣"));
    useChineseInterface();
    initWindowResources();
    const std::string programDir = programDirectory();

    Ledger noOne;
    noOne.dataDir = dataDirectory(programDir);
    LoginDialog login(noOne, QCoreApplication::applicationFilePath());
    saveDialog(login, QStringLiteral("login"));

    // Every page of both layouts at the normal size, and the statistics dialogs.
    for (const int layout : {0, 1}) {
        writeSetting(LAYOUT, layout);
        writeSetting(TEXT_COLOR, layout);
        auto window = openMainWindow(programDir, user, password);
        if (!window)
            return 1;
        for (int tab = 0; tab < 4; ++tab) {
            if (tab == 2)
                showStatistics(*window);
            else
                window->selectTab(tab);
            if (tab < 2)
                selectFirstRow(*window);
            save(*window, QStringLiteral("layout%1-tab%2").arg(layout).arg(tab + 1));
        }
        if (layout == 1) {
            LedgerContext& context = window->context();
            const CalendarDate from{2026, 11, 1}, to{2026, 11, 30};
            DailyRecordsDialog daily(context, from, to, window.get());
            saveDialog(daily, QStringLiteral("daily-records"));
            DailyDebtsDialog debts(context, from, to, window.get());
            saveDialog(debts, QStringLiteral("daily-debts"));
            ExpenseShareDialog expenses(context, from, to, window.get());
            saveDialog(expenses, QStringLiteral("expense-shares"));
            IncomeShareDialog income(context, from, to, window.get());
            saveDialog(income, QStringLiteral("income-shares"));
            RecordQueryDialog query(context, window.get());
            child<QComboBox>(query, "keywordCombo")->setEditText(QStringLiteral("饭"));
            child<QRadioButton>(query, "yearMode")->click();
            child<QPushButton>(query, "queryButton")->click();
            saveDialog(query, QStringLiteral("record-query"));
            DebtQueryDialog debtQuery(context, window.get());
            child<QComboBox>(debtQuery, "keywordCombo")->setEditText(QStringLiteral("小李"));
            child<QRadioButton>(debtQuery, "yearMode")->click();
            child<QPushButton>(debtQuery, "queryButton")->click();
            saveDialog(debtQuery, QStringLiteral("debt-query"));
            SettlementChart chart(2026, settleYear(context.ledger().records, 2026, true), window.get());
            saveDialog(chart, QStringLiteral("settlement-chart"));
            HistoryDialog history(context, window.get());
            saveDialog(history, QStringLiteral("history"));
        }
    }

    // The main window at each of the three sizes, its pack loaded as at start-up.
    for (const int pixel : {0, 1, 2}) {
        const QString pack = QString::fromStdString(programDir + resourcePackName(pixel));
        const bool loaded = pixel != 0 && QResource::registerResource(pack);
        setSkinMetrics(loadSkinMetrics(loaded ? pixel : 0));
        auto window = openMainWindow(programDir, user, password);
        if (!window)
            return 1;
        showStatistics(*window);
        save(*window, QStringLiteral("size%1").arg(pixel));
        window.reset();
        if (loaded)
            QResource::unregisterResource(pack);
    }
    return 0;
}
