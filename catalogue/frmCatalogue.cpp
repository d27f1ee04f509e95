#include "frmCatalogue.h"

#include "AppState.h"
#include "FileResult.h"
#include "LangText.h"
#include "ListWindow.h"
#include "ListWindowFeature.h"
#include "LoggerList.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "SettingsStore.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

QPushButton* button(QWidget* parent, const char* name)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QListWidget* list(QWidget* parent, const char* name)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLabel* label(QWidget* parent, const char* name, QWidget* buddy)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setBuddy(buddy);
    return l;
}

bool isRoot(const QString& folder)
{
    return QDir(folder).isRoot();
}

QString eightDigits(qint32 value)
{
    return QString::fromLatin1(FormatSerial(value).c_str());
}

} // namespace

frmCatalogue::frmCatalogue(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCatalogue"));
    LblSerial = new QLabel(this);
    TxtSerial = new QLineEdit(this);
    TxtSerial->setObjectName(QStringLiteral("TxtSerial"));
    LblSerial->setBuddy(TxtSerial);
    ListSer = list(this, "ListSer");
    cmdAddSerial = button(this, "cmdAddSerial");
    cmdRemoveSer = button(this, "cmdRemoveSer");
    cmdClearSer = button(this, "cmdClearSer");

    Dir1 = new QLineEdit(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    auto* folders = new QFileSystemModel(this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders->setRootPath(QString());
    Dir1->setCompleter(new QCompleter(folders, this));
    cmdBrowse = button(this, "cmdBrowse");
    cmdBrowse->setText(QStringLiteral("..."));
    File1 = list(this, "File1");
    File1->setSelectionMode(QAbstractItemView::NoSelection);

    cmdFind = button(this, "cmdFind");
    cmdFind->setDefault(true);
    List_found = list(this, "List_found");
    List_found->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CmdOpen = button(this, "CmdOpen");
    Command1 = button(this, "Command1");
    cmdCancel = button(this, "cmdCancel");
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    lblSerials = label(this, "lblSerials", ListSer);
    lblFolder = label(this, "lblFolder", Dir1);
    lblFiles = label(this, "lblFiles", File1);
    lblFound = label(this, "lblFound", List_found);

    auto* serialButtons = new QVBoxLayout;
    for (QPushButton* b : {cmdAddSerial, cmdRemoveSer, cmdClearSer})
        serialButtons->addWidget(b);
    serialButtons->addStretch();
    auto* serials = new QGridLayout;
    serials->addWidget(LblSerial, 0, 0);
    serials->addWidget(TxtSerial, 1, 0);
    serials->addWidget(lblSerials, 2, 0);
    serials->addWidget(ListSer, 3, 0);
    serials->addLayout(serialButtons, 1, 1, 3, 1);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Dir1, 1);
    folderRow->addWidget(cmdBrowse);
    auto* folder = new QVBoxLayout;
    folder->addWidget(lblFolder);
    folder->addLayout(folderRow);
    folder->addWidget(lblFiles);
    folder->addWidget(File1);
    auto* top = new QHBoxLayout;
    top->addLayout(serials);
    top->addLayout(folder, 1);
    auto* foundButtons = new QHBoxLayout;
    foundButtons->addWidget(cmdFind);
    foundButtons->addWidget(CmdOpen);
    foundButtons->addWidget(Command1);
    foundButtons->addStretch();
    foundButtons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(lblFound);
    layout->addWidget(List_found, 1);
    layout->addWidget(Label1);
    layout->addLayout(foundButtons);
    resize(640, 520);

    connect(cmdAddSerial, &QPushButton::clicked, this, &frmCatalogue::cmdAddSerial_Click);
    connect(cmdRemoveSer, &QPushButton::clicked, this, &frmCatalogue::cmdRemoveSer_Click);
    connect(cmdClearSer, &QPushButton::clicked, this, &frmCatalogue::cmdClearSer_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmCatalogue::cmdFind_Click);
    connect(CmdOpen, &QPushButton::clicked, this, &frmCatalogue::CmdOpen_Click);
    connect(Command1, &QPushButton::clicked, this, &frmCatalogue::Command1_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCatalogue::cmdCancel_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        const QString chosen = Prompts::FolderName(this, LangText(477), m_folder);
        if (!chosen.isEmpty())
            setFolder(chosen);
    });
    connect(Dir1, &QLineEdit::editingFinished, this, [this] {
        if (QDir::toNativeSeparators(Dir1->text()) != m_folder && QFileInfo(Dir1->text()).isDir())
            setFolder(Dir1->text());
    });
    // Kept as typed, whatever it is: the next showing starts from it.
    connect(TxtSerial, &QLineEdit::textChanged, this,
            [](const QString& text) { SettingsStore::setText(Setting::TxtSerial_FIF, text); });
    connect(&m_watcher, &QFutureWatcher<void>::finished, this, &frmCatalogue::searchEnded);

    LoadResources();
    List_found->clear();
    CmdOpen->setEnabled(false);
    setFolder(startFolder());
    TxtSerial->setText(
        eightDigits(SettingsStore::integer(Setting::TxtSerial_FIF).value_or(9000000)));
    ListSer->clear();
}

