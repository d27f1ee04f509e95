#include "frmDMA.h"

#include "Address2Format.h"
#include "Ansi.h"
#include "AppState.h"
#include "DatabaseReader.h"
#include "Documents.h"
#include "LangText.h"
#include "ListColumns.h"
#include "ListLineDelegate.h"
#include "LoggerTableModel.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordClipboard.h"
#include "RecordEditor.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "WindowHost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int kMargin = 10;
// Lines a window shows at least when it opens.
constexpr int kLeastLinesShown = 5;

struct ColumnSettings
{
    Setting width;
    Setting position;
    double share; // of the list width when no width is stored
};

const ColumnSettings kColumns[LoggerList::ColumnCount] = {
    {Setting::SerialNo_ColWidth, Setting::SerialNo_ColPosition, 0.1},
    {Setting::GridRef_ColWidth, Setting::GridRef_ColPosition, 0.09},
    {Setting::Deployed_ColWidth, Setting::Deployed_ColPosition, 0.09},
    {Setting::Received_ColWidth, Setting::Received_ColPosition, 0.09},
    {Setting::Comment1_ColWidth, Setting::Comment1_ColPosition, 0.09},
    {Setting::Comment2_ColWidth, Setting::Comment2_ColPosition, 0.09},
    {Setting::Date_ColWidth, Setting::Date_ColPosition, 0.09},
    {Setting::Status_ColWidth, Setting::Status_ColPosition, 0.09},
    {Setting::Level_ColWidth, Setting::Level_ColPosition, 0.09},
    {Setting::Spread_ColWidth, Setting::Spread_ColPosition, 0.09},
    {Setting::UserComments_ColWidth, Setting::UserComments_ColPosition, 0.09},
};

QStringList headerTexts()
{
    return {LangText(191), LangText(363),     LangText(162), LangText(163),
            LangText(160), Address2Caption(), LangText(164), LangText(165),
            LangText(166), LangText(167),     LangText(500)};
}

} // namespace

frmDMA::frmDMA(QWidget* parent) : ListWindow(parent)
{
    setObjectName(QStringLiteral("frmDMA"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    m_model = new LoggerTableModel(m_document, this);
    ListViewDMA = new QTreeView(this);
    ListViewDMA->setObjectName(QStringLiteral("ListViewDMA"));
    ListViewDMA->setModel(m_model);
    ListViewDMA->setItemDelegate(new ListLineDelegate(ListViewDMA));
    ListViewDMA->setRootIsDecorated(false);
    ListViewDMA->setItemsExpandable(false);
    ListViewDMA->setUniformRowHeights(true);
    ListViewDMA->setAllColumnsShowFocus(true);
    ListViewDMA->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewDMA->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewDMA->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewDMA->header()->setMinimumSectionSize(0);
    ListViewDMA->header()->setSectionsMovable(true);
    ListViewDMA->header()->setStretchLastSection(false);
    ListViewDMA->header()->setSectionsClickable(true);
    // No column is sorted yet, but every header keeps room for the sort mark.
    ListViewDMA->header()->setSortIndicator(-1, Qt::DescendingOrder);
    ListViewDMA->header()->setSortIndicatorShown(true);
    ListViewDMA->viewport()->setMouseTracking(true);
    ListViewDMA->installEventFilter(this);
    ListViewDMA->viewport()->installEventFilter(this);
    connect(ListViewDMA->header(), &QHeaderView::sectionClicked, this, &frmDMA::sortByColumn);
    connect(ListViewDMA->header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int newSize) { keepColumnReadable(column, newSize); });
    connect(ListViewDMA, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // Not a line the editor declined to step to (the current line stayed).
        if (index.row() == ListViewDMA->currentIndex().row())
            itemClicked(index);
    });
    // The arrow and page keys move the current line as a click does.
    connect(ListViewDMA->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmDMA::currentRowChanged);
    connect(ListViewDMA, &QTreeView::doubleClicked, this, [this] { showEditor(); });
    // Windows that show this document elsewhere (the map) follow its lines.
    connect(m_model, &QAbstractItemModel::modelReset, this, &ListWindow::linesChanged);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ListWindow::linesChanged);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ListWindow::linesChanged);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &ListWindow::linesChanged);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &ListWindow::linesChanged);
    connect(ListViewDMA->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ListWindow::currentLineChanged);
}

