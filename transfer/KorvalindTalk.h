#pragma once
// Sending logger lists to the handheld receiver and receiving its patrol
// results, through the outside transfer program: lists are written into the
// "to" folder and the program sends them; the program leaves what it
// receives in the "from" folder, and each file opens as a new list window.

#include <QString>
#include <QStringList>

namespace KorvalindTalk {

// The transfer program in the program folder.
QString ProgramPath();
// The five items the program is started with, as one line: the quoted
// program path, "Direct" or "Modem=" and the number, "ComPort=" and the
// port, the mode, the folder.
QString CommandLine(const QString& mode, const QString& folder);

enum class Run { NotFound, NotStarted, Cancelled, Ran };
// Runs the program in that mode on that folder, saying what it does in
// words; a program that is missing or cannot be started is told to the
// user, a cancelled one in the status bar.
Run RunTransfer(const QString& mode, const QString& folder, const QString& what);
// Starts the program and keeps the program alive until it ends or the user
// cancels it. A program that cannot start is told, with the reason.
Run RunAndWait(const QString& program, const QStringList& arguments, const QString& commandLine,
               const QString& what);
Run ReadFromKorvalind();
// lists: the names of the lists in the "to" folder.
Run WriteToKorvalind(const QStringList& lists);

// The received files: the plain ".pdb" files of the folder, in name order;
// links and anything outside the folder are left alone.
QStringList ListReceivedFiles(const QString& folder);
// The error file of a transfer: its second line goes to the status bar (as
// much of it as there is), its first line's number is returned; -999 when
// there is no error file. Only a plain file is read (anything else under
// the name reads as empty). *text gets what was shown.
int ReadTransferError(const QString& folder, QString* text = nullptr);

void ReceiveAll();
void ReceiveSelection();
void SendAll();
void SendSelection();

} // namespace KorvalindTalk
