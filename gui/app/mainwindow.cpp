#include "gui/app/mainwindow.h"

#include "gui/app/ledgercontext.h"

#include "core/ledger/filestore.h"
#include "core/ledger/itemlist.h"
#include "core/ledger/recordfile.h"
#include "gui/accounts/logindialog.h"
#include "gui/app/settings.h"
#include "gui/app/settingspage.h"
#include "gui/export/reportexport.h"
#include "gui/export/workbookexport.h"
#include "gui/pages/entrypage.h"
#include "gui/stats/statisticsdialogs.h"
#include "gui/stats/statisticspage.h"
#include "gui/widgets/gbktext.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/messages.h"
#include "gui/widgets/prompter.h"
#include "gui/widgets/skinmetrics.h"
#include "gui/widgets/skinstyle.h"
#include "gui/widgets/titlebutton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

namespace {

// The window's places at the normal size (780 × 495); a larger size scales them.
constexpr QRect PAGE_AREA(10, 72, 760, 413);
constexpr QRect HELP_PANEL(300, 30, 390, 230);
constexpr QRect TITLE_LABEL(12, 3, 220, 22);
constexpr QRect USER_LABEL(400, 3, 280, 22);
constexpr QRect FIRST_STRIP_BUTTON(690, 3, 26, 20); // "?", then "_" and "X" 28 pixels apart
constexpr QRect FIRST_TAB(12, 34, 98, 30);          // the others 102 pixels apart
constexpr QRect LINE(10, 67, 760, 3);

// A place of the normal layout at the size in use.
QRect scaled(const QRect& normal) {
    const SkinMetrics& metrics = skinMetrics();
    const double x = metrics.window.width() / 780.0, y = metrics.window.height() / 495.0;
    return QRect(qRound(normal.x() * x), qRound(normal.y() * y), qRound(normal.width() * x),
                 qRound(normal.height() * y));
}

// Tab captions by layout; other layout values leave the captions as they are.
const char* const TAB_CAPTIONS[2][4] = {
    {"支出记账", "收入记账", "收支统计", "系统设置"},
    {"收支记账", "债务记账", "财务统计", "系统设置"},
};

const char* const STATISTICS_HELP =
    "        可在此统计指定时间段内的收支情况，如果采用2.0版本后出现的新布局（设置里可选择），则还能统计借支债务等。\n\n"
    "        在“查询”按钮旁边的小按钮，点击可弹出统计菜单，能自定义统计并输出简单的收支记录。\n\n"
    "        “结算”按钮可按年度统计每个月的收支和债务情况，统计后选择每个月的统计项时，在下列表可观察这个月的所有记"
    "录。用“修改”按钮可进行修改。";
const char* const SETTINGS_HELP =
    "        在这里可以设置软件的规格大小，以适应上网本或不同分辨率的电脑，新版默认使用新的布局，但如果习惯旧版本的布"
    "局，也可在此设置，这里还提供了颜色区分各种账务的功能，但要注意的是有了颜色区分后，显示会慢些。";

// Help texts by selected tab and layout.
const char* const HELP_TEXTS[4][2] = {
    {"第1步：选择或输入日期，格式如2007-10-22；\n\n第2步：选择或输入项目，例如：早饭、交通等；\n\n第3步：填写支出金额，"
     "例如：12345.678；\n\n第4步：填写备注，例如：吃了10碗饭；\n\n第5步：确认无误后，请点击“添加”按钮保存。\n\n提示："
     "双击列表框中所选条目可进行编辑操作，右键点击可弹出操作菜单。",
     "第1步：选择是支出还是收入；\n\n第2步：选择或输入日期，格式如2007-10-22；\n\n第3步：选择或输入项目，例如：早饭、"
     "交通等；\n\n第4步：填写收支的数量和金额，例如：1箱可乐45.0；\n\n第5步：填写备注，例如：消暑饮品；\n\n第6步：确认无"
     "误后，请点击“添加”按钮保存。\n\n提示：双击列表框中所选条目可进行编辑操作，右键点击可弹出操作菜单。"},
    {"第1步：选择或输入日期，格式如2007-10-22；\n\n第2步：选择或输入项目，例如：工资、奖金等；\n\n第3步：填写收入金额，"
     "例如：12345.678；\n\n第4步：填写备注，例如：公司发的奖金；\n\n第5步：确认无误后，请点击“添加”按钮保存。\n\n提示："
     "双击列表框中所选条目可进行编辑操作，右键点击可弹出操作菜单。",
     "第1步：选择是借出还是借入；\n\n第2步：选择或输入日期，格式如2007-10-22；\n\n第3步：选择或输入对象，例如：老婆、"
     "老妈等；\n\n第4步：填写借出或借入金额，例如；\n\n第5步：填写备注，例如：答应下月归还等；\n\n第6步：确认无误后，"
     "请点击“添加”按钮保存。\n\n提示：双击列表框中所选条目可进行编辑操作，右键点击可弹出操作菜单。"},
    {STATISTICS_HELP, STATISTICS_HELP},
    {SETTINGS_HELP, SETTINGS_HELP},
};

QString helpText(int tab, int layout) {
    if (tab < 0 || tab > 3 || layout < 0 || layout > 1)
        return QStringLiteral("暂无说明。");
    return QString::fromUtf8(HELP_TEXTS[tab][layout]);
}

TitleButton* stripButton(const QString& caption, const char* name, const char* image, int place, QWidget* parent) {
    auto* button = new TitleButton(caption, skinMetrics().titleImages + QLatin1String(image), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(scaled(FIRST_STRIP_BUTTON.translated(28 * place, 0)));
    return button;
}

bool runLoginDialog(Ledger& ledger, QWidget* parent) {
    LoginDialog dialog(ledger, QCoreApplication::applicationFilePath(), parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

MainWindow::MainWindow(const std::string& programDir, const std::string& dataDir, LoginStep login)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_context(new LedgerContext(this)),
      m_login(login ? std::move(login) : runLoginDialog) {
    ledger().programDir = programDir;
    ledger().dataDir = dataDir;
    connect(m_context, &LedgerContext::settingChanged, this, [this](const char* name, int value) {
        if (std::string_view(name) == LAYOUT.name)
            setTabCaptions(value);
    });
    connect(m_context, &LedgerContext::statisticsCommandRequested, this, &MainWindow::runStatisticsCommand);
    connect(m_context, &LedgerContext::recordsChanged, this, &MainWindow::showRecordsChange);
    addAction(m_context->undoAction()); // Ctrl+Z anywhere in the window
    setObjectName(QStringLiteral("mainWindow"));
    setFixedSize(skinMetrics().window);
    setMouseTracking(true);
}

Ledger& MainWindow::ledger() { return m_context->ledger(); }

bool MainWindow::initialise() {
    setWindowIcon(programIcon(ProgramIcon::Program));
    if (!m_login(ledger(), this)) {
        m_loginCancelled = true;
        return false;
    }
    seedItemLists(ledger());
    setWindowTitle(QStringLiteral("明 账 小 匣"));

    // A resource pack carries the larger backgrounds; without one the built-in image is used.
    if (!m_background.load(skinMetrics().background))
        m_background.load(QStringLiteral(":/images/background.png"));

    buildTopStrip();
    createPages();
    m_userLabel->setText(QStringLiteral("当前用户：%1").arg(fromGbk(ledger().userName)));
    m_tabButtons[0]->setChecked(true);

    if (!loadLedger())
        return false;
    m_loaded = true;
    setTabCaptions(readSetting(LAYOUT));
    selectTab(0);
    requestSkin();
    return true;
}

void MainWindow::buildTopStrip() {
    auto* title = new QLabel(QStringLiteral("明 账 小 匣  2.0"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei")},
                    skinMetrics().fontPointSize * 4 / 3);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setGeometry(scaled(TITLE_LABEL));
    title->setStyleSheet(QStringLiteral("color: white;"));

    m_userLabel = new QLabel(QStringLiteral("当前用户："), this);
    m_userLabel->setObjectName(QStringLiteral("userLabel"));
    m_userLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_userLabel->setGeometry(scaled(USER_LABEL));
    m_userLabel->setStyleSheet(QStringLiteral("color: white;"));
    // The labels only show text: pressing or moving over them is pressing or moving over the window.
    for (QLabel* label : {title, m_userLabel})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(stripButton(QStringLiteral("?"), "helpButton", "-help", 0, this), &TitleButton::clicked, this,
            &MainWindow::onHelpClicked);
    connect(stripButton(QStringLiteral("_"), "minimiseButton", "-minimise", 1, this), &TitleButton::clicked, this,
            &QWidget::showMinimized);
    connect(stripButton(QStringLiteral("X"), "exitButton", "-close", 2, this), &TitleButton::clicked, this,
            &MainWindow::onExitClicked);

    m_tabs = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto* tab = new QPushButton(QString::fromUtf8(TAB_CAPTIONS[0][i]), this);
        tab->setObjectName(QStringLiteral("tab%1").arg(i + 1));
        tab->setCheckable(true);
        const QRect place = scaled(FIRST_TAB.translated(102 * i, 0));
        tab->setGeometry(place.x(), place.y(), place.width(), skinMetrics().tabHeight);
        m_tabs->addButton(tab, i);
        m_tabButtons[static_cast<std::size_t>(i)] = tab;
    }
    connect(m_tabs, &QButtonGroup::idClicked, this, &MainWindow::selectTab);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    const QRect place = scaled(LINE);
    line->setGeometry(place.x(), place.y(), place.width(), 3);
}

void MainWindow::createPages() {
    m_expensePage = new ExpensePage(*m_context, this);
    m_incomePage = new IncomePage(*m_context, this);
    m_debtPage = new DebtPage(*m_context, this);
    m_statisticsPage = new StatisticsPage(*m_context, this);
    m_settingsPage = new SettingsPage(*m_context, this); // reads the settings, autoSave among them
    m_combinedPage = new CombinedPage(*m_context, this);
    m_pages = {m_expensePage, m_incomePage, m_debtPage, m_statisticsPage, m_settingsPage, m_combinedPage};
    const char* const names[] = {"expensePage",    "incomePage",   "debtPage",
                                 "statisticsPage", "settingsPage", "combinedPage"};
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->setObjectName(QString::fromLatin1(names[i]));
        m_pages[i]->setGeometry(scaled(PAGE_AREA));
        m_pages[i]->hide();
    }
}

bool MainWindow::loadLedger() {
    ensureDirectory(ledger().dataDir);
    ledger().recordFilePath = recordFilePathFor(ledger().dataDir, ledger().userName);
    // What a killed save of this user's files left behind goes now, and versions a killed run was
    // still compressing are written.
    removeLeftoverTemporary(ledger().recordFilePath);
    completePendingVersions(ledger().recordFilePath);
    for (const ItemListKind kind : {ItemListKind::ExpenseItems, ItemListKind::IncomeItems, ItemListKind::Counterparts})
        removeLeftoverTemporary(itemListPath(ledger(), kind));
    auto file = std::make_unique<FileSource>(ledger().recordFilePath);
    if (file->status() == FileRead::Status::Missing) {
        // The file went away after the login: start this user again with an empty ledger.
        if (saveLedger(ledger()))
            file = std::make_unique<FileSource>(ledger().recordFilePath);
    }
    if (file->status() != FileRead::Status::Ok) {
        prompter().showMessage(this, recordFileCannotOpenMessage(ledger().recordFilePath));
        return false;
    }
    const ReadResult result = serializeLedger(ledger(), *file);
    if (result.status == ReadResult::Status::WrongCredentials) {
        prompter().showMessage(this, QStringLiteral("记录文件%1在登录后被更改，用户名或密码已不相符，无法读取。")
                                         .arg(fromPath(ledger().recordFilePath)));
        return false;
    }
    if (!result.ok()) {
        prompter().showMessage(this, damagedRecordFileMessage(ledger().recordFilePath, result));
        return false;
    }
    m_context->rememberRecordFile();
    return true;
}

void MainWindow::setTabCaptions(int layout) {
    if (layout != 0 && layout != 1)
        return;
    for (std::size_t i = 0; i < m_tabButtons.size(); ++i)
        m_tabButtons[i]->setText(QString::fromUtf8(TAB_CAPTIONS[layout][i]));
}

void MainWindow::selectTab(int index) {
    m_selectedTab = index;
    m_tabButtons[static_cast<std::size_t>(index)]->setChecked(true);
    const int layout = readSetting(LAYOUT);
    for (QWidget* page : m_pages)
        page->hide();
    LedgerPage* shown = nullptr;
    switch (index) {
    case 0:
        shown = layout == 0 ? static_cast<LedgerPage*>(m_expensePage) : layout == 1 ? m_combinedPage : nullptr;
        break;
    case 1:
        shown = layout == 0 ? static_cast<LedgerPage*>(m_incomePage) : layout == 1 ? m_debtPage : nullptr;
        break;
    case 2:
        shown = m_statisticsPage;
        break;
    case 3:
        m_settingsPage->show();
        return;
    }
    if (shown) {
        shown->show();
        shown->refresh();
    }
}

void MainWindow::runStatisticsCommand(StatisticsCommand command) {
    const LedgerContext& context = *m_context;
    const auto [from, to] = m_statisticsPage->selectedPeriod();
    switch (command) {
    case StatisticsCommand::RecordQuery:
        RecordQueryDialog(context, this).exec();
        break;
    case StatisticsCommand::DebtQuery:
        DebtQueryDialog(context, this).exec();
        break;
    case StatisticsCommand::DailyRecords:
        DailyRecordsDialog(context, from, to, this).exec();
        break;
    case StatisticsCommand::ExpenseShare:
        ExpenseShareDialog(context, from, to, this).exec();
        break;
    case StatisticsCommand::IncomeShare:
        IncomeShareDialog(context, from, to, this).exec();
        break;
    case StatisticsCommand::DailyDebts:
        DailyDebtsDialog(context, from, to, this).exec();
        break;
    case StatisticsCommand::TextReportI:
        exportTextReport(context, from, to, ReportFormat::I, this);
        break;
    case StatisticsCommand::TextReportII:
        exportTextReport(context, from, to, ReportFormat::II, this);
        break;
    case StatisticsCommand::WorkbookReportI:
        exportWorkbookReport(context, from, to, ReportFormat::I, this);
        break;
    case StatisticsCommand::WorkbookReportII:
        exportWorkbookReport(context, from, to, ReportFormat::II, this);
        break;
    }
}

void MainWindow::onHelpClicked() {
    if (!m_helpPanel) {
        m_helpPanel = new QLabel(this);
        m_helpPanel->setObjectName(QStringLiteral("helpPanel"));
        m_helpPanel->setGeometry(scaled(HELP_PANEL));
        m_helpPanel->setWordWrap(true);
        m_helpPanel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_helpPanel->setMargin(6);
        m_helpPanel->setStyleSheet(QStringLiteral("QLabel { color: red; background: white; border: 1px solid gray; }"));
    }
    m_helpPanel->setText(helpText(m_selectedTab, readSetting(LAYOUT)));
    m_helpPanel->show();
    m_helpPanel->raise();
}

void MainWindow::onExitClicked() {
    if (!prompter().askYesNo(this, QStringLiteral("您确认要退出？")))
        return;
    // The window stays open when the ledger is not written, so nothing typed is lost.
    if (!m_context->save(this))
        return;
    m_exitConfirmed = true;
    close();
}

void MainWindow::endSession() {
    // As a confirmed "X", without a question: whatever else wrote the file goes into the history.
    if (m_loaded)
        m_context->save(this, false);
    m_context->finishHistory();
    m_exitConfirmed = true;
    close();
}

void MainWindow::showRecordsChange() {
    if (m_statisticsPage->isVisible()) {
        m_statisticsPage->showLedgerChange();
        return;
    }
    for (QWidget* page : m_pages)
        if (page->isVisible())
            if (auto* shown = dynamic_cast<LedgerPage*>(page))
                shown->refresh();
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawTiledPixmap(rect(), m_background);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || event->position().y() >= skinMetrics().stripHeight)
        return;
    // The desktop moves the window where it can; elsewhere it follows the mouse.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *m_dragOffset);
        return;
    }
    if (m_helpPanel)
        m_helpPanel->hide();
}

void MainWindow::mouseReleaseEvent(QMouseEvent*) { m_dragOffset.reset(); }

void MainWindow::closeEvent(QCloseEvent* event) {
    // Only "X" ends the program; the window manager's close request is ignored.
    if (m_exitConfirmed)
        event->accept();
    else
        event->ignore();
}