frmDMA::~frmDMA()
{
    // The view goes first: it must not ask a model that is being taken apart.
    delete ListViewDMA;
    delete m_model;
}

QMdiSubWindow* frmDMA::subWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void frmDMA::setCaption(const QString& caption)
{
    m_document.Caption = caption;
    setWindowTitle(m_file.readOnly ? caption + LangText(878) : caption); // (read-only)
}

void frmDMA::setFile(DocumentFile file)
{
    m_file = std::move(file);
    setCaption(m_document.Caption);
}

void frmDMA::checkFileSoon()
{
    if (m_checkQueued)
        return;
    m_checkQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_checkQueued = false;
        CheckFileOnDisk(this);
    });
}

QString frmDMA::headerText(int column) const
{
    return m_model->headerData(column, Qt::Horizontal).toString();
}

void frmDMA::Form_Load()
{
    QWidget* outer = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    const double width = SettingsStore::number(Setting::DMAForm_Width).value_or(9450);
    const double height = SettingsStore::number(Setting::DMAForm_Height).value_or(0.66 * width);
    outer->resize(std::max(TwipsToPixels(width), 1), std::max(TwipsToPixels(height), 1));
    placeList();

    m_model->setHeaders(headerTexts());
    QHeaderView* header = ListViewDMA->header();
    const double list = listWidth();
    // A stored width too narrow for the column's text is widened as it is
    // set (keepColumnReadable); one stored as 0 stays hidden.
    for (int c = 0; c < LoggerList::ColumnCount; ++c)
        SetColumnWidth(
            c, SettingsStore::number(kColumns[c].width).value_or(list * kColumns[c].share), false);
    // Column order: each column at its stored position, when the positions
    // make a proper order; otherwise the default one.
    std::vector<std::pair<int, int>> order;
    for (int c = 0; c < LoggerList::ColumnCount; ++c)
        order.emplace_back(SettingsStore::integer(kColumns[c].position).value_or(c + 1), c);
    std::sort(order.begin(), order.end());
    bool proper = true;
    for (int i = 0; i < LoggerList::ColumnCount; ++i)
        proper = proper && order[static_cast<size_t>(i)].first == i + 1;
    if (proper) {
        for (int visual = 0; visual < LoggerList::ColumnCount; ++visual) {
            const int logical = order[static_cast<size_t>(visual)].second;
            header->moveSection(header->visualIndex(logical), visual);
        }
    }
    // A size saved from a small (say, tiled) window does not open the next
    // one too small to read.
    outer->resize(outer->size().expandedTo(leastOpeningSize(outer)));
    placeList();
    // The area placed the window for the size it had before this; a larger
    // one is brought back inside the area rather than hang off its edge.
    if (QMdiArea* area = subWindow() ? subWindow()->mdiArea() : nullptr) {
        const QSize room = area->viewport()->size();
        outer->move(std::max(0, std::min(outer->x(), room.width() - outer->width())),
                    std::max(0, std::min(outer->y(), room.height() - outer->height())));
    }
    // The default layout is not forced on: the window keeps the widths the
    // user last left, and no other window is touched.
    AutoSize = false;
    m_mouseActivated = false;

    // Someone may have written the file while the user was elsewhere: in
    // another window, or in another program.
    if (QMdiArea* area = subWindow() ? subWindow()->mdiArea() : nullptr) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (sub && sub == subWindow())
                checkFileSoon();
        });
        connect(qApp, &QGuiApplication::applicationStateChanged, this,
                [this, area](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive && area->activeSubWindow() == subWindow())
                        checkFileSoon();
                });
    }
}

void frmDMA::placeList()
{
    // Inside the main window the child frame knows the room before this
    // window is shown.
    const QSize inner = subWindow() ? subWindow()->contentsRect().size() : size();
    ListViewDMA->setGeometry(kMargin, kMargin, std::max(inner.width() - 2 * kMargin, 0),
                             std::max(inner.height() - 2 * kMargin, 0));
}

