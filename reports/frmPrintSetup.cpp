#include "frmPrintSetup.h"

#include "Ansi.h"
#include "AppState.h"
#include "LangText.h"
#include "ListWindow.h"
#include "LoggerList.h"
#include "PrintSupport.h"
#include "PrintableText.h"
#include "ProgramPrinter.h"
#include "Prompts.h"
#include "ReportDrawing.h"
#include "SettingsStore.h"
#include "Utilities.h"
#include "WindowHost.h"
#include "frmPrintPreview.h"
#include "frmSelection.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// The boxes the settings keep, with their keys.
struct KeptBox
{
    QCheckBox* frmPrintSetup::*box;
    Setting key;
};
const KeptBox kKeptBoxes[] = {
    {&frmPrintSetup::ChkGridRef, Setting::ChkGridRef},
    {&frmPrintSetup::ChkDeployed, Setting::ChkDeployed},
    {&frmPrintSetup::ChkReceived, Setting::ChkReceived},
    {&frmPrintSetup::ChkComment1, Setting::ChkComment1},
    {&frmPrintSetup::ChkComment2, Setting::ChkComment2},
    {&frmPrintSetup::ChkAll, Setting::ChkAll},
    {&frmPrintSetup::ChkWarning, Setting::ChkWarning},
    {&frmPrintSetup::ChkLeak, Setting::ChkLeak},
    {&frmPrintSetup::ChkNotInLeak, Setting::ChkNotInLeak},
    {&frmPrintSetup::ChkHist, Setting::ChkHist},
    {&frmPrintSetup::ChkSummary, Setting::ChkSummary},
};

