#pragma once

#include "core/ledger/ledger.h"
#include "gui/stats/statisticscommand.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class CombinedPage;
class DebtPage;
class ExpensePage;
class IncomePage;
class LedgerContext;
class LedgerPage;
class QButtonGroup;
class QLabel;
class QPushButton;
class SettingsPage;
class StatisticsPage;

// The program's only top-level window: owns the ledger (in its context), runs the login, hosts the six pages
// behind four tab buttons and is the one place where the program ends, with a final save.
class MainWindow final : public QWidget {
public:
    // Shows the login and fills in the user; false when it was cancelled.
    using LoginStep = std::function<bool(Ledger& ledger, QWidget* parent)>;

    // Its size and background are those of skinMetrics().
    MainWindow(const std::string& programDir, const std::string& dataDir, LoginStep login = {});

    // Login, item lists, pages and the user's ledger. False when the program must end instead:
    // the login was cancelled, or the ledger could not be loaded (the user has been told).
    bool initialise();
    bool loginCancelled() const { return m_loginCancelled; }

    Ledger& ledger();
    LedgerContext& context() { return *m_context; }
    void setTabCaptions(int layout);
    void selectTab(int index); // as a press on tab button index (0-3)
    void runStatisticsCommand(StatisticsCommand command);
    // The end of the session (a signal, the desktop logging out): saves as a confirmed "X" does,
    // without asking, then closes.
    void endSession();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTopStrip();
    void createPages();
    bool loadLedger();
    void onHelpClicked();
    void onExitClicked();
    void showRecordsChange();

    LedgerContext* m_context;
    LoginStep m_login;
    bool m_loginCancelled = false;
    bool m_exitConfirmed = false;
    bool m_loaded = false; // the ledger was read: only then may it be written
    QPixmap m_background;
    QLabel* m_userLabel = nullptr;
    QLabel* m_helpPanel = nullptr;
    QButtonGroup* m_tabs = nullptr;
    std::array<QPushButton*, 4> m_tabButtons{};
    int m_selectedTab = 0;
    std::optional<QPoint> m_dragOffset;

    ExpensePage* m_expensePage = nullptr;
    IncomePage* m_incomePage = nullptr;
    DebtPage* m_debtPage = nullptr;
    StatisticsPage* m_statisticsPage = nullptr;
    SettingsPage* m_settingsPage = nullptr;
    CombinedPage* m_combinedPage = nullptr;
    std::array<QWidget*, 6> m_pages{};
};
