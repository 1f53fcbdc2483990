#pragma once

#include "core/pages/pagelists.h"

#include <QAbstractTableModel>
#include <QColor>

#include <functional>
#include <optional>

class QTableView;

// Shows a list computed by the core as it is: texts, headers and alignment come from it; the
// row colour, when coloured rows are on, from the record kind.
class RecordListModel final : public QAbstractTableModel {
public:
    using RowColour = std::function<std::optional<QColor>(RecordKind)>;

    explicit RecordListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Replaces the whole list (a model reset).
    void setList(ListTable list, RowColour colour = {});
    const ListTable& list() const { return m_list; }
    // "删除" where the hidden column holds positions: the record and its row go, the rows below
    // keep pointing at their records, the list is not rebuilt.
    void deleteDayRow(int row, std::vector<LedgerRecord>& records);
    // Shows new texts in one row.
    void replaceRow(int row, std::vector<std::string> cells);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ListTable m_list;
    RowColour m_colour;
};

// The colour of a row of this kind when coloured rows ("textcolor") are on.
std::optional<QColor> kindColour(RecordKind kind);

// A report-style list over the model: hidden first column, the columns' widths, full-row
// selection, grid lines and headers that can be dragged.
void setUpRecordList(QTableView* view, RecordListModel* model, const std::vector<ListColumn>& columns,
                     bool multipleSelection);

// The selected rows, top to bottom.
std::vector<std::size_t> selectedRows(const QTableView* view);
