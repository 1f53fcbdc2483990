#include "gui/app/settingspage.h"

#include "gui/accounts/passworddialog.h"
#include "gui/app/historydialog.h"
#include "gui/app/ledgercontext.h"
#include "gui/export/backupexport.h"
#include "gui/widgets/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const BACKUP_HELP =
    "\n导入导出说明：\n\n1.导入导出功能是为了方便用户对数据进行携带和备份，导入时所提供的条件选择可以让用户决定不同的导入方"
    "式；\n\n2.使用导出记录功能将把当前用户的所有收支记录导出到用户指定的文件中，以作数据的传输和备份使用，为保护用户的"
    "个人收支隐私，导出的数据将使用当前用户所用的密码加密；\n\n3.使用导入记录功能可以将以前用户所导出的数据导入为当前用"
    "户的数据，导入时，软件将要求用户输入密码和选择导入条件，如果用户选择了“清除当前所有记录”，那么在导入数据时就会先"
    "删除当前用户的所有收支数据才导入记录，如果不选择，软件将不进行删除覆盖等工作，直接把导入数据插入到当前记录中。";

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    return made;
}

} // namespace

SettingsPage::SettingsPage(LedgerContext& context, QWidget* parent)
    : LedgerPage(context, parent), m_autoSaveCheck(new QCheckBox(QStringLiteral("实时自动保存"), this)),
      m_textColourCheck(new QCheckBox(QStringLiteral("用颜色区分各列表中收支和债务项目（列表速度会略降）"), this)),
      m_layoutList(new QComboBox(this)), m_sizeList(new QComboBox(this)) {
    m_autoSaveCheck->setObjectName(QStringLiteral("autoSaveCheck"));
    m_textColourCheck->setObjectName(QStringLiteral("textColourCheck"));
    m_layoutList->setObjectName(QStringLiteral("layoutList"));
    m_sizeList->setObjectName(QStringLiteral("sizeList"));
    m_layoutList->addItems({QStringLiteral("1.x版本经典布局"), QStringLiteral("vanta+lume网友布局")});
    m_sizeList->addItems({QStringLiteral("正常"), QStringLiteral("稍大一点"), QStringLiteral("再大一点")});

    const bool autoSave = context.setting(AUTOSAVE) != 0;
    context.ledger().autoSave = autoSave;
    m_autoSaveCheck->setChecked(autoSave);
    m_textColourCheck->setChecked(context.setting(TEXT_COLOR) != 0);
    m_layoutList->setCurrentIndex(context.setting(LAYOUT));
    m_sizeList->setCurrentIndex(context.setting(PIXEL));

    auto* passwordButton = button(QStringLiteral("修改密码"), "passwordButton", this);
    auto* exportButton = button(QStringLiteral("导出记录"), "exportButton", this);
    auto* importButton = button(QStringLiteral("导入记录"), "importButton", this);
    auto* historyButton = button(QStringLiteral("历史版本…"), "historyButton", this);
    auto* help = new QPlainTextEdit(QString::fromUtf8(BACKUP_HELP), this);
    help->setObjectName(QStringLiteral("backupHelp"));
    help->setReadOnly(true);
    help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* lists = new QFormLayout;
    lists->addRow(QStringLiteral("软件大小："), m_sizeList);
    lists->addRow(QStringLiteral("界面布局："), m_layoutList);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {passwordButton, exportButton, importButton, historyButton})
        buttons->addWidget(each);
    buttons->addStretch();
    auto* checks = new QGroupBox(this);
    auto* checkLayout = new QVBoxLayout(checks);
    checkLayout->addWidget(m_autoSaveCheck);
    checkLayout->addWidget(m_textColourCheck);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(lists);
    layout->addWidget(checks);
    layout->addWidget(help, 1);

    connect(m_autoSaveCheck, &QCheckBox::clicked, this, &SettingsPage::onAutoSaveClicked);
    connect(m_textColourCheck, &QCheckBox::clicked, this, &SettingsPage::onTextColourClicked);
    connect(m_layoutList, &QComboBox::activated, this, &SettingsPage::onLayoutChosen);
    connect(m_sizeList, &QComboBox::activated, this, &SettingsPage::onSizeChosen);
    connect(passwordButton, &QPushButton::clicked, this, &SettingsPage::onPasswordClicked);
    connect(exportButton, &QPushButton::clicked, this, &SettingsPage::onExportClicked);
    connect(importButton, &QPushButton::clicked, this, &SettingsPage::onImportClicked);
    connect(historyButton, &QPushButton::clicked, this, [this] { HistoryDialog(m_context, this).exec(); });
}

void SettingsPage::onAutoSaveClicked(bool checked) {
    m_context.ledger().autoSave = checked;
    m_context.setSetting(AUTOSAVE, checked ? 1 : 0);
}

void SettingsPage::onTextColourClicked(bool checked) { m_context.setSetting(TEXT_COLOR, checked ? 1 : 0); }

void SettingsPage::onLayoutChosen(int layout) { m_context.setSetting(LAYOUT, layout); }

void SettingsPage::onSizeChosen(int pixel) {
    m_context.setSetting(PIXEL, pixel);
    m_context.prompter().showMessage(this, QStringLiteral("该修改须在重启软件后才能生效。"));
}

void SettingsPage::onPasswordClicked() {
    PasswordDialog dialog(m_context.ledger(), this);
    dialog.exec();
}

void SettingsPage::onExportClicked() { exportBackup(m_context, this); }

void SettingsPage::onImportClicked() { importBackup(m_context, this); }
