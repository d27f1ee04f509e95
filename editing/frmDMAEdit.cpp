#include "frmDMAEdit.h"

#include "Address2Format.h"
#include "AppState.h"
#include "Commands.h"
#include "EditingFeature.h"
#include "EditorFields.h"
#include "GraphPanel.h"
#include "HistoryDialog.h"
#include "LangText.h"
#include "ListWindow.h"
#include "LoggerList.h"
#include "Prompts.h"
#include "RecordChecks.h"
#include "SettingsStore.h"
#include "WindowHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

namespace {
constexpr int kNarrowWidth = 4200 / 15; // twips to pixels
constexpr int kWideWidth = 12000 / 15;
constexpr int kHeight = 540;

qint64 serialIn(const QString& text)
{
    return WholeNumberValue(text.toStdString(), INT32_MIN, INT32_MAX);
}

QString eightDigits(qint64 serial)
{
    return QString::fromLatin1(FormatSerial(serial).c_str());
}

// The list window the editor stores into, when there is one.
ListWindow* boundList()
{
    return App::UsableActiveList();
}
} // namespace

frmDMAEdit::frmDMAEdit(QWidget* parent) : RecordEditor(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmDMAEdit"));
    setMouseTracking(true);
    buildControls();
    LoadResources();
    TxtErrors->clear();
    resize(kNarrowWidth, kHeight);
    // Whether the editor itself is in front: a tool window also counts as
    // active while its main window is, so activation changes do not tell.
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [this](QWindow* window) { windowActivated(window && window == windowHandle()); });
}

