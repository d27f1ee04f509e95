#include "frmPrintPreview.h"

#include "ProgramPrinter.h"
#include "Report.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kMargin = 8; // pixels of paper left of the text, as a printer's edge
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
}

void PreviewSurface::setLayout(const QFont& font, double pageWidth)
{
    m_fonts = ReportFonts(font);
    const QFontMetricsF metrics(font, viewport());
    m_lineHeight = std::max(1.0, metrics.lineSpacing());
    m_ascent = metrics.ascent();
    m_pageWidth = pageWidth;
    updateRanges();
    viewport()->update();
}

double PreviewSurface::stripHeight() const
{
    return m_report.lineCount() * m_lineHeight;
}

double PreviewSurface::topOffset() const
{
    return -verticalScrollBar()->value();
}

void PreviewSurface::setTopOffset(double offset)
{
    // The scroll bar keeps it between the top and the last line.
    verticalScrollBar()->setValue(static_cast<int>(std::lround(-offset)));
}

void PreviewSurface::updateRanges()
{
    const int lastLineTop = static_cast<int>(std::max(0.0, stripHeight() - m_lineHeight));
    verticalScrollBar()->setRange(0, lastLineTop);
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(static_cast<int>(std::ceil(m_lineHeight)));
    const int wider = static_cast<int>(std::ceil(m_pageWidth)) - viewport()->width();
    horizontalScrollBar()->setRange(0, std::max(0, wider));
    horizontalScrollBar()->setPageStep(viewport()->width());
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
    const double left = -horizontalScrollBar()->value();
    const double top = verticalScrollBar()->value();
    p.fillRect(area, palette().color(QPalette::Dark));
    p.fillRect(QRectF(left, area.top(), m_pageWidth, area.height()), Qt::white);
    if (m_report.lineCount() == 0)
        return;
    // Only the lines that meet the area are drawn.
    const int first = std::max(0, static_cast<int>(std::floor((top + area.top()) / m_lineHeight)));
    const int last = std::min(m_report.lineCount() - 1,
                              static_cast<int>(std::floor((top + area.bottom()) / m_lineHeight)));
    p.setPen(Qt::black);
    for (int line = first; line <= last; ++line)
        DrawReportLine(p, m_fonts, m_report, line, left + kMargin,
                       line * m_lineHeight - top + m_ascent);
}

frmPrintPreview::frmPrintPreview(const Report& report, const QFont& font, int& zoomPercent,
                                 int linesPerPage, QWidget* parent)
    : QDialog(parent), m_font(font), m_zoom(zoomPercent), m_linesPerPage(linesPerPage)
{
    setObjectName(QStringLiteral("frmPrintPreview"));
    ButtonFrame = new QWidget(this);
    ButtonFrame->setObjectName(QStringLiteral("ButtonFrame"));
    auto tool = [this](const char* name, const QString& text, const QString& tip,
                       void (frmPrintPreview::*click)()) {
        auto* b = new QToolButton(ButtonFrame);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, click);
        return b;
    };
    // The zoom buttons keep their names: "in" takes the percentage down.
    Command_ZoomIn = tool("Command_ZoomIn", QStringLiteral("\u2212"), tr("Smaller"),
                          &frmPrintPreview::Command_ZoomIn_Click);
    Command_ZoomOut = tool("Command_ZoomOut", QStringLiteral("+"), tr("Larger"),
                           &frmPrintPreview::Command_ZoomOut_Click);
    CmdHome = tool("CmdHome", QStringLiteral("\u2912"), tr("Top"), &frmPrintPreview::CmdHome_Click);
    CmdLinesUp =
        tool("CmdLinesUp", QStringLiteral("\u2191"), tr("Up"), &frmPrintPreview::CmdLinesUp_Click);
    CmdLinesDown = tool("CmdLinesDown", QStringLiteral("\u2193"), tr("Down"),
                        &frmPrintPreview::CmdLinesDown_Click);
    CmdPgUp =
        tool("CmdPgUp", QStringLiteral("\u21de"), tr("Page up"), &frmPrintPreview::CmdPgUp_Click);
    CmdPgDn =
        tool("CmdPgDn", QStringLiteral("\u21df"), tr("Page down"), &frmPrintPreview::CmdPgDn_Click);
    auto* buttons = new QHBoxLayout(ButtonFrame);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (QToolButton* b :
         {Command_ZoomIn, Command_ZoomOut, CmdHome, CmdLinesUp, CmdLinesDown, CmdPgUp, CmdPgDn})
        buttons->addWidget(b);
    buttons->addStretch();

    ViewPort = new PreviewSurface(report, this);
    PrintImage = ViewPort->viewport();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ButtonFrame);
    layout->addWidget(ViewPort, 1);
    setMinimumWidth(270); // 4,050 twips
    resize(820, 640);
    Activate();
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
    ViewPort->setLayout(ZoomedFont(m_font, m_zoom), pageSize().width() + 2 * kMargin);
    ViewPort->setTopOffset(0);
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
