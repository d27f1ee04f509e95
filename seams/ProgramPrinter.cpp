#include "ProgramPrinter.h"

#include <QPrinter>

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
