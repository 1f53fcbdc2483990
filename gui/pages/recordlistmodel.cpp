#include "gui/pages/recordlistmodel.h"

#include "gui/widgets/gbktext.h"
#include "gui/widgets/look.h"
#include "gui/widgets/skinmetrics.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace {

Qt::Alignment alignment(Align align) {
    switch (align) {
    case Align::Left:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Center:
        break;
    }
    return Qt::AlignCenter;
}

} // namespace

void RecordListModel::setList(ListTable list) {
    beginResetModel();
    m_list = std::move(list);
    m_rowColours.assign(m_list.rows.size(), QColor());
    endResetModel();
}

void RecordListModel::setRowTextColor(int row, const QColor& colour) {
    if (row < 0 || row >= rowCount())
        return;
    m_rowColours[static_cast<std::size_t>(row)] = colour;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole});
}

void RecordListModel::colourRowsByKind() {
    for (std::size_t row = 0; row < m_list.rowKinds.size(); ++row)
        if (const std::optional<QColor> colour = kindColour(m_list.rowKinds[row]))
            m_rowColours[row] = *colour;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::ForegroundRole});
}

std::optional<Deletion> RecordListModel::deleteDayRow(int row, std::vector<LedgerRecord>& records) {
    if (row < 0 || !listedRecord(records, m_list, static_cast<std::size_t>(row)))
        return std::nullopt;
    beginRemoveRows({}, row, row);
    std::optional<Deletion> deletion = ::deleteDayRow(records, m_list, static_cast<std::size_t>(row));
    m_rowColours.erase(m_rowColours.begin() + row);
    endRemoveRows();
    if (rowCount() > row) // the hidden positions below moved up
        Q_EMIT dataChanged(index(row, 0), index(rowCount() - 1, 0));
    return deletion;
}

void RecordListModel::replaceRow(int row, std::vector<std::string> cells) {
    if (row < 0 || row >= rowCount())
        return;
    m_list.rows[static_cast<std::size_t>(row)] = std::move(cells);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

std::optional<QColor> kindColour(RecordKind kind) {
    switch (kind) {
    case RecordKind::Expense:
        return QColor(255, 0, 0);
    case RecordKind::Income:
        return QColor(0, 255, 0);
    case RecordKind::Lent:
        return QColor(255, 0, 255);
    case RecordKind::Borrowed:
        return QColor(128, 0, 255);
    }
    return std::nullopt;
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.rows.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.columns.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return fromGbk(m_list.rows[row][column]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(m_list.columns[column].align));
    case Qt::ForegroundRole:
        if (m_rowColours[row].isValid())
            return m_rowColours[row];
        return {};
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const ListColumn& column = m_list.columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return fromGbk(column.header);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignment(column.align));
    return {};
}

void setUpRecordList(QTableView* view, RecordListModel* model, const std::vector<ListColumn>& columns,
                     bool multipleSelection) {
    view->setModel(model);
    ListTable empty;
    empty.columns = columns;
    model->setList(std::move(empty));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(multipleSelection ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(true);
    const SkinMetrics& metrics = skinMetrics();
    QFont listFont = view->font();
    listFont.setPointSize(metrics.fontPointSize);
    view->setFont(listFont);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    blackOnWhite(view);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(metrics.rowHeight > 0 ? metrics.rowHeight
                                                                        : view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionsMovable(true);
    view->horizontalHeader()->setHighlightSections(false);
    // The widths are made for a font whose digits are 6 pixels wide; a wider font widens them alike,
    // unless the size in use says by how much.
    const double scale = metrics.listScale > 0
                             ? metrics.listScale
                             : std::max(1.0, view->fontMetrics().horizontalAdvance(QLatin1Char('0')) / 6.0);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int section = static_cast<int>(i);
        view->setColumnHidden(section, columns[i].width == 0);
        if (columns[i].width != 0)
            view->setColumnWidth(section, static_cast<int>(columns[i].width * scale + 0.5));
    }
}

int fullListWidth(const QTableView* view) {
    int width = 2 * view->frameWidth() + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    for (int column = 0; column < view->model()->columnCount(); ++column)
        if (!view->isColumnHidden(column))
            width += view->columnWidth(column);
    return width;
}

std::vector<std::size_t> selectedRows(const QTableView* view) {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}
