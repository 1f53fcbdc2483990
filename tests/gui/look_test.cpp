// The program's own look: a few pixels of its controls, the sizes of its packs, and Qt's own texts
// in Chinese.
#include "core/accounts/useraccounts.h"
#include "core/app/datapaths.h"
#include "core/stats/statistics.h"
#include "gui/accounts/logindialog.h"
#include "gui/accounts/newuserdialog.h"
#include "gui/accounts/passworddialog.h"
#include "gui/app/ledgercontext.h"
#include "gui/app/mainwindow.h"
#include "gui/app/settings.h"
#include "gui/export/backupexport.h"
#include "gui/ledger/quickinputeditor.h"
#include "gui/pages/editrecorddialog.h"
#include "gui/pages/recordlistmodel.h"
#include "gui/pages/writeoffdialog.h"
#include "gui/stats/settlementchart.h"
#include "gui/stats/statisticsdialogs.h"
#include "gui/widgets/skinmetrics.h"
#include "gui/widgets/skinstyle.h"
#include "gui/widgets/titlebutton.h"
#include "tests/gui/guitest.h"
#include "tests/support/tempdir.h"

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QResource>
#include <QScrollBar>
#include <QTableView>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

std::string rgb(const QColor& c) {
    return "(" + std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue()) + ")";
}

bool hasColour(const QImage& image, const QRect& area, const QColor& colour) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (near(image.pixelColor(x, y), colour, 6))
                return true;
    return false;
}

bool skinned() { return dynamic_cast<SkinStyle*>(QApplication::style()) != nullptr; }

// A push button's body at its top and bottom, beside the caption.
std::pair<QColor, QColor> bodyEdges(QPushButton& button) {
    const QImage image = button.grab().toImage();
    return {image.pixelColor(image.width() / 2, 2), image.pixelColor(image.width() / 2, image.height() - 3)};
}

TEST(Look, PushButtonsCheckBoxesAndListsAreDrawnInTheProgramsColours) {
    if (!skinned())
        GTEST_SKIP() << "the desktop's own look is in use";
    QWidget window;
    auto* normal = new QPushButton(QString(), &window);
    auto* hot = new QPushButton(QString(), &window);
    auto* disabled = new QPushButton(QString(), &window);
    auto* box = new QCheckBox(QStringLiteral("实时自动保存"), &window);
    for (QWidget* widget : std::initializer_list<QWidget*>{normal, hot, disabled})
        widget->resize(80, 24);
    box->resize(120, 20);
    box->setChecked(true);
    disabled->setEnabled(false);
    hot->setAttribute(Qt::WA_UnderMouse); // the mouse is over it
    window.show();

    const auto [normalTop, normalBottom] = bodyEdges(*normal);
    EXPECT_TRUE(near(normalTop, QColor(255, 255, 255))) << rgb(normalTop);
    EXPECT_TRUE(near(normalBottom, QColor(226, 223, 214))) << rgb(normalBottom);
    const auto [hotTop, hotBottom] = bodyEdges(*hot);
    EXPECT_TRUE(near(hotTop, QColor(255, 240, 207))) << rgb(hotTop);
    EXPECT_TRUE(near(hotBottom, QColor(229, 151, 0), 24)) << rgb(hotBottom);
    const QImage off = disabled->grab().toImage();
    EXPECT_EQ(off.pixelColor(off.width() / 2, off.height() / 2), QColor(245, 244, 234));
    EXPECT_TRUE(hasColour(box->grab().toImage(), QRect(0, 0, 14, 20), QColor(33, 162, 33))); // the tick

    QTableView list(&window);
    RecordListModel model;
    setUpRecordList(&list, &model, {{"日期", 100, Align::Center}, {"金额", 100, Align::Right}}, false);
    ListTable rows;
    rows.columns = model.list().columns;
    rows.rows = {{"2026-12-01", "8888888"}, {"2026-12-02", "8888888"}};
    model.setList(rows);
    model.setRowTextColor(1, QColor(255, 0, 0));
    model.setRowTextColor(7, QColor(0, 0, 255)); // no such row: nothing happens
    list.resize(260, 120);
    list.show();
    EXPECT_EQ(list.horizontalHeader()->height(), 19);
    const QImage shown = list.viewport()->grab().toImage();
    const int rowHeight = list.rowHeight(0);
    EXPECT_FALSE(hasColour(shown, QRect(0, 0, shown.width(), rowHeight), QColor(255, 0, 0)));
    EXPECT_TRUE(hasColour(shown, QRect(0, rowHeight, shown.width(), rowHeight), QColor(255, 0, 0)));
    model.setList(rows); // a new list has no colours of the old one
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::ForegroundRole).isValid());
}

TEST(Look, TitleButtonsAreHighlightedOnlyWhileTheMouseIsOverThem) {
    TitleButton button(QStringLiteral("X"), QStringLiteral(":/images/title-close"), nullptr);
    button.resize(26, 20);
    button.show();
    const QImage before = button.grab().toImage();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(button.highlighted());
    EXPECT_NE(button.grab().toImage(), before);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.highlighted());
    EXPECT_EQ(button.grab().toImage(), before);
}

class PackTest : public testing::Test {
protected:
    void SetUp() override {
        resetSettings();
        ASSERT_EQ(createUser(home.path() + "DataRec/", "bob", "pw"), CreateUserResult::Created);
    }
    void TearDown() override { setSkinMetrics(SkinMetrics()); }

