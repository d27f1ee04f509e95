#include "frmDMA.h"

#include "Address2Format.h"
#include "Ansi.h"
#include "AppState.h"
#include "Documents.h"
#include "LangText.h"
#include "ListText.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "RecordStore.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "frmDMAEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr int kMargin = 10;
constexpr int kRecordRole = Qt::UserRole;  // the record index a line names
constexpr int kKeyRole = Qt::UserRole + 1; // its key text, "12x"

int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

double toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

struct ColumnSettings
{
    Setting width;
    Setting position;
    double share; // of the list width when no width is stored
};

const ColumnSettings kColumns[frmDMA::ColumnCount] = {
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

// Lines sort by the text of a column, as text, ignoring case.
class LineItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

frmDMA::frmDMA(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDMA"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    ListViewDMA = new QTreeWidget(this);
    ListViewDMA->setObjectName(QStringLiteral("ListViewDMA"));
    ListViewDMA->setRootIsDecorated(false);
    ListViewDMA->setUniformRowHeights(true);
    ListViewDMA->setAllColumnsShowFocus(true);
    ListViewDMA->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewDMA->setColumnCount(ColumnCount);
    ListViewDMA->header()->setMinimumSectionSize(0);
    ListViewDMA->header()->setSectionsMovable(true);
    ListViewDMA->header()->setStretchLastSection(false);
    ListViewDMA->header()->setSectionsClickable(true);
    ListViewDMA->viewport()->setMouseTracking(true);
    ListViewDMA->installEventFilter(this);
    ListViewDMA->viewport()->installEventFilter(this);
    connect(ListViewDMA->header(), &QHeaderView::sectionClicked, this, &frmDMA::sortByColumn);
    connect(ListViewDMA, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { itemClicked(item); });
    connect(ListViewDMA, &QTreeWidget::itemDoubleClicked, this, [this] { showEditor(); });
}

QMdiSubWindow* frmDMA::subWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void frmDMA::Form_Load()
{
    QWidget* outer = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    const double width = SettingsStore::number(Setting::DMAForm_Width).value_or(9450);
    const double height = SettingsStore::number(Setting::DMAForm_Height).value_or(0.66 * width);
    outer->resize(std::max(toPixels(width), 120), std::max(toPixels(height), 80));
    // The list fills the window but for a margin (laid out as on a resize).
    const QSize inner = subWindow() ? subWindow()->contentsRect().size() : size();
    ListViewDMA->setGeometry(kMargin, kMargin, std::max(inner.width() - 2 * kMargin, 0),
                             std::max(inner.height() - 2 * kMargin, 0));

    ListViewDMA->setHeaderLabels(headerTexts());
    const double list = listWidth();
    for (int c = 0; c < ColumnCount; ++c) {
        const double w =
            SettingsStore::number(kColumns[c].width).value_or(list * kColumns[c].share);
        ListViewDMA->header()->resizeSection(c, std::max(0, toPixels(w)));
    }
    // Column order: each column at its stored position, when the positions
    // make a proper order; otherwise the default one.
    std::vector<std::pair<int, int>> order;
    for (int c = 0; c < ColumnCount; ++c)
        order.emplace_back(SettingsStore::integer(kColumns[c].position).value_or(c + 1), c);
    std::sort(order.begin(), order.end());
    bool proper = true;
    for (int i = 0; i < ColumnCount; ++i)
        proper = proper && order[static_cast<size_t>(i)].first == i + 1;
    if (proper) {
        for (int visual = 0; visual < ColumnCount; ++visual) {
            const int logical = order[static_cast<size_t>(visual)].second;
            ListViewDMA->header()->moveSection(ListViewDMA->header()->visualIndex(logical), visual);
        }
    }
    ListViewDMA->clear();
    // The default layout is not forced on: the window keeps the widths the
    // user last left, and no other window is touched.
    AutoSize = false;
    m_mouseActivated = false;
}

double frmDMA::listWidth() const
{
    return toTwips(ListViewDMA->width());
}

double frmDMA::columnWidth(int column) const
{
    return toTwips(ListViewDMA->header()->sectionSize(column));
}

void frmDMA::SetColumnWidth(int column, double twips, bool onlyIfVisible)
{
    if (column < 0 || column >= ColumnCount)
        return;
    if (onlyIfVisible && ListViewDMA->header()->sectionSize(column) <= 0)
        return;
    ListViewDMA->header()->resizeSection(column, std::max(0, toPixels(twips)));
}

void frmDMA::applyColumnLayout(int option, bool shown)
{
    const double w = listWidth();
    // Default widths of columns 1 to 7 (serial to date).
    const double defaults[7] = {w / 10, w / 7, w / 11, w / 11, w / 8, w / 8, w / 10};
    auto readingColumns = [this] {
        SetColumnWidth(ColStatus, 400, false);
        SetColumnWidth(ColLevel, 700, false);
        SetColumnWidth(ColSpread, 700, false);
    };
    if (option >= 1 && option <= 7) {
        SetColumnWidth(option - 1, shown ? defaults[option - 1] : 0, false);
    } else if (option == 0) {
        for (int k = 0; k < 7; ++k)
            SetColumnWidth(k, shown ? defaults[k] : 0, false);
        if (shown)
            readingColumns();
    } else if (option == -1) {
        for (int k = 0; k < 7; ++k)
            SetColumnWidth(k, defaults[k], true); // a hidden column stays hidden
        readingColumns();
    }
}

void SetColumnLayout(int option, bool shown)
{
    SetStatusText(QString());
    frmDMA* list = App::ActiveList();
    if (!App::IsObjectAlive(list))
        return;
    list->applyColumnLayout(option, shown);
}

void frmDMA::fillLine(QTreeWidgetItem* item, int index) const
{
    const LoggerRecord& r = LocalRecs[static_cast<size_t>(index)];
    item->setText(ColSerial, QString::fromLatin1(FormatSerial(r.Serial).c_str()));
    item->setText(ColGridRef, Ansi::toQString(GridRefToLocation(r.GridRef)));
    item->setText(ColDeployed, Ansi::toQString(r.Deployed));
    item->setText(ColReceived, Ansi::toQString(r.Received));
    item->setText(ColComment1, Ansi::toQString(r.Comment1));
    item->setText(ColComment2, Ansi::toQString(r.Comment2));
    item->setText(ColDate, Ansi::toQString(r.Date[1]));
    item->setText(ColStatus, Ansi::toQString(r.Status[1]));
    item->setText(ColLevel, FormatReading(r.Level[1]));
    item->setText(ColSpread, FormatReading(r.Spread[1]));
    item->setText(ColUserComments, Ansi::toQString(r.UserComments));
    item->setData(0, kRecordRole, index);
    item->setData(0, kKeyRole, QString::number(index) + QLatin1Char('x'));
}

void frmDMA::addLine(int index)
{
    auto* item = new LineItem;
    fillLine(item, index);
    ListViewDMA->addTopLevelItem(item);
}

int frmDMA::recordIndexOfLine(int line) const
{
    QTreeWidgetItem* item = ListViewDMA->topLevelItem(line - 1);
    return item ? item->data(0, kRecordRole).toInt() : 0;
}

void frmDMA::CopyFrom_DMAModule()
{
    RecordStore& store = DMAModule();
    const int n = store.StoreCount;
    if (n < 1) {
        SetStatusText(LangText(338)); // no loggers to show
        return;
    }
    LocalRecs.assign(1, LoggerRecord());
    LocalRecs.reserve(static_cast<size_t>(n) + 1);
    ListViewDMA->clear();
    const bool progress = HasStatusSink();
    const QString adding = progress ? LangText(339) : QString(),
                  toList = progress ? LangText(340) : QString();
    QList<QTreeWidgetItem*> items;
    items.reserve(n);
    for (int i = 1; i <= n; ++i) {
        LocalRecs.push_back(store.Records(i));
        auto* item = new LineItem;
        fillLine(item, i);
        items.append(item);
        if (progress)
            SetStatusText(adding + QString::number(i) + toList);
    }
    ListViewDMA->addTopLevelItems(items);
    SelLine = 1;
    MakeVisibleListLine(SelLine);
    AttachEditor();
    ShowRecordInEditor(1);
    SetStatusText(QString());
}

void frmDMA::CopyTo_DMAModule()
{
    RecordStore& store = DMAModule();
    const int n = RecordCount();
    store.StoreCount = n;
    const bool progress = HasStatusSink();
    const QString preparing = progress ? LangText(341) : QString();
    for (int i = 1; i <= n; ++i) {
        LoggerRecord& slot = store.Records(i);
        slot = LocalRecs[static_cast<size_t>(i)];
        TidyReadings(slot, NumHistories);
        if (progress)
            SetStatusText(preparing + QString::number(i));
    }
}

void frmDMA::ReLoad()
{
    ListViewDMA->clear();
    if (RecordCount() < 1)
        return;
    QList<QTreeWidgetItem*> items;
    for (int i = 1; i <= RecordCount(); ++i) {
        auto* item = new LineItem;
        fillLine(item, i);
        items.append(item);
    }
    ListViewDMA->addTopLevelItems(items);
    SelLine = 1;
    MakeVisibleListLine(SelLine);
    AttachEditor();
    ShowRecordInEditor(1);
    SetStatusText(LangText(349)); // list refreshed
}

LoggerRecord frmDMA::NewBlankRecord()
{
    LoggerRecord r;
    r.Serial = 99999999;
    r.GridRef = kAbsentGridRef;
    r.Comment1 = LangTextAnsi(354); // a new logger
    return r;
}

void frmDMA::GetLocalRec(qint32 serial, int slot)
{
    const int i = GetRecFromSerial(serial);
    DMAModule().Records(slot) = i > 0 ? LocalRecs[static_cast<size_t>(i)] : NewBlankRecord();
}

void frmDMA::GetLocalRecByIndex(int slot, int index)
{
    if (index >= 1 && index <= RecordCount())
        DMAModule().Records(slot) = LocalRecs[static_cast<size_t>(index)];
}

void frmDMA::PutLocalRecByIndex(int slot, int index)
{
    if (index >= 1 && index <= RecordCount())
        LocalRecs[static_cast<size_t>(index)] = DMAModule().Records(slot);
}

bool frmDMA::GetLocalRecBySelection()
{
    if (RecordCount() < 1 || SelLine < 1)
        return false;
    MakeVisibleListLine(SelLine);
    setFocus();
    QTreeWidgetItem* item = ListViewDMA->topLevelItem(SelLine - 1);
    const qint32 serial = item ? static_cast<qint32>(WholeNumberValue(item->text(0).toStdString(),
                                                                      INT32_MIN, INT32_MAX))
                               : 0;
    GetLocalRec(serial, RecordStore::kScratchSlot);
    return true;
}

void frmDMA::MakeVisibleListLine(int line)
{
    SelLine = line;
    QTreeWidgetItem* item = ListViewDMA->topLevelItem(line - 1);
    if (!item)
        return;
    ListViewDMA->clearSelection();
    ListViewDMA->setCurrentItem(item);
    item->setSelected(true);
    ListViewDMA->scrollToItem(item);
}

int frmDMA::GetRecFromSerial(qint32 serial) const
{
    for (int i = 1; i <= RecordCount(); ++i)
        if (LocalRecs[static_cast<size_t>(i)].Serial == serial)
            return i;
    return 0;
}

int frmDMA::GetLineFromSerial(qint32 serial) const
{
    for (int line = 1; line <= std::min(RecordCount(), ListViewDMA->topLevelItemCount()); ++line) {
        const std::string text = ListViewDMA->topLevelItem(line - 1)->text(0).toStdString();
        if (NumericValue(text) == serial)
            return line;
    }
    return 0;
}

void frmDMA::ChangeSerialByRec(int index, qint32 serial)
{
    if (index >= 1 && index <= RecordCount())
        LocalRecs[static_cast<size_t>(index)].Serial = serial;
}

bool frmDMA::LineContains(int line, const QString& text) const
{
    QTreeWidgetItem* item = ListViewDMA->topLevelItem(line - 1);
    if (!item)
        return false;
    for (int c = ColSerial; c <= ColSpread; ++c) // not the user comment
        if (item->text(c).contains(text, Qt::CaseSensitive))
            return true;
    return false;
}

void frmDMA::Find(const QString& text)
{
    const int count = RecordCount();
    if (count < 1)
        return;
    if (!text.isEmpty()) {
        m_findStart = 1;
        m_findText = text;
    }
    if (m_findStart > count)
        m_findStart = 1;
    SetStatusText(LangText(359)); // searching
    int found = 0;
    for (int line = m_findStart; line <= count && !found; ++line)
        if (LineContains(line, m_findText))
            found = line;
    // Past the last match the search goes round to the top, so the last line
    // can be found too.
    for (int line = 1; line < m_findStart && !found; ++line)
        if (LineContains(line, m_findText))
            found = line;
    if (!found) {
        ShowMessage(LangText(362)); // not found
        SetStatusText(QString());
        return;
    }
    m_findStart = found + 1;
    SelLine = found;
    MakeVisibleListLine(found);
    ShowRecordInEditor(recordIndexOfLine(found));
    SetStatusText(LangText(360) + m_findText + LangText(361) + QString::number(found));
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
    frmDMAEdit* editor = App::Editor();
    if (index >= 1 && index <= RecordCount()) {
        if (editor)
            editor->showRecord(LocalRecs[static_cast<size_t>(index)]);
        AttachEditor();
    } else if (App::ActiveList() == this) {
        if (editor)
            editor->clearRecord();
        DetachEditor();
    }
}

void frmDMA::AttachEditor()
{
    if (frmDMAEdit* editor = App::Editor()) {
        editor->setWindowTitle(DMAName);
        editor->NumHistories = NumHistories;
    }
    App::SetActiveList(this);
    RememberDefaultPath(caption());
}

void frmDMA::DetachEditor()
{
    if (frmDMAEdit* editor = App::Editor()) {
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

void frmDMA::itemClicked(QTreeWidgetItem* item)
{
    SelLine = ListViewDMA->indexOfTopLevelItem(item) + 1;
    ShowRecordInEditor(item->data(0, kRecordRole).toInt());
    SetStatusText(LangText(364) + QString::number(SelLine) + LangText(365) +
                  QString::number(RecordCount()));
}

void frmDMA::sortByColumn(int column)
{
    const QString header = ListViewDMA->headerItem()->text(column);
    if (m_sortedDescending) {
        m_sortedDescending = false;
        SetStatusText(header + LangText(367)); // ascending
    } else {
        m_sortedDescending = true;
        SetStatusText(header + LangText(366)); // descending
    }
    const Qt::SortOrder order = m_sortedDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    ListViewDMA->header()->setSortIndicatorShown(true);
    ListViewDMA->header()->setSortIndicator(column, order); // the lines compare by this column
    ListViewDMA->sortItems(column, order);
}

void frmDMA::showEditor()
{
    if (frmDMAEdit* editor = App::Editor()) {
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
    case QEvent::MouseMove:
        followMouse();
        break;
    case QEvent::FocusIn:
        if (watched == ListViewDMA)
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
    return QWidget::eventFilter(watched, event);
}

void frmDMA::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ListViewDMA->setGeometry(kMargin, kMargin, std::max(width() - 2 * kMargin, 0),
                             std::max(height() - 2 * kMargin, 0));
    if (AutoSize)
        applyColumnLayout(-1, true);
}

void frmDMA::saveLayout()
{
    const QWidget* outer = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    SettingsStore::setNumber(Setting::DMAForm_Width, toTwips(outer->width()));
    SettingsStore::setNumber(Setting::DMAForm_Height, toTwips(outer->height()));
    for (int c = 0; c < ColumnCount; ++c) {
        SettingsStore::setNumber(kColumns[c].width, columnWidth(c));
        SettingsStore::setInteger(kColumns[c].position, ListViewDMA->header()->visualIndex(c) + 1);
    }
}

void frmDMA::closeEvent(QCloseEvent* event)
{
    if (AskForSave) {
        const QString name = NeverBeenSaved ? DMAName : caption();
        const int answer = ShowMessage(LangText(228) + name + QLatin1Char('?'),
                                       MsgButtons::YesNoCancel + MsgButtons::Exclamation +
                                           MsgButtons::SecondDefault);
        if (answer == MsgAnswer::Cancel) {
            event->ignore();
            return;
        }
        // A save that failed or was cancelled keeps the window, and its changes, open.
        if (answer == MsgAnswer::Yes && !(SaveListWindow(this) && !AskForSave)) {
            event->ignore();
            return;
        }
    }
    if (App::ActiveList() == this) {
        saveLayout();
        ShowRecordInEditor(0);
        ListViewDMA->clear();
        if (frmDMAEdit* editor = App::Editor())
            editor->resetGraph();
        DetachEditor();
    }
    setProperty("closed", true);
    event->accept();
}