frmCatalogue::~frmCatalogue()
{
    m_stop = true;
    waitForSearch();
}

void frmCatalogue::LoadResources()
{
    LblSerial->setText(LangText(481));
    cmdAddSerial->setText(LangText(480));
    cmdRemoveSer->setText(LangText(479));
    cmdClearSer->setText(LangText(478));
    cmdFind->setText(LangText(485));
    CmdOpen->setText(LangText(483));
    Command1->setText(LangText(482));
    cmdCancel->setText(LangText(486));
    setWindowTitle(LangText(477));
    lblSerials->setText(LangText(746));
    lblFolder->setText(LangText(747));
    lblFiles->setText(LangText(748));
    lblFound->setText(LangText(749));
}

QString frmCatalogue::startFolder()
{
    if (const ListWindow* list = App::UsableActiveList()) {
        const LoggerList& doc = list->document();
        const QFileInfo file(doc.Caption);
        if (!doc.NeverBeenSaved && file.dir().exists())
            return file.absolutePath();
    }
    const QString last = Globals().CataloguePath;
    if (!last.isEmpty() && !isRoot(last) && QFileInfo(last).isDir())
        return last;
    const QString usual = Globals().DefaultPath;
    return !usual.isEmpty() && !isRoot(usual) && QFileInfo(usual).isDir() ? usual
                                                                          : QDir::homePath();
}

void frmCatalogue::setFolder(const QString& folder)
{
    m_folder = QDir::toNativeSeparators(folder);
    // The caption always names the folder searched.
    setWindowTitle(m_folder);
    Dir1->setText(m_folder);
    Globals().CataloguePath = m_folder;
    SettingsStore::setText(Setting::CataloguePath, m_folder);
    File1->clear();
    for (const QString& path : CatalogueFiles(m_folder, false))
        File1->addItem(QFileInfo(path).fileName());
}

void frmCatalogue::cmdAddSerial_Click()
{
    const qint32 v = TypedSerial(TxtSerial->text());
    for (int i = 0; i < ListSer->count(); ++i)
        if (TypedSerial(ListSer->item(i)->text()) == v)
            return; // already listed
    const bool first = ListSer->count() == 0;
    ListSer->addItem(eightDigits(v));
    if (!first)
        TxtSerial->setText(eightDigits(v));
}

void frmCatalogue::cmdRemoveSer_Click()
{
    delete ListSer->currentItem();
}

void frmCatalogue::cmdClearSer_Click()
{
    ListSer->clear();
}

void frmCatalogue::setSerialButtons(bool enabled)
{
    for (QPushButton* b : {cmdAddSerial, cmdRemoveSer, cmdClearSer})
        b->setEnabled(enabled);
}