    std::unique_ptr<MainWindow> open() {
        auto window = std::make_unique<MainWindow>(home.path(), home.path() + "DataRec/", [](Ledger& ledger, QWidget*) {
            ledger.userName = "bob";
            ledger.password = "pw";
            return true;
        });
        EXPECT_TRUE(window->initialise());
        window->show();
        return window;
    }

    static QString pack(const char* name) {
        return QFileInfo(QStringLiteral(MINGZHANG_PATH)).absolutePath() + QLatin1Char('/') + QLatin1String(name);
    }

    TempDir home;
    FakePrompter prompts;
};

TEST_F(PackTest, ThePackOfTheSizeMakesTheWindowLargerAndAMissingOneMeansNormalSize) {
    EXPECT_EQ(loadSkinMetrics(1).window, QSize(780, 495)); // no pack registered: normal size
    ASSERT_TRUE(QResource::registerResource(pack("Skin800.rcc")));
    const SkinMetrics larger = loadSkinMetrics(1);
    EXPECT_TRUE(QResource::unregisterResource(pack("Skin800.rcc")));
    EXPECT_GT(larger.window.width(), 780);
    EXPECT_EQ(larger.background, QStringLiteral(":/pack/bitmap189.png"));
    EXPECT_EQ(resourcePackName(1), "Skin800.rcc");

    setSkinMetrics(larger);
    auto window = open();
    EXPECT_EQ(window->size(), larger.window);
}

// At 稍大一点 every list of every page shows all its columns without scrolling sideways.
TEST_F(PackTest, AtTheLargerSizeNoListScrollsSideways) {
    ASSERT_TRUE(QResource::registerResource(pack("Skin800.rcc")));
    setSkinMetrics(loadSkinMetrics(1));
    QFont font = QApplication::font();
    const QFont saved = font;
    font.setPointSize(skinMetrics().fontPointSize);
    QApplication::setFont(font);
    for (const int layout : {0, 1}) {
        writeSetting(LAYOUT, layout);
        auto window = open();
        for (int tab = 0; tab < 3; ++tab) {
            window->selectTab(tab);
            QApplication::processEvents();
            for (QTableView* list : window->findChildren<QTableView*>()) {
                if (!list->isVisible())
                    continue;
                EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0)
                    << "layout " << layout << " tab " << tab << " " << list->objectName().toStdString();
            }
        }
    }
    QApplication::setFont(saved);
    EXPECT_TRUE(QResource::unregisterResource(pack("Skin800.rcc")));
}

TEST(Look, QtsOwnTextsAreChinese) {
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_TRUE(texts.join(QLatin1Char(' ')).contains(QStringLiteral("复制")))
        << texts.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(QLocale().monthName(1), QStringLiteral("一月"));
}

// At the normal size every dialog fits a screen of 1024 × 768, its frame and a panel included.
TEST_F(PackTest, EveryDialogFitsASmallScreen) {
    LedgerContext context;
    Ledger& ledger = context.ledger();
    ledger.dataDir = home.path() + "DataRec/";
    ledger.userName = "bob";
    ledger.password = "pw";
    LedgerRecord debt;
    debt.kind = RecordKind::Lent;
    debt.year = 2026;
    debt.month = 11;
    debt.day = 5;
    debt.item = "x";
    ledger.records = {debt};
    const CalendarDate from{2026, 11, 1}, to{2026, 11, 30};
    std::vector<std::unique_ptr<QWidget>> dialogs;
    dialogs.push_back(std::make_unique<LoginDialog>(ledger, QStringLiteral("/bin/true")));
    dialogs.push_back(std::make_unique<NewUserDialog>(ledger));
    dialogs.push_back(std::make_unique<PasswordDialog>(ledger));
    dialogs.push_back(std::make_unique<QuickInputEditor>(ledger, ItemListKind::ExpenseItems));
    dialogs.push_back(std::make_unique<EditRecordDialog>(context, EditMode::WithQuantity, 0));
    dialogs.push_back(std::make_unique<WriteOffDialog>(context, 0));
    dialogs.push_back(std::make_unique<ExportSettingsDialog>(ledger.records));
    dialogs.push_back(std::make_unique<ImportDialog>());
    dialogs.push_back(std::make_unique<DailyRecordsDialog>(context, from, to));
    dialogs.push_back(std::make_unique<DailyDebtsDialog>(context, from, to));
    dialogs.push_back(std::make_unique<ExpenseShareDialog>(context, from, to));
    dialogs.push_back(std::make_unique<IncomeShareDialog>(context, from, to));
    dialogs.push_back(std::make_unique<RecordQueryDialog>(context));
    dialogs.push_back(std::make_unique<DebtQueryDialog>(context));
    dialogs.push_back(std::make_unique<SettlementChart>(2026, settleYear(ledger.records, 2026, true)));
    for (const std::unique_ptr<QWidget>& dialog : dialogs) {
        dialog->show();
        QApplication::processEvents();
        const QSize size = dialog->size().expandedTo(dialog->minimumSizeHint());
        EXPECT_LE(size.width(), 1024 - 16) << dialog->windowTitle().toStdString();
        EXPECT_LE(size.height(), 768 - 80) << dialog->windowTitle().toStdString();
    }
}

} // namespace