QSize frmDMA::leastOpeningSize(const QWidget* outer) const
{
    // Wide enough for the columns from the serial and the grid reference to
    // the latest reading, as they stand; tall enough for the header and a few lines.
    const QHeaderView* header = ListViewDMA->header();
    int first = LoggerList::ColumnCount, last = -1;
    for (int c : {LoggerList::ColSerial, LoggerList::ColGridRef, LoggerList::ColDate,
                  LoggerList::ColStatus, LoggerList::ColLevel, LoggerList::ColSpread}) {
        first = std::min(first, header->visualIndex(c));
        last = std::max(last, header->visualIndex(c));
    }
    int columns = 0;
    for (int visual = first; visual <= last; ++visual)
        columns += header->sectionSize(header->logicalIndex(visual));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListViewDMA);
    const int frame = 2 * ListViewDMA->frameWidth() + scrollBar;
    const int lines =
        header->sizeHint().height() + kLeastLinesShown * (ListViewDMA->fontMetrics().height() + 4);
    QSize least(outer->width() - ListViewDMA->width() + frame + columns,
                outer->height() - ListViewDMA->height() + frame + lines);
    if (subWindow() && subWindow()->mdiArea())
        least = least.boundedTo(subWindow()->mdiArea()->viewport()->size());
    return least;
}

double frmDMA::listWidth() const
{
    return PixelsToTwips(ListViewDMA->width());
}

double frmDMA::columnWidth(int column) const
{
    return PixelsToTwips(ListViewDMA->header()->sectionSize(column));
}

int frmDMA::minimumColumnWidth(int column) const
{
    return MinimumColumnWidth(ListViewDMA, column, headerText(column));
}

void frmDMA::SetColumnWidth(int column, double twips, bool onlyIfVisible)
{
    if (column < 0 || column >= LoggerList::ColumnCount)
        return;
    if (onlyIfVisible && ListViewDMA->header()->sectionSize(column) <= 0)
        return;
    // 0 hides the column; a width too narrow for its text is widened as it is set.
    ListViewDMA->header()->resizeSection(column, std::max(0, TwipsToPixels(twips)));
}

void frmDMA::keepColumnReadable(int column, int newSize)
{
    // However a column is sized (a drag, a stored width, a command), it may
    // be hidden (0 wide) but never cut its text short.
    if (newSize > 0 && newSize < minimumColumnWidth(column))
        ListViewDMA->header()->resizeSection(column, minimumColumnWidth(column));
}

void frmDMA::fitColumns()
{
    if (m_fitting)
        return;
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    QHeaderView* header = ListViewDMA->header();
    ColumnWidths current{}, minimum{};
    for (int c = 0; c < LoggerList::ColumnCount; ++c) {
        current[c] = header->sectionSize(c);
        minimum[c] = minimumColumnWidth(c);
    }
    const ColumnWidths fitted = FitColumnWidths(current, minimum, ListViewDMA->viewport()->width());
    for (int c = 0; c < LoggerList::ColumnCount; ++c)
        header->resizeSection(c, fitted[c]);
}

void frmDMA::applyColumnLayout(int option, bool shown)
{
    const double w = listWidth();
    // Default widths of columns 1 to 7 (serial to date).
    const double defaults[7] = {w / 10, w / 7, w / 11, w / 11, w / 8, w / 8, w / 10};
    if (option >= 1 && option <= 7) {
        SetColumnWidth(option - 1, shown ? defaults[option - 1] : 0, false);
    } else if (option == 0) {
        for (int k = 0; k < 7; ++k)
            SetColumnWidth(k, shown ? defaults[k] : 0, false);
        if (shown) {
            SetColumnWidth(LoggerList::ColStatus, 400, false);
            SetColumnWidth(LoggerList::ColLevel, 700, false);
            SetColumnWidth(LoggerList::ColSpread, 700, false);
        }
    } else if (option == -1) {
        fitColumns(); // a hidden column stays hidden
    }
}

