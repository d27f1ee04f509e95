#pragma once
// The one record editor of a run: a tool window that stays on top and shows
// the logger at the current line of the list window bound to it.

#include "RecordEditor.h"

class QLabel;

class frmDMAEdit : public RecordEditor
{
    Q_OBJECT
public:
    explicit frmDMAEdit(QWidget* parent = nullptr);

    void showRecord(const LoggerRecord& rec) override;
    void clearRecord() override;
    void toggleGraph() override;
    bool graphShown() const override { return m_graphShown; }

private:
    QLabel* m_serial;
    QLabel* m_location;
    QLabel* m_comment1;
    QLabel* m_comment2;
    QLabel* m_latest;
    QLabel* m_userComments;
    bool m_graphShown = false;
};