void frmCatalogue::addFound(const QString& path)
{
    if (List_found->findItems(path, Qt::MatchExactly).isEmpty())
        List_found->addItem(path);
}

void frmCatalogue::cmdFind_Click()
{
    if (searching())
        return;
    cmdAddSerial_Click(); // the typed serial is always searched
    if (ListSer->count() == 0) {
        ShowMessage(LangText(488));
        return;
    }
    CmdOpen->setEnabled(false);
    setSerialButtons(false);
    // The files as they are now: the list shown may be older.
    bool listed = true;
    const QStringList files = CatalogueFiles(m_folder, false, &listed);
    if (!listed) {
        ShowMessage(LangText(625) + m_folder);
        setSerialButtons(true);
        return;
    }
    if (files.isEmpty()) {
        ShowMessage(LangText(489));
        setSerialButtons(true);
        return;
    }
    QVector<qint32> serials;
    for (int i = 0; i < ListSer->count(); ++i)
        serials << TypedSerial(ListSer->item(i)->text());

    m_stop = false;
    m_foundAny = false;
    m_unreadable = 0;
    cmdFind->setEnabled(false);
    const QString searchingText = LangText(490);
    QPointer<frmCatalogue> self(this);
    // The worker reads; this thread is told of each file as it goes and keeps the lists.
    CatalogueSearchSteps steps;
    steps.before = [this, self, searchingText](const QString& path) {
        if (m_stop)
            return false;
        QMetaObject::invokeMethod(this, [self, searchingText, path] {
            if (self)
                self->Label1->setText(searchingText + path);
        });
        return true;
    };
    steps.after = [this, self](const CatalogueFileResult& r) {
        QMetaObject::invokeMethod(this, [self, r] {
            if (!self)
                return;
            if (r.found) {
                self->m_foundAny = true;
                self->addFound(r.path);
            } else if (r.readResult != FileResult::Ok && r.readResult != FileResult::NoData) {
                ++self->m_unreadable;
            }
        });
        return !m_stop;
    };
    m_watcher.setFuture(
        QtConcurrent::run([files, serials, steps] { SearchCatalogue(files, serials, steps); }));
}

void frmCatalogue::searchEnded()
{
    // The last results were posted before the end: let them arrive first.
    QCoreApplication::sendPostedEvents(this);
    QString text = LangText(491);
    text += LangText(m_foundAny ? 493 : 492);
    if (m_unreadable > 0)
        text += LangText(626) + QString::number(m_unreadable);
    Label1->setText(text);
    setSerialButtons(true);
    cmdFind->setEnabled(true);
    CmdOpen->setEnabled(m_foundAny || List_found->count() > 0);
    emit searchFinished();
}

void frmCatalogue::waitForSearch()
{
    m_watcher.waitForFinished();
    // What the worker told this window, then the end of the search: also when
    // the search ended before this was called, with its results still on
    // their way.
    QCoreApplication::sendPostedEvents(this);
    QCoreApplication::sendPostedEvents(&m_watcher);
}

void frmCatalogue::CmdOpen_Click()
{
    if (List_found->count() == 0)
        return;
    QStringList chosen;
    for (int i = 0; i < List_found->count(); ++i)
        if (List_found->item(i)->isSelected())
            chosen << List_found->item(i)->text();
    if (chosen.isEmpty())
        return;
    hide();
    // Damaged records open with the rest, as the search read them.
    const bool ignore = Globals().IgnoreFileErrs;
    Globals().IgnoreFileErrs = true;
    for (const QString& path : chosen)
        OpenDocument(path); // a file gone since is reported, and the rest still open
    Globals().IgnoreFileErrs = ignore;
    done(QDialog::Accepted);
}

void frmCatalogue::Command1_Click()
{
    List_found->clear();
    CmdOpen->setEnabled(false);
}

void frmCatalogue::cmdCancel_Click()
{
    done(QDialog::Rejected);
}

void frmCatalogue::done(int result)
{
    // A search under way stops at the next file; its results still arrive.
    m_stop = true;
    QDialog::done(result);
}
