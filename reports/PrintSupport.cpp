#include "PrintSupport.h"

#include "ProgramPrinter.h"
#include "Prompts.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

bool ShowPrinterDialog(QWidget* owner, int /*flags*/)
{
    // The dialog starts from the printer and writes the choice back to it
    // when confirmed; a cancel leaves it as it was.
    QPrintDialog dialog(&ProgramPrinter(), owner);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return Prompts::ShowModal(dialog) == QDialog::Accepted;
}

bool ShowPageSetupDialog(QWidget* owner)
{
    QPageSetupDialog dialog(&ProgramPrinter(), owner);
    dialog.setObjectName(QStringLiteral("PageSetupDialog"));
    return Prompts::ShowModal(dialog) == QDialog::Accepted;
}
