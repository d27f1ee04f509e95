#pragma once
// The printer every print goes to: one for the run, so that what the user
// chose in the printer dialogs holds for the reports and the histogram alike.

#include <QString>

class QPrinter;
class QWidget;

QPrinter& ProgramPrinter();
// Prints go into this PDF file from now on (tests, and a run without a printer).
void PrintIntoPdf(const QString& path);

// Whether the printer has somewhere to print to: a PDF printer needs a file
// (one without is left unusable by a print started on it), the platform's
// printer an installed printer.
bool PrinterHasTarget(const QPrinter& printer);

// Whether the machine has a printer; tests say so with 1 or 0, -1 asks the system.
bool PrintersInstalled();
void SetPrintersInstalledForTesting(int installed);

// One print on the program's printer. Where the platform's printer is chosen
// and the machine has none, it offers to print into a PDF file instead, and
// ready() is false when the user would rather not. A PDF file is written
// whole or not at all: the pages go to a temporary file beside it, which
// takes the file's place only when commit() is called after a complete print.
class PrintJob
{
public:
    explicit PrintJob(QWidget* parent);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    bool ready() const { return m_ready; }
    QPrinter& printer();
    // False, with the old file left as it was, when the PDF could not take its place.
    bool commit();

private:
    bool m_ready = false;
    bool m_pdfInstead = false; // chosen for this print only
    QString m_target;          // the PDF file the user sees
    QString m_partial;         // where the pages go meanwhile
};