QCheckBox* box(QWidget* parent, const char* name)
{
    auto* b = new QCheckBox(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QPushButton* button(QWidget* parent, const char* name)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmPrintSetup::frmPrintSetup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPrintSetup"));
    // The list window in front is the one reported; the text viewer prints its text.
    if (WindowHost* host = App::Host()) {
        QWidget* child = host->activeChild();
        m_list = qobject_cast<ListWindow*>(child);
        m_text = dynamic_cast<PrintableText*>(child);
    }
    if (!m_list && !m_text)
        m_list = App::UsableActiveList();

    FrameRec = new QGroupBox(this);
    ChkGridRef = box(FrameRec, "ChkGridRef");
    ChkDeployed = box(FrameRec, "ChkDeployed");
    ChkReceived = box(FrameRec, "ChkReceived");
    ChkComment1 = box(FrameRec, "ChkComment1");
    ChkComment2 = box(FrameRec, "ChkComment2");
    chkInformation = box(FrameRec, "chkInformation");
    auto* columns = new QVBoxLayout(FrameRec);
    for (QCheckBox* b :
         {ChkGridRef, ChkDeployed, ChkReceived, ChkComment1, ChkComment2, chkInformation})
        columns->addWidget(b);

    Fr2dummy = new QGroupBox(this);
    ChkAll = box(Fr2dummy, "ChkAll");
    ChkLeak = box(Fr2dummy, "ChkLeak");
    ChkWarning = box(Fr2dummy, "ChkWarning");
    ChkNotInLeak = box(Fr2dummy, "ChkNotInLeak");
    auto* statuses = new QVBoxLayout(Fr2dummy);
    for (QCheckBox* b : {ChkAll, ChkLeak, ChkWarning, ChkNotInLeak})
        statuses->addWidget(b);
    statuses->addStretch();

    ChkHist = box(this, "ChkHist");
    ChkSummary = box(this, "ChkSummary");
    CmdSelectDates = button(this, "CmdSelectDates");
    LblComment = new QLabel(this);
    TxtComment = new QLineEdit(this);
    TxtComment->setObjectName(QStringLiteral("TxtComment"));
    LblComment->setBuddy(TxtComment);

    OKButton = button(this, "OKButton");
    OKButton->setDefault(true);
    CancelButton = button(this, "CancelButton");
    CmdPreview = button(this, "CmdPreview");
    PrinterButton = button(this, "PrinterButton");
    FontButton = button(this, "FontButton");

    auto* grid = new QGridLayout;
    grid->addWidget(FrameRec, 0, 0, 2, 1);
    grid->addWidget(Fr2dummy, 0, 1);
    auto* kind = new QVBoxLayout;
    kind->addWidget(ChkHist);
    kind->addWidget(ChkSummary);
    kind->addWidget(CmdSelectDates);
    kind->addStretch();
    grid->addLayout(kind, 1, 1);
    auto* comment = new QHBoxLayout;
    comment->addWidget(LblComment);
    comment->addWidget(TxtComment, 1);
    grid->addLayout(comment, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {OKButton, CancelButton, CmdPreview, PrinterButton, FontButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    connect(ChkAll, &QCheckBox::toggled, this, [this] { UpdateStatusBoxes(); });
    connect(ChkSummary, &QCheckBox::toggled, this,
            [this](bool on) { CmdSelectDates->setEnabled(on && !m_running && !m_text); });
    connect(OKButton, &QPushButton::clicked, this, &frmPrintSetup::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmPrintSetup::CancelButton_Click);
    connect(CmdPreview, &QPushButton::clicked, this, &frmPrintSetup::CmdPreview_Click);
    connect(PrinterButton, &QPushButton::clicked, this, &frmPrintSetup::PrinterButton_Click);
    connect(FontButton, &QPushButton::clicked, this, &frmPrintSetup::FontButton_Click);
    connect(CmdSelectDates, &QPushButton::clicked, this, &frmPrintSetup::CmdSelectDates_Click);

    LoadResources();
    SelectedDates.clear();
    ZoomPercent = 100;
    for (const KeptBox& k : kKeptBoxes)
        (this->*k.box)->setChecked(SettingsStore::integer(k.key).value_or(0) != 0);
    chkInformation->setChecked(false); // not kept: unticked every time
    m_font = ReportFont();
    EnableOptionControls(!m_text);
}

void frmPrintSetup::LoadResources()
{
    setWindowTitle(LangText(320));
    FrameRec->setTitle(LangText(415));
    ChkGridRef->setText(LangText(363));
    ChkDeployed->setText(LangText(162));
    ChkReceived->setText(LangText(163));
    ChkComment1->setText(LangText(299));
    ChkComment2->setText(LangText(300));
    chkInformation->setText(LangText(500));
    Fr2dummy->setTitle(LangText(407));
    ChkAll->setText(LangText(288));
    ChkLeak->setText(LangText(408));
    ChkWarning->setText(LangText(409));
    ChkNotInLeak->setText(LangText(410));
    ChkHist->setText(LangText(411));
    ChkSummary->setText(LangText(406));
    CmdSelectDates->setText(LangText(405));
    LblComment->setText(LangText(418));
    FontButton->setText(LangText(414));
    PrinterButton->setText(LangText(417));
    CmdPreview->setText(LangText(412));
    OKButton->setText(LangText(474));
    CancelButton->setText(LangText(246));
}

ReportOptions frmPrintSetup::options(bool summary) const
{
    ReportOptions o;
    o.gridRef = ChkGridRef->isChecked();
    o.deployed = ChkDeployed->isChecked();
    o.received = ChkReceived->isChecked();
    o.comment1 = ChkComment1->isChecked();
    o.comment2 = ChkComment2->isChecked();
    o.information = chkInformation->isChecked();
    o.all = ChkAll->isChecked();
    o.warning = ChkWarning->isChecked();
    o.leak = ChkLeak->isChecked();
    o.notInLeak = ChkNotInLeak->isChecked();
    o.history = ChkHist->isChecked();
    o.summary = summary;
    o.selectedDates = SelectedDates;
    o.comment = TxtComment->text();
    o.today = QDate::currentDate();
    o.linesPerPage = LinesPerPage;
    return o;
}

int frmPrintSetup::InDateList(const QString& date) const
{
    return SelectedDates.indexOf(date) + 1;
}

void frmPrintSetup::UpdateStatusBoxes()
{
    const bool free = !ChkAll->isChecked() && !m_running && !m_text;
    for (QCheckBox* b : {ChkLeak, ChkWarning, ChkNotInLeak})
        b->setEnabled(free);
}

void frmPrintSetup::EnableOptionControls(bool enable)
{
    for (QWidget* w : {static_cast<QWidget*>(FrameRec), static_cast<QWidget*>(Fr2dummy),
                       static_cast<QWidget*>(ChkHist), static_cast<QWidget*>(ChkSummary),
                       static_cast<QWidget*>(TxtComment), static_cast<QWidget*>(LblComment),
                       static_cast<QWidget*>(FontButton)})
        w->setEnabled(enable);
    CmdSelectDates->setEnabled(enable && ChkSummary->isChecked());
    CmdPreview->setEnabled(enable && !m_text);
    UpdateStatusBoxes();
}

void frmPrintSetup::saveBoxes() const
{
    for (const KeptBox& k : kKeptBoxes)
        SettingsStore::setInteger(k.key, (this->*k.box)->isChecked() ? 1 : 0);
}

void frmPrintSetup::OKButton_Click()
{
    if (m_running)
        return;
    if (m_text) {
        if (printText())
            accept();
        return;
    }
    const ReportOptions o = options(ChkSummary->isChecked());
    if (!AnyStatusSelected(o)) {
        ShowMessage(LangText(443));
        return;
    }
    if (o.summary && SelectedDates.isEmpty()) {
        ShowMessage(LangText(422));
        return;
    }
    saveBoxes();
    if (o.summary ? DoPrintDate() : DoPrint())
        accept();
}

bool frmPrintSetup::DoPrint()
{
    return printReport(false);
}

bool frmPrintSetup::DoPrintDate()
{
    return printReport(true);
}

bool frmPrintSetup::printReport(bool summary)
{
    if (!m_list)
        return false;
    PrintJob job(this);
    if (!job.ready())
        return false;
    CancelRequested = false;
    m_running = true;
    EnableOptionControls(false);
    OKButton->setEnabled(false);
    PrinterButton->setEnabled(false);

    // The report's font on paper is the font chosen; the preview's zoom is
    // for the screen only.
    QPrinter& printer = job.printer();
    LinesPerPage = ::LinesPerPage(printer, m_font);
    const Report report = BuildReport(m_list->document(), options(summary));
    const QString page = LangText(467), logger = LangText(468), reading = LangText(469);
    const PrintResult result = PrintReport(printer, report, m_font, [&](int next) {
        const Report::Position at = report.endOf(next - 1);
        SetStatusText(page + QString::number(next) + logger + QString::number(at.line) +
                      (summary ? QString() : reading + QString::number(at.reading)));
        QCoreApplication::processEvents(); // Cancel may be pressed
        return !CancelRequested;
    });
    const bool printed = result == PrintResult::Printed && job.commit();
    SetStatusText(QString());
    m_running = false;
    EnableOptionControls(true);
    OKButton->setEnabled(true);
    PrinterButton->setEnabled(true);
    if (result != PrintResult::Cancelled && !printed)
        ShowMessage(LangText(623));
    return printed;
}

bool frmPrintSetup::printText()
{
    PrintJob job(this);
    if (!job.ready())
        return false;
    QPrinter& printer = job.printer();
    bool printed = PrinterHasTarget(printer);
    if (printed) {
        m_text->printableDocument()->print(&printer);
        printed = printer.printerState() != QPrinter::Error && job.commit();
    }
    if (!printed)
        ShowMessage(LangText(623));
    return printed;
}

void frmPrintSetup::CmdPreview_Click()
{
    if (m_running || !m_list)
        return;
    const bool summary = ChkSummary->isChecked();
    if (summary && SelectedDates.isEmpty()) {
        ShowMessage(LangText(422));
        return;
    }
    LinesPerPage = ::LinesPerPage(ProgramPrinter(), m_font);
    const Report report = BuildReport(m_list->document(), options(summary));
    frmPrintPreview preview(report, m_font, ZoomPercent, LinesPerPage, this);
    if (Prompts::ShowModal(preview) == QDialog::Accepted)
        OKButton_Click(); // Print in the preview prints as OK does here
}

void frmPrintSetup::CancelButton_Click()
{
    if (m_running)
        CancelRequested = true;
    else
        reject();
}

void frmPrintSetup::done(int result)
{
    if (m_running) {
        CancelRequested = true;
        return;
    }
    QDialog::done(result);
}

void frmPrintSetup::PrinterButton_Click()
{
    ShowPrinterDialog(this, 0);
}

void frmPrintSetup::FontButton_Click()
{
    const std::optional<QFont> chosen = Prompts::ChooseFont(this, m_font);
    if (!chosen)
        return;
    SaveReportFont(*chosen);
    m_font = ReportFont();
    // The new font stays, but the user hears when its columns overrun the paper.
    QPrinter& printer = ProgramPrinter();
    const double width = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    const std::string heading = HeadingLine(options(ChkSummary->isChecked()));
    if (QFontMetricsF(m_font, &printer).horizontalAdvance(Ansi::toQString(heading)) > width)
        ShowMessage(LangText(430));
}

void frmPrintSetup::CmdSelectDates_Click()
{
    SelectedDates.clear();
    if (!m_list)
        return;
    const QStringList dates = ReportDates(m_list->document());
    if (dates.isEmpty())
        return;
    frmSelection selection(this);
    selection.setWindowTitle(LangText(423));
    selection.clearNodes();
    for (const QString& d : dates)
        selection.addNode(d, d);
    Prompts::ShowModal(selection);
    SelectedDates = selection.checkedKeys();
}