void frmDMAEdit::buildControls()
{
    // The fields in a column on the left; the graph from x = 270 on, outside
    // the narrow window until it is widened.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Frame1"));
    panel->setGeometry(5, 5, kNarrowWidth - 10, kHeight - 10);
    panel->setMouseTracking(true);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto label = [panel](const char* name) {
        auto* l = new QLabel(panel);
        l->setObjectName(QLatin1String(name));
        l->setMouseTracking(true);
        return l;
    };
    int row = 0;
    lblSerNum = label("lblSerNum");
    txtSerNum = new MaskedEdit(QStringLiteral("########"), panel);
    txtSerNum->setObjectName(QStringLiteral("txtSerNum"));
    grid->addWidget(lblSerNum, row, 0);
    grid->addWidget(txtSerNum, row++, 1);
    cmdUpdateSerial = new QPushButton(panel);
    cmdUpdateSerial->setObjectName(QStringLiteral("cmdUpdateSerial"));
    grid->addWidget(cmdUpdateSerial, row++, 0, 1, 2);
    lblGridRef = label("lblGridRef");
    txtGridRef = new MaskedEdit(QStringLiteral("&&&&&&&&"), panel);
    txtGridRef->setObjectName(QStringLiteral("txtGridRef"));
    grid->addWidget(lblGridRef, row, 0);
    grid->addWidget(txtGridRef, row++, 1);
    lblComment1 = label("lblComment1");
    grid->addWidget(lblComment1, row++, 0, 1, 2);
    txtComments1 = new TextField(20, panel);
    txtComments1->setObjectName(QStringLiteral("txtComments1"));
    txtComments1->setFont(fixed);
    grid->addWidget(txtComments1, row++, 0, 1, 2);
    lblComment2 = label("lblComment2");
    grid->addWidget(lblComment2, row++, 0, 1, 2);
    txtComments2 = new MaskedEdit(Address2Mask(), panel);
    txtComments2->setObjectName(QStringLiteral("txtComments2"));
    txtComments2->setFont(fixed);
    txtComments2->setKeyFilter(FilterCommentKey);
    grid->addWidget(txtComments2, row++, 0, 1, 2);
    lblInformation = label("lblInformation");
    grid->addWidget(lblInformation, row++, 0, 1, 2);
    txtUserComments = new TextField(255, panel);
    txtUserComments->setObjectName(QStringLiteral("txtUserComments"));
    txtUserComments->setKeyFilter(FilterCommentKey);
    grid->addWidget(txtUserComments, row++, 0, 1, 2);

    ListViewEditBox = new QTreeWidget(panel);
    ListViewEditBox->setObjectName(QStringLiteral("ListViewEditBox"));
    ListViewEditBox->setColumnCount(4);
    ListViewEditBox->setRootIsDecorated(false);
    ListViewEditBox->setUniformRowHeights(true);
    ListViewEditBox->setAllColumnsShowFocus(true);
    ListViewEditBox->setMinimumHeight(150);
    ListViewEditBox->viewport()->setMouseTracking(true);
    grid->addWidget(ListViewEditBox, row++, 0, 1, 2);
    Lbl1 = label("Lbl1");
    grid->addWidget(Lbl1, row++, 0, 1, 2);
    TxtErrors = new QPlainTextEdit(panel);
    TxtErrors->setObjectName(QStringLiteral("TxtErrors"));
    TxtErrors->setReadOnly(true);
    TxtErrors->setMaximumHeight(60);
    grid->addWidget(TxtErrors, row++, 0, 1, 2);

    cmdUpdate = new QPushButton(panel);
    cmdUpdate->setObjectName(QStringLiteral("cmdUpdate"));
    CheckAutoIncrement = new QCheckBox(panel);
    CheckAutoIncrement->setObjectName(QStringLiteral("CheckAutoIncrement"));
    grid->addWidget(cmdUpdate, row, 0);
    grid->addWidget(CheckAutoIncrement, row++, 1);
    auto* buttons = new QHBoxLayout;
    Command_up = new QToolButton(panel);
    Command_up->setObjectName(QStringLiteral("Command_up"));
    Command_up->setArrowType(Qt::UpArrow);
    Command_Down = new QToolButton(panel);
    Command_Down->setObjectName(QStringLiteral("Command_Down"));
    Command_Down->setArrowType(Qt::DownArrow);
    cmdGraph = new QPushButton(panel);
    cmdGraph->setObjectName(QStringLiteral("cmdGraph"));
    cmdClose = new QPushButton(panel);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QWidget* w : {static_cast<QWidget*>(Command_up), static_cast<QWidget*>(Command_Down),
                       static_cast<QWidget*>(cmdGraph), static_cast<QWidget*>(cmdClose)})
        buttons->addWidget(w);
    grid->addLayout(buttons, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);

    graph = new GraphPanel(this);
    graph->setMouseTracking(true);
    graph->hide(); // until the window is widened for it

    connect(cmdUpdate, &QPushButton::clicked, this, &frmDMAEdit::cmdUpdate_Click);
    connect(cmdUpdateSerial, &QPushButton::clicked, this, &frmDMAEdit::cmdUpdateSerial_Click);
    connect(cmdGraph, &QPushButton::clicked, this, &frmDMAEdit::toggleGraph);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(Command_up, &QToolButton::clicked, this, [] {
        if (ListWindow* list = boundList())
            list->StepLine(-1);
    });
    connect(Command_Down, &QToolButton::clicked, this, [] {
        if (ListWindow* list = boundList())
            list->StepLine(+1);
    });
    connect(ListViewEditBox, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        chooseHistoryRow(ListViewEditBox->indexOfTopLevelItem(item) + 1);
    });
    connect(ListViewEditBox, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        chooseHistoryRow(ListViewEditBox->indexOfTopLevelItem(item) + 1);
        editHistoryRow();
    });
    for (QWidget* w :
         {static_cast<QWidget*>(txtSerNum), static_cast<QWidget*>(txtGridRef),
          static_cast<QWidget*>(txtComments1), static_cast<QWidget*>(txtComments2),
          static_cast<QWidget*>(txtUserComments), static_cast<QWidget*>(ListViewEditBox)})
        w->installEventFilter(this);
    for (QWidget* w : {static_cast<QWidget*>(panel), static_cast<QWidget*>(lblSerNum),
                       static_cast<QWidget*>(lblGridRef), static_cast<QWidget*>(Lbl1),
                       static_cast<QWidget*>(lblComment1), static_cast<QWidget*>(lblComment2),
                       static_cast<QWidget*>(lblInformation), static_cast<QWidget*>(graph),
                       ListViewEditBox->viewport()})
        w->installEventFilter(this);
}

