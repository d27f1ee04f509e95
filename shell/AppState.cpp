#include "AppState.h"

#include "frmDMA.h"
#include "frmDMAEdit.h"
#include "frmMain.h"

#include <QDateTime>

namespace {
QPointer<frmMain> g_main;
QPointer<frmDMAEdit> g_editor;
QPointer<frmDMA> g_activeList;
int g_newDocuments = 0;
qint64 (*g_clock)() = nullptr;
} // namespace

namespace App {

frmMain* MainWindow()
{
    return g_main.data();
}

QWidget* MainWindowWidget()
{
    return g_main.data();
}

void SetMainWindow(frmMain* window)
{
    g_main = window;
}

frmDMAEdit* Editor()
{
    return g_editor.data();
}

void SetEditor(frmDMAEdit* editor)
{
    g_editor = editor;
}

frmDMA* ActiveList()
{
    return g_activeList.data();
}

void SetActiveList(frmDMA* list)
{
    g_activeList = list;
}

bool IsObjectAlive(const QWidget* window)
{
    return window && !window->property("closed").toBool();
}

int NextNewDocumentNumber()
{
    return ++g_newDocuments;
}

void ResetNewDocumentCounter()
{
    g_newDocuments = 0;
    g_clock = nullptr;
}

QString& SplashDescription()
{
    static QString text;
    return text;
}

qint64 LocalEpochSeconds()
{
    if (g_clock)
        return g_clock();
    const QDateTime now = QDateTime::currentDateTime();
    return now.toSecsSinceEpoch() + now.offsetFromUtc();
}

void SetClockForTesting(qint64 (*clock)())
{
    g_clock = clock;
}

QString ApplicationTitle()
{
    return QStringLiteral("Quorvane");
}

void ResetForTesting()
{
    g_main = nullptr;
    g_editor = nullptr;
    g_activeList = nullptr;
    g_newDocuments = 0;
    g_clock = nullptr;
}

} // namespace App
