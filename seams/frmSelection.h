#pragma once
// A modal list of check boxes and an OK button: the caller fills it, shows
// it and reads back what was ticked (the received files to open, the lists
// to send, the dates of a report).

#include <QDialog>

class QPushButton;
class QTreeWidget;

class frmSelection : public QDialog
{
    Q_OBJECT
public:
    explicit frmSelection(QWidget* parent = nullptr);

    void clearNodes();
    // A node with a check box: key is what the caller knows it by, text what it shows.
    void addNode(const QString& key, const QString& text, bool checked = false);
    // The keys of the ticked nodes, in order.
    QStringList checkedKeys() const;
    // Ticks or unticks the node of that key (tests, and callers that preset).
    void setChecked(const QString& key, bool checked);

    QTreeWidget* TreeViewSelect;
    QPushButton* CommandOK;

protected:
    // Wide enough for its title and its lines (whole paths), as the screen allows.
    void showEvent(QShowEvent* event) override;
};
