#pragma once
// Find Serial Numbers in Files: the database files of a folder that hold
// any of the listed loggers, found on a worker thread while the window stays
// responsive, and opened as list windows. The window keeps its lists between
// showings within a run.

#include "CatalogueSearch.h"

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmCatalogue : public QDialog
{
    Q_OBJECT
public:
    explicit frmCatalogue(QWidget* parent = nullptr);
    ~frmCatalogue() override;

    void LoadResources();
    void cmdAddSerial_Click();
    void cmdRemoveSer_Click();
    void cmdClearSer_Click();
    void cmdFind_Click();
    void CmdOpen_Click();
    void Command1_Click();
    void cmdCancel_Click();
    // Shows the folder's database files and makes it the current folder.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    // Where a showing starts: the folder of the bound list window's file, else
    // the folder last searched or browsed to; never the bare root.
    static QString startFolder();

    bool searching() const { return m_watcher.isRunning(); }
    // Waits for a running search to end (tests, and closing the program).
    void waitForSearch();

    QLineEdit* TxtSerial;
    QListWidget* ListSer;
    QPushButton *cmdAddSerial, *cmdRemoveSer, *cmdClearSer;
    QLabel* LblSerial;
    QLineEdit* Dir1;
    QPushButton* cmdBrowse;
    QListWidget* File1;
    QPushButton* cmdFind;
    QListWidget* List_found;
    QPushButton *CmdOpen, *Command1, *cmdCancel;
    QLabel* Label1;
    // What each pane holds.
    QLabel *lblSerials, *lblFolder, *lblFiles, *lblFound;

signals:
    void searchFinished();

protected:
    void done(int result) override;

private:
    void addFound(const QString& path);
    void setSerialButtons(bool enabled);
    void searchEnded();

    QString m_folder;
    QFutureWatcher<void> m_watcher;
    std::atomic_bool m_stop{false};
    bool m_foundAny = false;
    int m_unreadable = 0;
};
