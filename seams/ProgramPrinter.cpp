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
}

QPrinter& ProgramPrinter()
{
    // Made on first use and kept to the end of the run; never torn down
    // after the application object is gone.
    static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
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
    QPrinter& p = ProgramPrinter();
    if (!m_partial.isEmpty()) {
        QFile::remove(m_partial); // nothing left of a print that did not finish
        p.setOutputFileName(m_target);
    }
    if (m_pdfInstead) {
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
    if (!QFileInfo::exists(m_partial))
        return false;
    if (!ReplaceFile(m_partial, m_target))
        return false;
    m_partial.clear();
    ProgramPrinter().setOutputFileName(m_target);
    return true;
}