void SetColumnLayout(int option, bool shown)
{
    SetStatusText(QString());
    if (auto* list = qobject_cast<frmDMA*>(App::UsableActiveList()))
        list->applyColumnLayout(option, shown);
}

void frmDMA::CopyFrom_DMAModule()
{
    RecordStore& store = DMAModule();
    if (store.StoreCount < 1) {
        SetStatusText(LangText(338)); // no loggers to show
        return;
    }
    // Taken rather than copied: the store was filled for this window alone,
    // and a full file held twice would take more than three times its size.
    if (!m_document.TakeFrom(store)) { // more than a document holds
        ShowMessage(FileErrorText(FileResult::TooManyRecords, false));
        return;
    }
    SelLine = 1;
    MakeVisibleListLine(SelLine);
    AttachEditor();
    ShowRecordInEditor(1);
    SetStatusText(QString());
}

void frmDMA::CopyTo_DMAModule()
{
    m_document.CopyTo(DMAModule());
}

void frmDMA::ReLoad()
{
    // The logger that was current stays current, and the editor shows the
    // logger of the current line (not whichever record happens to be first).
    const int current = recordIndexOfLine(SelLine);
    m_document.ReLoad();
    if (RecordCount() < 1)
        return;
    const int line = current ? std::max(m_document.LineOfRecord(current), 1) : 1;
    MakeVisibleListLine(line);
    AttachEditor();
    ShowRecordInEditor(recordIndexOfLine(line));
    SetStatusText(LangText(349)); // list refreshed
}

bool frmDMA::GetLocalRec(qint32 serial, int slot)
{
    if (!RecordStore::IsValidSlot(slot))
        return false;
    const int i = GetRecFromSerial(serial);
    DMAModule().Records(slot) = i > 0 ? m_document.record(i) : LoggerList::NewBlankRecord();
    return true;
}

bool frmDMA::GetLocalRecByIndex(int slot, int index)
{
    if (!RecordStore::IsValidSlot(slot) || !m_document.IsValidIndex(index))
        return false;
    DMAModule().Records(slot) = m_document.record(index);
    return true;
}

bool frmDMA::PutLocalRecByIndex(int slot, int index)
{
    if (!RecordStore::IsValidSlot(slot))
        return false;
    return m_document.Put(index, DMAModule().Records(slot));
}

bool frmDMA::GetLocalRecBySelection()
{
    if (RecordCount() < 1 || SelLine < 1)
        return false;
    MakeVisibleListLine(SelLine);
    setFocus();
    const int index = m_document.RecordOfLine(SelLine);
    const qint32 serial = m_document.IsValidIndex(index) ? m_document.record(index).Serial : 0;
    return GetLocalRec(serial, RecordStore::kScratchSlot);
}

void frmDMA::MakeVisibleListLine(int line)
{
    SelLine = line;
    if (line < 1 || line > m_document.LineCount())
        return;
    const QScopedValueRollback<bool> placing(m_placingLine, true);
    const QModelIndex index = m_model->index(line - 1, 0);
    ListViewDMA->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    ListViewDMA->scrollTo(index);
}

void frmDMA::Find(const QString& text)
{
    if (RecordCount() < 1)
        return;
    SetStatusText(LangText(359)); // searching
    const int found = m_document.Find(text);
    if (!found) {
        ShowMessage(LangText(362)); // not found
        SetStatusText(QString());
        return;
    }
    ShowLine(found);
    SetStatusText(LangText(360) + m_document.FindText() + LangText(361) + QString::number(found));
}

bool frmDMA::CreateNewRecord2(qint32 serial, int linePosition)
{
    const int line = m_document.CreateNewRecord2(serial, linePosition);
    if (!line) {
        ShowMessage(LangText(618)); // the list is full
        return false;
    }
    SetStatusText(LangText(191) + QString::fromLatin1(FormatSerial(serial).c_str()) +
                  LangText(353)); // added
    SelLine = line;
    m_document.AskForSave = true;
    return true;
}

