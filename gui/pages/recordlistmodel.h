#pragma once

#include "core/pages/pagelists.h"

#include <QAbstractTableModel>
#include <QColor>

#include <optional>

class QTableView;

// Shows a list computed by the core as it is: texts, headers and alignment come from it. A row
// may have a text colour of its own; rows without one use the default text colour.
class RecordListModel final : public QAbstractTableModel {
public:
    explicit RecordListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Replaces the whole list (a model reset); the rows' own colours go with it.
    void setList(ListTable list);
    // The row's own text colour; a row outside the list is ignored.
    void setRowTextColor(int row, const QColor& colour);
    // Every row in the colour of its record's kind, as the lists show them when "textcolor" is on.
    void colourRowsByKind();
    const ListTable& list() const { return m_list; }
    // "删除" where the hidden column holds positions: the record and its row go, the rows below
    // keep pointing at their records, the list is not rebuilt. What was taken, if anything.
    std::optional<Deletion> deleteDayRow(int row, std::vector<LedgerRecord>& records);
    // Shows new texts in one row.
    void replaceRow(int row, std::vector<std::string> cells);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ListTable m_list;
    std::vector<QColor> m_rowColours; // invalid: the default colour
};

// The colour of a row of this kind when coloured rows ("textcolor") are on.
std::optional<QColor> kindColour(RecordKind kind);

// A report-style list over the model: hidden first column, the columns' widths, full-row
// selection, grid lines and headers that can be dragged.
void setUpRecordList(QTableView* view, RecordListModel* model, const std::vector<ListColumn>& columns,
                     bool multipleSelection);

// The width that shows every column of the list without scrolling sideways.
int fullListWidth(const QTableView* view);

// The selected rows, top to bottom.
std::vector<std::size_t> selectedRows(const QTableView* view);
