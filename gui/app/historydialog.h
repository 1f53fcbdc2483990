#pragma once

#include "core/ledger/history.h"

#include <QDialog>

#include <vector>

class LedgerContext;
class QLineEdit;
class QPushButton;
class QTableView;
class RecordListModel;

// "历史版本": the versions of the user's record file, newest first. Restoring one replaces the
// records in memory with it and saves; the ledger being replaced goes into the history first, so
// a restore can itself be undone. A damaged version cannot be chosen.
class HistoryDialog final : public QDialog {
public:
    explicit HistoryDialog(LedgerContext& context, QWidget* parent = nullptr);

private:
    void fill();
    void onRestoreClicked();

    LedgerContext& m_context;
    std::vector<HistoryVersion> m_versions;
    std::vector<VersionSummary> m_summaries;
    QTableView* m_view;
    RecordListModel* m_model;
    QLineEdit* m_passwordEdit;
    QPushButton* m_restoreButton;
};