void frmDMA::ModifyRecordBySerialNo(const LoggerRecord& edited)
{
    QString refusal;
    const int line = m_document.StoreFromEditor(edited, refusal);
    if (!line) {
        ShowMessage(refusal);
        return;
    }
    MakeVisibleListLine(line);
    ListViewDMA->setFocus();
    SetStatusText(LangText(191) + QString::fromLatin1(FormatSerial(edited.Serial).c_str()) +
                  LangText(348)); // stored
}

int frmDMA::CreateNewRecord(qint32 serial, int linePosition, const QString& location)
{
    int line = 0;
    const LoggerList::AddResult r =
        m_document.CreateNewRecord(serial, linePosition, location, &line);
    if (r == LoggerList::AddResult::Exists) {
        SetStatusText(QString());
        return 1;
    }
    if (r == LoggerList::AddResult::Full)
        return 2;
    SetStatusText(LangText(191) + QString::fromLatin1(FormatSerial(serial).c_str()) +
                  LangText(353)); // added
    SelLine = line;
    ShowSelectedLine();
    m_document.AskForSave = true;
    return 0;
}

QList<int> frmDMA::selectedLines() const
{
    QList<int> lines;
    for (const QModelIndex& row : ListViewDMA->selectionModel()->selectedRows())
        lines << row.row() + 1;
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool frmDMA::askToRemove(const LoggerRecord& rec)
{
    return ShowMessage(LangText(355) + QString::fromLatin1(FormatSerial(rec.Serial).c_str()) +
                           QStringLiteral(" ?\n(") + Ansi::toQString(rec.Comment1) +
                           QLatin1Char(')'),
                       MsgButtons::YesNo + MsgButtons::Stop + MsgButtons::SecondDefault,
                       caption()) == MsgAnswer::Yes;
}

bool frmDMA::RemoveRecord()
{
    if (RecordCount() < 1 || SelLine < 1)
        return false;
    MakeVisibleListLine(SelLine);
    const int index = recordIndexOfLine(SelLine);
    ShowRecordInEditor(index);
    if (!m_document.IsValidIndex(index) || !askToRemove(m_document.record(index))) {
        ListViewDMA->setFocus();
        return false;
    }
    // The scratch slot keeps the removed logger.
    DMAModule().Records(RecordStore::kScratchSlot) = m_document.record(index);
    m_document.Remove(index);
    ReLoad();
    ShowRecordInEditor(0);
    AttachEditor();
    m_document.AskForSave = true;
    return true;
}

void frmDMA::CopyRecords()
{
    const QList<int> lines = selectedLines();
    if (lines.isEmpty())
        return; // the clipboard keeps what it had
    RecordClipboard::Records() = m_document.RecordsOfLines(lines);
}

void frmDMA::CutRecords()
{
    CopyRecords();
    QList<qint32> serials;
    for (const LoggerRecord& r : m_document.RecordsOfLines(selectedLines()))
        serials << r.Serial;
    for (qint32 serial : serials) {
        const int index = m_document.GetRecFromSerial(serial);
        if (index && askToRemove(m_document.record(index)))
            m_document.Remove(index);
    }
    ReLoad();
    SelLine = 0;
    ShowRecordInEditor(0);
    AttachEditor();
    m_document.AskForSave = true;
}

void frmDMA::PasteRecords()
{
    const QVector<LoggerRecord>& clipboard = RecordClipboard::Records();
    int pasted = 0;
    for (int i = 0; i < clipboard.size(); ++i) {
        if (m_document.GetRecFromSerial(clipboard[i].Serial) == 0) {
            if (!PasteRecord(i)) {
                ShowMessage(ListFullMessage(pasted, int(clipboard.size())));
                return;
            }
            ++pasted;
            continue;
        }
        const int answer =
            ShowMessage(QString::number(clipboard[i].Serial) + QStringLiteral(": ") + LangText(143),
                        MsgButtons::OKCancel);
        if (answer == MsgAnswer::Cancel)
            return;
    }
    ListViewDMA->setFocus();
}

bool frmDMA::PasteRecord(int clipboardIndex)
{
    const QVector<LoggerRecord>& clipboard = RecordClipboard::Records();
    if (clipboardIndex < 0 || clipboardIndex >= clipboard.size())
        return false;
    const LoggerRecord rec = clipboard[clipboardIndex];
    const int line = m_document.PasteRecord(rec, SelLine);
    if (!line)
        return false; // the list is full
    SetStatusText(LangText(191) + QString::fromLatin1(FormatSerial(rec.Serial).c_str()) +
                  LangText(352)); // pasted
    SelLine = line;
    m_document.AskForSave = true;
    return true;
}

bool frmDMA::ImportRecord(const QString& line, int lineNumber)
{
    QString message;
    int at = 0;
    if (!m_document.ImportRecord(line, lineNumber, message, &at)) {
        if (!message.isEmpty())
            ShowMessage(message);
        return false;
    }
    const qint32 serial = m_document.record(recordIndexOfLine(at)).Serial;
    SetStatusText(LangText(191) + QString::fromLatin1(FormatSerial(serial).c_str()) +
                  QLatin1Char(' ') + LangText(522)); // imported
    return true;
}

void frmDMA::StepLine(int direction)
{
    ListViewDMA->setFocus();
    QKeyEvent key(QEvent::KeyPress, direction < 0 ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(ListViewDMA, &key); // processed before this returns
}

void frmDMA::ShowLine(int line)
{
    if (!editorMayShow(line, true))
        return;
    MakeVisibleListLine(line);
    ShowRecordInEditor(recordIndexOfLine(line));
    ListViewDMA->setFocus();
}

void frmDMA::NextLine()
{
    ListViewDMA->setFocus();
    QCoreApplication::postEvent(ListViewDMA,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier));
}

void frmDMA::PrevLine()
{
    ListViewDMA->setFocus();
    QCoreApplication::postEvent(ListViewDMA,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier));
}

