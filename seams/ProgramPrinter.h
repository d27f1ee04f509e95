#pragma once
// The printer every print goes to: one for the run, so that what the user
// chose in the printer dialogs holds for the reports and the histogram alike.

class QPrinter;
class QString;

QPrinter& ProgramPrinter();
// Prints go into this PDF file from now on (tests, and a run without a printer).
void PrintIntoPdf(const QString& path);