void frmDMAEdit::LoadResources()
{
    lblSerNum->setText(LangText(374));
    cmdUpdateSerial->setText(LangText(510));
    lblGridRef->setText(LangText(373));
    lblComment1->setText(LangText(160));
    lblComment2->setText(Address2Caption());
    lblInformation->setText(LangText(500));
    Lbl1->setText(LangText(371));
    cmdUpdate->setText(LangText(369));
    CheckAutoIncrement->setText(LangText(368));
    cmdClose->setText(LangText(267));
    cmdGraph->setText(LangText(710));
    graph->setTitles(LangText(380), LangText(381));
    ListViewEditBox->setHeaderLabels({LangText(164), LangText(165), LangText(166), LangText(167)});
    // Shares of the list's width (the panel's, less a scroll bar).
    const int w = kNarrowWidth - 30;
    const double shares[4] = {3.2, 5, 5, 5};
    for (int c = 0; c < 4; ++c)
        ListViewEditBox->header()->resizeSection(c, static_cast<int>(w / shares[c]));
    txtSerNum->setStored(QStringLiteral("00000000"));
}

void frmDMAEdit::setHistoryRows(const QVector<EditorEntries::Row>& rows)
{
    ListViewEditBox->clear();
    QList<QTreeWidgetItem*> items;
    for (const EditorEntries::Row& r : rows)
        items << new QTreeWidgetItem(QStringList{r.Date, r.Status, r.Level, r.Spread});
    ListViewEditBox->addTopLevelItems(items);
}

void frmDMAEdit::showRecord(const LoggerRecord& rec)
{
    const EditorEntries e = EditorEntries::FromRecord(rec);
    setHistoryRows(e.History);
    txtSerNum->setStored(e.Serial);
    txtGridRef->setStored(e.Location);
    txtComments1->setText(e.Comment1);
    txtComments2->setStored(e.Comment2);
    txtUserComments->setText(e.UserComments);
    graph->showReadings(rec);
    m_selectedRow = 0;
    m_shownEntries = entryTexts();
    followListNames();
}