void frmDMA::ShowRecordInEditor(int index)
{
    RecordEditor* editor = App::Editor();
    if (m_document.IsValidIndex(index)) {
        if (editor)
            editor->showRecord(m_document.record(index));
        AttachEditor();
    } else if (App::ActiveList() == this) {
        if (editor)
            editor->clearRecord();
        DetachEditor();
    }
}

void frmDMA::AttachEditor()
{
    if (RecordEditor* editor = App::Editor()) {
        editor->setWindowTitle(m_document.DMAName);
        editor->NumHistories = m_document.NumHistories;
    }
    App::SetActiveList(this);
    if (!m_document.NeverBeenSaved) // a received list's temporary folder is no place to save
        RememberDefaultPath(caption());
}

void frmDMA::DetachEditor()
{
    if (RecordEditor* editor = App::Editor()) {
        editor->setWindowTitle(QString());
        editor->NumHistories = 0;
    }
    App::SetActiveList(nullptr);
}

void frmDMA::ShowSelectedLine()
{
    if (SelLine > 0) {
        MakeVisibleListLine(SelLine);
        ShowRecordInEditor(recordIndexOfLine(SelLine));
    }
}

void frmDMA::currentRowChanged(const QModelIndex& current)
{
    if (m_placingLine || !current.isValid() || current.row() + 1 == SelLine)
        return;
    itemClicked(current);
}

bool frmDMA::editorMayShow(int line, bool asking)
{
    // Changes the user made in the editor are not dropped by showing another
    // logger there: the editor asks first, and keeps them on Cancel. The
    // same logger again, or the list only taking the focus, keeps them unasked.
    RecordEditor* editor = App::Editor();
    if (!editor || !editor->holdsEdits())
        return true;
    if (!asking || (App::ActiveList() == this && line == SelLine))
        return false;
    return editor->askToStoreEdits();
}

void frmDMA::itemClicked(const QModelIndex& index)
{
    // Storing the editor's changes may add a line, so the logger stepped to
    // is found again by its record.
    const int target = recordIndexOfLine(index.row() + 1);
    if (!editorMayShow(index.row() + 1, true)) {
        // The line stays with the editor's logger; the view also selects the
        // line clicked once it is back from here.
        MakeVisibleListLine(SelLine);
        QTimer::singleShot(0, this, [this] { MakeVisibleListLine(SelLine); });
        return;
    }
    SelLine = m_document.LineOfRecord(target);
    if (ListViewDMA->currentIndex().row() + 1 != SelLine)
        MakeVisibleListLine(SelLine);
    ShowRecordInEditor(target);
    SetStatusText(LangText(364) + QString::number(SelLine) + LangText(365) +
                  QString::number(RecordCount()));
}

