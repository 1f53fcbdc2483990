#pragma once

#include <QDialog>

// The statistics dialogs opened from the statistics menu. Each shows its caption until its
// lists are built.
class StatisticsDialog : public QDialog {
public:
    StatisticsDialog(const QString& caption, QWidget* parent);
};

#define MZ_STATISTICS_DIALOG(Name, caption)                                                                            \
    class Name final : public StatisticsDialog {                                                                       \
    public:                                                                                                            \
        explicit Name(QWidget* parent) : StatisticsDialog(QStringLiteral(caption), parent) {}                          \
    };

MZ_STATISTICS_DIALOG(RecordQueryDialog, "自定义查询统计收支记录")
MZ_STATISTICS_DIALOG(DailyRecordsDialog, "详细显示每天所有收支记录")
MZ_STATISTICS_DIALOG(ExpenseShareDialog, "统计各个支出项目所占比例")
MZ_STATISTICS_DIALOG(IncomeShareDialog, "统计各个收入项目所占比例")
MZ_STATISTICS_DIALOG(DebtQueryDialog, "自定义查询统计债务记录")
MZ_STATISTICS_DIALOG(DailyDebtsDialog, "详细显示每天所有债务记录")

#undef MZ_STATISTICS_DIALOG
