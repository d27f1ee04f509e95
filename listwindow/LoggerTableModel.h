#pragma once
// The lines of a document as a Qt table: row r is line r + 1, computed when
// the view asks for it, so nothing is built per line.

#include "LoggerList.h"

#include <QAbstractTableModel>
#include <QStringList>

class LoggerTableModel : public QAbstractTableModel, private LoggerListObserver
{
    Q_OBJECT
public:
    enum Role {
        RecordRole = Qt::UserRole, // the record index the line names
        KeyRole,                   // its key text, "12x"
    };

    LoggerTableModel(LoggerList& list, QObject* parent = nullptr);
    ~LoggerTableModel() override;

    void setHeaders(const QStringList& headers);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void linesAboutToBeReset() override;
    void linesReset() override;
    void lineAboutToBeInserted(int line) override;
    void lineInserted(int line) override;
    void lineAboutToBeRemoved(int line) override;
    void lineRemoved(int line) override;
    void linesAboutToBeReordered() override;
    void linesReordered() override;
    void linesChanged(int first, int last) override;

    LoggerList& m_list;
    QStringList m_headers;
    // Across a reorder, the record each remembered index named.
    QModelIndexList m_movingIndexes;
    std::vector<int> m_movingRecords;
};