void frmDMA::sortByColumn(int column)
{
    // The first click on any column sorts descending; each further click flips.
    const bool descending = !(m_document.IsSorted() && m_document.SortedDescending());
    SetStatusText(headerText(column) + (descending ? LangText(366) : LangText(367)));
    // The current line goes with its logger, as the selection does, so that
    // the commands on the current line act on the logger the user sees picked.
    const int current = recordIndexOfLine(SelLine);
    m_document.Sort(column, descending);
    if (current)
        SelLine = m_document.LineOfRecord(current);
    ListViewDMA->header()->setSortIndicator(column,
                                            descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmDMA::showEditor()
{
    if (RecordEditor* editor = App::Editor()) {
        editor->show();
        editor->raise();
    }
    if (Globals().FollowMouse) {
        m_mouseActivated = true;
        setFocus();
    }
}

void frmDMA::followMouse()
{
    if (!Globals().FollowMouse || m_mouseActivated)
        return;
    if (QMdiSubWindow* sub = subWindow(); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    ListViewDMA->setFocus();
    m_mouseActivated = true;
}

bool frmDMA::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        // The list's room changes with the window, and as its scroll bars come and go.
        if (AutoSize && watched == ListViewDMA->viewport())
            fitColumns();
        break;
    case QEvent::MouseMove:
        followMouse();
        break;
    case QEvent::FocusIn:
        if (watched == ListViewDMA && editorMayShow(SelLine, false))
            ShowSelectedLine();
        break;
    case QEvent::FocusOut:
        if (watched == ListViewDMA)
            m_mouseActivated = false;
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == ListViewDMA && (key == Qt::Key_Return || key == Qt::Key_Enter))
            showEditor();
        break;
    }
    default:
        break;
    }
    return ListWindow::eventFilter(watched, event);
}

void frmDMA::resizeEvent(QResizeEvent* event)
{
    ListWindow::resizeEvent(event);
    ListViewDMA->setGeometry(kMargin, kMargin, std::max(width() - 2 * kMargin, 0),
                             std::max(height() - 2 * kMargin, 0));
    // With AutoSize the columns follow as the list's room changes (below).
}

void frmDMA::saveLayout()
{
    const QWidget* outer = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    SettingsStore::setNumber(Setting::DMAForm_Width, PixelsToTwips(outer->width()));
    SettingsStore::setNumber(Setting::DMAForm_Height, PixelsToTwips(outer->height()));
    for (int c = 0; c < LoggerList::ColumnCount; ++c) {
        SettingsStore::setNumber(kColumns[c].width, columnWidth(c));
        SettingsStore::setInteger(kColumns[c].position, ListViewDMA->header()->visualIndex(c) + 1);
    }
}

bool frmDMA::AskToClose()
{
    if (!m_document.AskForSave)
        return true;
    const QString name = m_document.NeverBeenSaved ? m_document.DMAName : caption();
    const int answer =
        ShowMessage(LangText(228) + name + QLatin1Char('?'),
                    MsgButtons::YesNoCancel + MsgButtons::Exclamation + MsgButtons::SecondDefault);
    if (answer == MsgAnswer::Cancel)
        return false;
    // A save that failed or was cancelled keeps the window, and its changes, open.
    return answer != MsgAnswer::Yes || (SaveListWindow(this) && !m_document.AskForSave);
}

void frmDMA::closeEvent(QCloseEvent* event)
{
    if (!m_closeAnswered && !AskToClose()) {
        event->ignore();
        return;
    }
    if (App::ActiveList() == this) {
        saveLayout();
        ShowRecordInEditor(0);
        if (RecordEditor* editor = App::Editor())
            editor->resetGraph();
        DetachEditor();
    }
    App::MarkClosed(this);
    m_file.lock.reset(); // other copies may have the file from now on
    event->accept();
}
