#include "LoggerTableModel.h"

LoggerTableModel::LoggerTableModel(LoggerList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list)
{
    m_list.setObserver(this);
}

LoggerTableModel::~LoggerTableModel()
{
    m_list.setObserver(nullptr);
}

void LoggerTableModel::setHeaders(const QStringList& headers)
{
    m_headers = headers;
    emit headerDataChanged(Qt::Horizontal, 0, LoggerList::ColumnCount - 1);
}

int LoggerTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.LineCount();
}

int LoggerTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : LoggerList::ColumnCount;
}

QVariant LoggerTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int line = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return m_list.LineText(line, index.column());
    case RecordRole:
        return m_list.RecordOfLine(line);
    case KeyRole:
        return m_list.LineKey(line);
    default:
        return {};
    }
}

QVariant LoggerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_headers.size())
        return m_headers[section];
    return {};
}

void LoggerTableModel::linesAboutToBeReset()
{
    beginResetModel();
}

void LoggerTableModel::linesReset()
{
    endResetModel();
}

void LoggerTableModel::lineAboutToBeInserted(int line)
{
    beginInsertRows(QModelIndex(), line - 1, line - 1);
}

void LoggerTableModel::lineInserted(int)
{
    endInsertRows();
}

void LoggerTableModel::lineAboutToBeRemoved(int line)
{
    beginRemoveRows(QModelIndex(), line - 1, line - 1);
}

void LoggerTableModel::lineRemoved(int)
{
    endRemoveRows();
}

void LoggerTableModel::linesAboutToBeReordered()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // A line keeps its record through a sort, so the record finds it again.
    m_movingIndexes = persistentIndexList();
    m_movingRecords.clear();
    m_movingRecords.reserve(static_cast<size_t>(m_movingIndexes.size()));
    for (const QModelIndex& i : m_movingIndexes)
        m_movingRecords.push_back(m_list.RecordOfLine(i.row() + 1));
}

void LoggerTableModel::linesReordered()
{
    std::vector<int> lineOfRecord(static_cast<size_t>(m_list.RecordCount()) + 1, 0);
    for (int line = 1; line <= m_list.LineCount(); ++line)
        lineOfRecord[static_cast<size_t>(m_list.RecordOfLine(line))] = line;
    QModelIndexList to;
    to.reserve(m_movingIndexes.size());
    for (qsizetype k = 0; k < m_movingIndexes.size(); ++k) {
        const int line = lineOfRecord[static_cast<size_t>(m_movingRecords[static_cast<size_t>(k)])];
        to << (line ? index(line - 1, m_movingIndexes[k].column()) : QModelIndex());
    }
    changePersistentIndexList(m_movingIndexes, to);
    m_movingIndexes.clear();
    m_movingRecords.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LoggerTableModel::linesChanged(int first, int last)
{
    emit dataChanged(index(first - 1, 0), index(last - 1, LoggerList::ColumnCount - 1));
}
