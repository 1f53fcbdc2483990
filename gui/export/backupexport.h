#pragma once

#include "core/export/backup.h"

#include <QDialog>

class LedgerContext;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QRadioButton;

// "导出设定": every record, a date range or a year.
class ExportSettingsDialog final : public QDialog {
public:
    ExportSettingsDialog(const std::vector<LedgerRecord>& records, QWidget* parent = nullptr);
    BackupChoice choice() const;

private:
    QRadioButton* m_all;
    QRadioButton* m_range;
    QDateEdit* m_fromEdit;
    QDateEdit* m_toEdit;
    QComboBox* m_yearList;
};

// "导入": the backup's password, and whether the current records go first.
class ImportDialog final : public QDialog {
public:
    explicit ImportDialog(QWidget* parent = nullptr);
    QString password() const;
    bool clearFirst() const;

private:
    QLineEdit* m_passwordEdit;
    QCheckBox* m_clearCheck;
};

// "导出记录" and "导入记录" of the settings page. An import changes the ledger in memory only.
void exportBackup(LedgerContext& context, QWidget* parent);
void importBackup(LedgerContext& context, QWidget* parent);
