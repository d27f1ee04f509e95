#include "frmPrintPreview.h"

#include "LangText.h"
#include "ProgramPrinter.h"
#include "Report.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kMargin = 8; // pixels of paper around the text, as a printer's edge
constexpr int kSmallestZoom = 10, kLargestZoom = 200, kZoomStep = 10;
} // namespace

PreviewSurface::PreviewSurface(const Report& report, QWidget* parent)
    : QAbstractScrollArea(parent), m_report(report), m_fonts(QFont())
{
    setObjectName(QStringLiteral("ViewPort"));
    viewport()->setObjectName(QStringLiteral("PrintImage"));
    horizontalScrollBar()->setObjectName(QStringLiteral("HScroll1"));
    verticalScrollBar()->setObjectName(QStringLiteral("VScroll1"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setFocusPolicy(Qt::StrongFocus);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &PreviewSurface::pageChanged);
}

void PreviewSurface::setLayout(const QFont& font, QSizeF paper, int linesPerPage)
{
    m_fonts = ReportFonts(font);
    const QFontMetricsF metrics(font, viewport());
    m_lineHeight = std::max(1.0, metrics.lineSpacing());
    m_ascent = metrics.ascent();
    int lines = linesPerPage;
    for (int page = 0; page < m_report.pageCount(); ++page)
        lines = std::max(lines, m_report.pageStart(page + 1) - m_report.pageStart(page));
    // Whole pixels, so that paging never drifts off the top of a page.
    m_sheet = QSizeF(std::ceil(paper.width() + 2 * kMargin),
                     std::ceil(std::max(paper.height(), lines * m_lineHeight) + 2 * kMargin));
    updateRanges();
    viewport()->update();
}

double PreviewSurface::stripHeight() const
{
    return kGap + m_report.pageCount() * pagePitch();
}

double PreviewSurface::topOffset() const
{
    return -verticalScrollBar()->value();
}

void PreviewSurface::setTopOffset(double offset)
{
    // The scroll bar keeps it between the top and the last page.
    verticalScrollBar()->setValue(static_cast<int>(std::lround(-offset)));
}

int PreviewSurface::pageCount() const
{
    return m_report.pageCount();
}

int PreviewSurface::currentPage() const
{
    if (m_report.pageCount() == 0)
        return 0;
    const double inView = std::min<double>(viewport()->height(), pagePitch());
    const int page = static_cast<int>((verticalScrollBar()->value() + inView / 2) / pagePitch());
    return std::clamp(page + 1, 1, m_report.pageCount());
}

void PreviewSurface::updateRanges()
{
    // Far enough for the last page to come to the top, or to show its foot.
    const double inView = std::min<double>(viewport()->height(), pagePitch());
    verticalScrollBar()->setRange(
        0, static_cast<int>(std::ceil(std::max(0.0, stripHeight() - inView))));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(static_cast<int>(std::ceil(m_lineHeight)));
    const double wider = m_sheet.width() + 2 * kGap - viewport()->width();
    horizontalScrollBar()->setRange(0, static_cast<int>(std::ceil(std::max(0.0, wider))));
    horizontalScrollBar()->setPageStep(viewport()->width());
    emit pageChanged();
}

double PreviewSurface::sheetLeft() const
{
    const double free = viewport()->width() - m_sheet.width();
    return free >= 2 * kGap ? free / 2 : kGap - horizontalScrollBar()->value();
}

void PreviewSurface::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRanges();
}

