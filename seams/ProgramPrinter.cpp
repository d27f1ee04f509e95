#include "ProgramPrinter.h"

#include "LangText.h"
#include "Prompts.h"
#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
int g_printersForTesting = -1;

QPrinter*& programPrinter()
{
    // Made on first use and kept to the end of the run; never torn down
    // after the application object is gone.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return printer;
}

// A PDF printer that once failed to write its file writes nothing into any
// later one, so after a PDF print that did not finish the program's printer
// is made anew with the user's choices. The old one is kept, never torn
// down, as the program's printer always is.
void renewPdfPrinter()
{
    static QList<QPrinter*>* retired = new QList<QPrinter*>;
    QPrinter* old = programPrinter();
    auto* fresh = new QPrinter(QPrinter::HighResolution);
    fresh->setOutputFormat(QPrinter::PdfFormat);
    fresh->setOutputFileName(old->outputFileName());
    fresh->setPageLayout(old->pageLayout());
    fresh->setResolution(old->resolution());
    fresh->setColorMode(old->colorMode());
    fresh->setCopyCount(old->copyCount());
    fresh->setCollateCopies(old->collateCopies());
    fresh->setPageOrder(old->pageOrder());
    fresh->setFullPage(old->fullPage());
    fresh->setDocName(old->docName());
    fresh->setCreator(old->creator());
    fresh->setPdfVersion(old->pdfVersion());
    fresh->setPrintRange(old->printRange());
    fresh->setFromTo(old->fromPage(), old->toPage());
    retired->append(old);
    programPrinter() = fresh;
}

// Whether a PDF file was written to its end, its trailer's last line there:
// the program's printer does not notice when a full disk cuts a print off.
bool pdfIsWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(qMax<qint64>(0, file.size() - 32)))
        return false;
    return file.readAll().trimmed().endsWith("%%EOF");
}
} // namespace

QPrinter& ProgramPrinter()
{
    return *programPrinter();
}

void PrintIntoPdf(const QString& path)
{
    QPrinter& p = ProgramPrinter();
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(path);
}

bool PrinterHasTarget(const QPrinter& printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return PrintersInstalled();
}

bool PrintersInstalled()
{
    if (g_printersForTesting >= 0)
        return g_printersForTesting > 0;
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void SetPrintersInstalledForTesting(int installed)
{
    g_printersForTesting = installed;
}

PrintJob::PrintJob(QWidget* parent)
{
    QPrinter& p = ProgramPrinter();
    if (!PrinterHasTarget(p)) {
        // No printer on this machine: a PDF file, if the user wants one.
        if (ShowMessage(LangText(624), MsgButtons::YesNo + MsgButtons::Question) != MsgAnswer::Yes)
            return;
        QString path = Prompts::SaveFileName(parent, LangText(544), QDir::homePath(),
                                             QStringLiteral("report.pdf"),
                                             QStringLiteral("PDF (*.pdf)|*.pdf"));
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".pdf");
        m_pdfInstead = true;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(path);
    }
    if (p.outputFormat() == QPrinter::PdfFormat && !p.outputFileName().isEmpty()) {
        m_target = p.outputFileName();
        const QFileInfo target(m_target);
        m_partial = target.dir().filePath(QStringLiteral(".") + target.fileName() +
                                          QStringLiteral(".printing"));
        p.setOutputFileName(m_partial);
    }
    m_ready = true;
}

PrintJob::~PrintJob()
{
    if (!m_partial.isEmpty()) {
        QFile::remove(m_partial); // nothing left of a print that did not finish
        ProgramPrinter().setOutputFileName(m_target);
        renewPdfPrinter();
    }
    if (m_pdfInstead) {
        QPrinter& p = ProgramPrinter();
        p.setOutputFileName(QString());
        p.setOutputFormat(QPrinter::NativeFormat);
    }
}

QPrinter& PrintJob::printer()
{
    return ProgramPrinter();
}

bool PrintJob::commit()
{
    if (m_partial.isEmpty())
        return true;
    if (!pdfIsWhole(m_partial) || !ReplaceFile(m_partial, m_target))
        return false;
    m_partial.clear();
    ProgramPrinter().setOutputFileName(m_target);
    return true;
}