void frmDMAEdit::followListNames()
{
    // The caption is the bound list's name. A list saved under another name
    // takes its new caption first and its name after, so the name is read
    // once the renaming is over.
    if (WindowHost* host = App::Host())
        for (QWidget* window : host->childWindows())
            if (auto* list = qobject_cast<ListWindow*>(window))
                connect(list, &QWidget::windowTitleChanged, this, &frmDMAEdit::takeListName,
                        Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
}

void frmDMAEdit::takeListName()
{
    ListWindow* list = App::UsableActiveList();
    if (list && list == sender())
        setWindowTitle(list->document().DMAName);
}

void frmDMAEdit::clearRecord()
{
    ListViewEditBox->clear();
    txtSerNum->setStored(QStringLiteral("00000000"));
    txtGridRef->setStored(QStringLiteral("________"));
    txtComments1->clear();
    txtComments2->setStored(QString());
    txtUserComments->clear();
    // The bars stay as they were; only the markers go back to yellow.
    graph->setAllMarkers(GraphPanel::kMarker);
    m_selectedRow = 0;
    m_shownEntries.clear();
}

void frmDMAEdit::resetGraph()
{
    graph->reset();
    m_selectedRow = 0;
}

void frmDMAEdit::toggleGraph()
{
    const bool narrow = width() == kNarrowWidth;
    resize(narrow ? kWideWidth : kNarrowWidth, height());
    cmdGraph->setText(LangText(narrow ? 711 : 712)); // Hide Graph, Show Graph
    showGraphIfRoom();
}

void frmDMAEdit::showGraphIfRoom()
{
    // Its scales begin inside the narrow window's right edge.
    graph->setVisible(width() > kNarrowWidth);
}

void frmDMAEdit::resizeEvent(QResizeEvent* event)
{
    RecordEditor::resizeEvent(event);
    showGraphIfRoom();
}

void frmDMAEdit::applyAddress2Format()
{
    lblComment2->setText(Address2Caption());
    txtComments2->setEditMask(Address2Mask());
}

QStringList frmDMAEdit::entryTexts() const
{
    const EditorEntries e = entries();
    QStringList texts{e.Serial, e.Location, e.Comment1, e.Comment2, e.UserComments};
    for (const EditorEntries::Row& r : e.History)
        texts << r.Date << r.Status << r.Level << r.Spread;
    return texts;
}

bool frmDMAEdit::holdsEdits() const
{
    return !m_shownEntries.isEmpty() && entryTexts() != m_shownEntries;
}

bool frmDMAEdit::askToStoreEdits()
{
    if (!holdsEdits())
        return true;
    // Yes first: the answer that loses nothing the user typed.
    switch (ShowMessage(LangText(713) + m_shownEntries.first() + LangText(714),
                        MsgButtons::YesNoCancel + MsgButtons::Exclamation, windowTitle())) {
    case MsgAnswer::Yes:
        return storeEntries();
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

bool frmDMAEdit::graphShown() const
{
    return width() >= kWideWidth;
}

EditorEntries frmDMAEdit::entries() const
{
    EditorEntries e;
    e.Serial = txtSerNum->value();
    e.Location = txtGridRef->value();
    e.Comment1 = txtComments1->text();
    e.Comment2 = txtComments2->value();
    e.UserComments = txtUserComments->text();
    for (int i = 0; i < ListViewEditBox->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListViewEditBox->topLevelItem(i);
        e.History.append({item->text(0), item->text(1), item->text(2), item->text(3)});
    }
    return e;
}

bool frmDMAEdit::ValidateEntries()
{
    EditorEntries e = entries();
    QString report;
    const bool ok = ::ValidateEntries(e, NumHistories, report);
    txtSerNum->setStored(e.Serial); // the serial as its eight digits
    TxtErrors->setPlainText(report);
    return ok;
}

bool frmDMAEdit::NoRecordsInList() const
{
    ListWindow* list = boundList();
    return !list || list->document().RecordCount() < 1;
}

void frmDMAEdit::blankHistory()
{
    if (ListViewEditBox->topLevelItemCount() > 0) {
        for (int i = 0; i < std::min(NumHistories, ListViewEditBox->topLevelItemCount()); ++i)
            for (int c = 0; c < 4; ++c)
                ListViewEditBox->topLevelItem(i)->setText(c, QString());
        return;
    }
    QVector<EditorEntries::Row> rows;
    for (int i = 0; i < NumHistories; ++i)
        rows.append({QString(), QString(), QStringLiteral("0"), QStringLiteral("0")});
    setHistoryRows(rows);
}

void frmDMAEdit::cmdUpdate_Click()
{
    if (!storeEntries())
        return;
    if (CheckAutoIncrement->isChecked())
        if (ListWindow* list = boundList())
            list->StepLine(+1);
    txtSerNum->setFocus();
}

bool frmDMAEdit::storeEntries()
{
    ListWindow* list = boundList();
    if (!list) {
        ShowMessage(LangText(129)); // no list to store into
        txtSerNum->setFocus();
        return false;
    }
    const qint64 serial = serialIn(txtSerNum->value());
    if (!IsValidSerial(serial)) {
        ShowMessage(eightDigits(serial) + LangText(132)); // not a valid serial
        return false;
    }
    LoggerList& doc = list->document();
    if (doc.GetRecFromSerial(static_cast<qint32>(serial)) == 0) {
        // A serial new to the list: a new logger after the current line, its
        // readings empty; what the editor holds is stored into it below.
        if (!list->CreateNewRecord2(static_cast<qint32>(serial), list->SelLine + 1))
            return false;
        blankHistory();
    } else {
        // The serial of another logger than the current one (compared as
        // numbers: seven digits typed name the same logger as eight).
        const int current = doc.RecordOfLine(list->SelLine);
        if (!doc.IsValidIndex(current) || doc.record(current).Serial != serial) {
            const int answer = ShowMessage(LangText(501) + QStringLiteral("\r\n") + LangText(502) +
                                               eightDigits(serial),
                                           MsgButtons::YesNo);
            if (answer != MsgAnswer::Yes)
                return false;
        }
    }
    if (!ValidateEntries())
        return false;
    const EditorEntries e = entries();
    list->ModifyRecordBySerialNo(RecordFromEntries(e, NumHistories));
    m_shownEntries = entryTexts();
    return true;
}

void frmDMAEdit::cmdUpdateSerial_Click()
{
    if (ShowMessage(LangText(511), MsgButtons::YesNo) != MsgAnswer::Yes) {
        ShowMessage(LangText(513)); // not changed
        return;
    }
    const qint64 fresh = serialIn(txtSerNum->value());
    if (!IsValidSerial(fresh)) {
        ShowMessage(LangText(512));
        return;
    }
    ListWindow* list = boundList();
    if (!list) {
        ShowMessage(LangText(129));
        return;
    }
    LoggerList& doc = list->document();
    const qint64 old = serialIn(m_serialAtFocus);
    const int index = doc.GetRecFromSerial(static_cast<qint32>(old));
    if (!index) { // the logger the field showed is not in the list any more
        ShowMessage(eightDigits(old) + LangText(343));
        return;
    }
    // Two loggers of one list must not share a serial: the same refusal as
    // the Change Serial command.
    const int holder = doc.GetRecFromSerial(static_cast<qint32>(fresh));
    if (holder && holder != index) {
        ShowMessage(LangText(139) + eightDigits(fresh) + LangText(140));
        return;
    }
    doc.ChangeSerial(index, static_cast<qint32>(fresh));
    // The new serial is a change to save like any other.
    doc.AskForSave = true;
    ShowMessage(eightDigits(old) + LangText(141) + eightDigits(fresh));
    m_serialAtFocus = eightDigits(fresh);
    if (!m_shownEntries.isEmpty()) // the logger has the serial now in the field
        m_shownEntries.first() = txtSerNum->value();
}

void frmDMAEdit::chooseHistoryRow(int row)
{
    graph->chooseMarker(row - 1);
    m_selectedRow = row >= 1 && row <= 50 ? row : 0;
}

void frmDMAEdit::editHistoryRow()
{
    if (!Globals().EnHistEdit || NoRecordsInList() || m_selectedRow < 1 || m_selectedRow > 50)
        return;
    QTreeWidgetItem* item = ListViewEditBox->topLevelItem(m_selectedRow - 1);
    if (!item)
        return;
    HistoryDialog dialog(this);
    dialog.TxtDate->setText(item->text(0).trimmed());
    dialog.TxtStatus->setText(item->text(1));
    dialog.TxtLevel->setText(item->text(2));
    dialog.TxtSpread->setText(item->text(3));
    Prompts::ShowModal(dialog);
    if (!dialog.Result)
        return;
    item->setText(0, dialog.TxtDate->text());
    item->setText(1, dialog.TxtStatus->text());
    item->setText(2, dialog.TxtLevel->text());
    item->setText(3, dialog.TxtSpread->text());
}

void frmDMAEdit::applyHistoryEditing()
{
    // Not to be edited, the readings are still to be read: dimmed text on the
    // window's own background (grey on grey was not legible), and the list
    // still scrolls and picks a reading's marker. Only the edit is refused.
    const bool on = Globals().EnHistEdit;
    const QColor back = palette().color(QPalette::Window);
    const QColor ink = palette().color(QPalette::WindowText);
    const QColor dimmed = QColor::fromRgbF(ink.redF() * 0.6f + back.redF() * 0.4f,
                                           ink.greenF() * 0.6f + back.greenF() * 0.4f,
                                           ink.blueF() * 0.6f + back.blueF() * 0.4f);
    QPalette p = ListViewEditBox->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, on ? QColor(Qt::white) : back);
        p.setColor(g, QPalette::Text, on ? QColor(Qt::black) : dimmed);
    }
    ListViewEditBox->setPalette(p);
}

void frmDMAEdit::followMouse(bool overHistory)
{
    if (m_hasFocus)
        return;
    activateWindow();
    if (overHistory)
        m_hasFocus = true;
}

bool frmDMAEdit::event(QEvent* event)
{
    // A modal window (a message, a question, a dialog) must not be covered
    // by the editor, which otherwise stays above every window: while one is
    // up the editor steps back behind it, still shown.
    if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowUnblocked) {
        if (QWindow* window = windowHandle())
            window->setFlag(Qt::WindowStaysOnTopHint, event->type() == QEvent::WindowUnblocked);
    }
    // F12 stores the record while the editor is in front, and is the
    // editor's alone then: the main window's F12 (Refresh List) stays live
    // while a tool window of it is active, so the key is claimed here before
    // any shortcut is looked up.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F12 && boundList()) {
        event->accept();
        return true;
    }
    return RecordEditor::event(event);
}

void frmDMAEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F12 && boundList()) {
        event->accept();
        cmdUpdate_Click();
        return;
    }
    RecordEditor::keyPressEvent(event);
}

void frmDMAEdit::closeEvent(QCloseEvent* event)
{
    // The user's close only hides the editor; the program's goes through.
    if (event->spontaneous()) {
        event->ignore();
        hide();
        return;
    }
    RecordEditor::closeEvent(event);
}

void frmDMAEdit::windowActivated(bool active)
{
    if (active) {
        applyHistoryEditing();
        m_hasFocus = isVisible();
    } else {
        m_hasFocus = false;
    }
}

void frmDMAEdit::showEvent(QShowEvent* event)
{
    applyHistoryEditing();
    RecordEditor::showEvent(event);
    m_hasFocus = QGuiApplication::focusWindow() && QGuiApplication::focusWindow() == windowHandle();
}

void frmDMAEdit::hideEvent(QHideEvent* event)
{
    m_hasFocus = false;
    RecordEditor::hideEvent(event);
}

bool frmDMAEdit::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        followMouse(watched == ListViewEditBox->viewport());
        break;
    case QEvent::FocusIn:
        if (watched == txtSerNum) {
            m_serialAtFocus = txtSerNum->value();
            QTimer::singleShot(0, txtSerNum, [this] { txtSerNum->setSelection(0, 8); });
        } else if (watched == txtGridRef || watched == txtComments1 || watched == txtComments2) {
            auto* field = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, field, [field] { field->setSelection(0, 20); });
        } else if (watched == txtUserComments) {
            QTimer::singleShot(0, txtUserComments,
                               [this] { txtUserComments->setSelection(0, 30); });
        } else if (watched == ListViewEditBox) {
            // The row at the caret becomes the chosen one.
            if (QTreeWidgetItem* item = ListViewEditBox->currentItem()) {
                item->setSelected(true);
                chooseHistoryRow(ListViewEditBox->indexOfTopLevelItem(item) + 1);
            }
        }
        break;
    case QEvent::KeyPress:
        if (watched == ListViewEditBox) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                editHistoryRow();
                return true;
            }
        }
        break;
    default:
        break;
    }
    return RecordEditor::eventFilter(watched, event);
}

RecordEditor* CreateRecordEditor(QWidget* parent)
{
    return new frmDMAEdit(parent);
}

void RegisterLoggerCommands();

void RegisterEditingCommands()
{
    RegisterLoggerCommands();
    Commands::Register(QStringLiteral("mnuViewEditor"), [] {
        if (RecordEditor* editor = App::Editor()) {
            editor->show();
            editor->raise();
        }
    });
}