void PreviewSurface::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, palette().color(QPalette::Dark));
    const int pages = m_report.pageCount();
    if (pages == 0)
        return;
    const double top = verticalScrollBar()->value();
    const double pitch = pagePitch();
    const auto pageAt = [&](double y) {
        return std::clamp(static_cast<int>(std::floor((top + y - kGap) / pitch)), 0, pages - 1);
    };
    for (int page = pageAt(area.top()); page <= pageAt(area.bottom()); ++page) {
        const QRectF sheet(sheetLeft(), kGap + page * pitch - top, m_sheet.width(),
                           m_sheet.height());
        p.fillRect(sheet.translated(3, 3), palette().color(QPalette::Shadow));
        p.fillRect(sheet, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(sheet.adjusted(0, 0, -1, -1)); // the page's edge
        // Only the lines that meet the area are drawn; what would run off the paper is cut.
        p.save();
        p.setClipRect(sheet.adjusted(1, 1, -1, -1));
        const int start = m_report.pageStart(page), end = m_report.pageStart(page + 1);
        const double textTop = sheet.top() + kMargin;
        const int first = std::max(
            start, start + static_cast<int>(std::floor((area.top() - textTop) / m_lineHeight)));
        const int last = std::min(end - 1, start + static_cast<int>(std::floor(
                                                       (area.bottom() - textTop) / m_lineHeight)));
        for (int line = first; line <= last; ++line)
            DrawReportLine(p, m_fonts, m_report, line, sheet.left() + kMargin,
                           textTop + (line - start) * m_lineHeight + m_ascent);
        p.restore();
    }
}

frmPrintPreview::frmPrintPreview(const Report& report, const QFont& font, int& zoomPercent,
                                 int linesPerPage, QWidget* parent)
    : QDialog(parent), m_font(font), m_zoom(zoomPercent), m_linesPerPage(linesPerPage)
{
    setObjectName(QStringLiteral("frmPrintPreview"));
    ButtonFrame = new QWidget(this);
    ButtonFrame->setObjectName(QStringLiteral("ButtonFrame"));
    // Each button says what it does in words; its tip adds the key that does the same.
    auto tool = [this](const char* name, const QString& text, const QString& tip,
                       const QKeySequence& key, void (frmPrintPreview::*click)()) {
        auto* b = new QToolButton(ButtonFrame);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(tip + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                      QLatin1Char(')'));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus); // the keys stay with the page
        connect(b, &QToolButton::clicked, this, click);
        return b;
    };
    // The zoom buttons keep their names: "in" takes the percentage down.
    Command_ZoomIn = tool("Command_ZoomIn", QStringLiteral("\u2212"), LangText(741),
                          QKeySequence(Qt::Key_Minus), &frmPrintPreview::Command_ZoomIn_Click);
    Command_ZoomOut = tool("Command_ZoomOut", QStringLiteral("+"), LangText(742),
                           QKeySequence(Qt::Key_Plus), &frmPrintPreview::Command_ZoomOut_Click);
    CmdHome = tool("CmdHome", LangText(743), LangText(743), QKeySequence(Qt::Key_Home),
                   &frmPrintPreview::CmdHome_Click);
    CmdLinesUp = tool("CmdLinesUp", LangText(744), LangText(744),
                      QKeySequence(Qt::CTRL | Qt::Key_Up), &frmPrintPreview::CmdLinesUp_Click);
    CmdLinesDown =
        tool("CmdLinesDown", LangText(745), LangText(745), QKeySequence(Qt::CTRL | Qt::Key_Down),
             &frmPrintPreview::CmdLinesDown_Click);
    CmdPgUp = tool("CmdPgUp", LangText(326), LangText(326), QKeySequence(Qt::Key_PageUp),
                   &frmPrintPreview::CmdPgUp_Click);
    CmdPgDn = tool("CmdPgDn", LangText(327), LangText(327), QKeySequence(Qt::Key_PageDown),
                   &frmPrintPreview::CmdPgDn_Click);
    lblPage = new QLabel(ButtonFrame);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    cmdPrint = new QPushButton(LangText(544), ButtonFrame);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdClose = new QPushButton(LangText(546), ButtonFrame);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdPrint, cmdClose})
        b->setAutoDefault(false);
    // The window that opened the preview prints when it ends accepted.
    connect(cmdPrint, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout(ButtonFrame);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (QToolButton* b : {Command_ZoomIn, Command_ZoomOut})
        buttons->addWidget(b);
    buttons->addSpacing(12);
    for (QToolButton* b : {CmdHome, CmdLinesUp, CmdLinesDown, CmdPgUp, CmdPgDn})
        buttons->addWidget(b);
    buttons->addSpacing(12);
    buttons->addWidget(lblPage);
    buttons->addStretch();
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);

    ViewPort = new PreviewSurface(report, this);
    PrintImage = ViewPort->viewport();
    PrintImage->installEventFilter(this);
    connect(ViewPort, &PreviewSurface::pageChanged, this, &frmPrintPreview::showPage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ButtonFrame);
    layout->addWidget(ViewPort, 1);
    setMinimumWidth(270); // 4,050 twips
    resize(900, 700);
    Activate();
    PrintImage->setFocus();
}

