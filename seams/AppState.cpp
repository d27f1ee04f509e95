#include "AppState.h"

#include "ListWindow.h"
#include "RecordEditor.h"
#include "WindowHost.h"

#include <QDateTime>
#include <QPointer>

namespace {
WindowHost* g_host = nullptr;
QPointer<QWidget> g_hostWidget; // the host goes when its widget does
QPointer<RecordEditor> g_editor;
QPointer<ListWindow> g_activeList;
int g_newDocuments = 0;
qint64 (*g_clock)() = nullptr;
} // namespace

namespace App {

WindowHost* Host()
{
    return g_hostWidget ? g_host : nullptr;
}

void SetHost(WindowHost* host)
{
    g_host = host;
    g_hostWidget = host ? host->frameWidget() : nullptr;
}

QWidget* MainWindowWidget()
{
    return g_hostWidget.data();
}

RecordEditor* Editor()
{
    return g_editor.data();
}

void SetEditor(RecordEditor* editor)
{
    g_editor = editor;
}

ListWindow* ActiveList()
{
    return g_activeList.data();
}

void SetActiveList(ListWindow* list)
{
    if (g_activeList == list)
        return;
    g_activeList = list;
    if (WindowHost* host = Host())
        host->refreshCommands();
    emit Signals().activeListChanged();
}

StateSignals& Signals()
{
    static StateSignals state;
    return state;
}

ListWindow* UsableActiveList()
{
    ListWindow* list = ActiveList();
    return IsObjectAlive(list) ? list : nullptr;
}

bool IsObjectAlive(const QWidget* window)
{
    return window && !window->property("closed").toBool();
}

void MarkClosed(QWidget* window)
{
    window->setProperty("closed", true);
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
    g_host = nullptr;
    g_hostWidget = nullptr;
    g_editor = nullptr;
    g_activeList = nullptr;
    g_newDocuments = 0;
    g_clock = nullptr;
}

} // namespace App
