#pragma once
// The one record editor of a run: a tool window that stays on top and shows
// the logger at the current line of the list window bound to it.

#include <QWidget>

struct LoggerRecord;
class QFormLayout;
class QLabel;

class frmDMAEdit : public QWidget
{
    Q_OBJECT
public:
    explicit frmDMAEdit(QWidget* parent = nullptr);

    // Readings the editor works with: the bound list's count, 0 when unbound.
    int NumHistories = 0;

    void showRecord(const LoggerRecord& rec);
    void clearRecord();
    // The level/spread bars back to empty.
    void resetGraph();
    // Between the narrow window and the wide one that shows the graph.
    void toggleGraph();
    bool graphShown() const { return m_graphShown; }

private:
    QLabel* m_serial;
    QLabel* m_location;
    QLabel* m_comment1;
    QLabel* m_comment2;
    QLabel* m_latest;
    QLabel* m_userComments;
    bool m_graphShown = false;
};