QSizeF frmPrintPreview::pageSize() const
{
    const QRectF page = ProgramPrinter().pageLayout().paintRect(QPageLayout::Point);
    const double scale = m_zoom / 100.0;
    return QSizeF(page.width() * scale * logicalDpiX() / 72.0,
                  page.height() * scale * logicalDpiY() / 72.0);
}

void frmPrintPreview::Activate()
{
    setWindowTitle(QStringLiteral("Print Preview - %1%").arg(m_zoom));
    ViewPort->setLayout(ZoomedFont(m_font, m_zoom), pageSize(), m_linesPerPage);
    ViewPort->setTopOffset(0);
}

void frmPrintPreview::showPage()
{
    const int pages = ViewPort->pageCount();
    lblPage->setText(pages > 0 ? LangText(740) + QString::number(ViewPort->currentPage()) +
                                     LangText(631) + QString::number(pages)
                               : QString());
}

bool frmPrintPreview::pressKey(const QKeyEvent& key)
{
    const bool ctrl = key.modifiers() & Qt::ControlModifier;
    QScrollBar* across = ViewPort->horizontalScrollBar();
    switch (key.key()) {
    case Qt::Key_Home:
        CmdHome_Click();
        return true;
    case Qt::Key_End:
        ViewPort->setTopOffset(-ViewPort->stripHeight());
        return true;
    case Qt::Key_PageUp:
        CmdPgUp_Click();
        return true;
    case Qt::Key_PageDown:
        CmdPgDn_Click();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // A line at a time; with Ctrl, half a page as the buttons go.
        const double step = ctrl ? pageSize().height() / 2 : LineHeight();
        const double to = TopOffset() + (key.key() == Qt::Key_Up ? step : -step);
        ViewPort->setTopOffset(std::min(0.0, to));
        return true;
    }
    case Qt::Key_Left:
        across->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return true;
    case Qt::Key_Right:
        across->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal: // the unshifted key of +
        Command_ZoomOut_Click();
        return true;
    case Qt::Key_Minus:
        Command_ZoomIn_Click();
        return true;
    default:
        return false;
    }
}

bool frmPrintPreview::eventFilter(QObject* watched, QEvent* event)
{
    // Before the scroll area takes the paging keys its own way.
    if (watched == PrintImage && event->type() == QEvent::KeyPress &&
        pressKey(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void frmPrintPreview::keyPressEvent(QKeyEvent* event)
{
    if (!pressKey(*event))
        QDialog::keyPressEvent(event);
}

void frmPrintPreview::zoomTo(int percent)
{
    m_zoom = std::clamp(percent, kSmallestZoom, kLargestZoom);
    Activate();
}

void frmPrintPreview::Command_ZoomIn_Click()
{
    zoomTo(m_zoom - kZoomStep);
}

void frmPrintPreview::Command_ZoomOut_Click()
{
    zoomTo(m_zoom + kZoomStep);
}

void frmPrintPreview::CmdHome_Click()
{
    ViewPort->setTopOffset(0);
    PrintImage->setFocus();
}

void frmPrintPreview::CmdLinesUp_Click()
{
    ViewPort->setTopOffset(std::min(0.0, TopOffset() + pageSize().height() / 2));
}

void frmPrintPreview::CmdLinesDown_Click()
{
    ViewPort->setTopOffset(TopOffset() - pageSize().height() / 2);
}

void frmPrintPreview::CmdPgUp_Click()
{
    ViewPort->setTopOffset(std::min(0.0, TopOffset() + PageHeight()));
}

void frmPrintPreview::CmdPgDn_Click()
{
    ViewPort->setTopOffset(TopOffset() - PageHeight());
}
