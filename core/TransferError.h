#pragma once
// The error file "xfer.err" the handheld's transfer program leaves when it
// fails: two lines as a rule, the error's number, then its text.

#include <QByteArray>
#include <QString>

struct TransferError
{
    int number = 0; // the first line's number, held to -32768..32767
    QString text;   // the second line trimmed; the first when there is no second
};

// The error in the file's bytes (Windows-1252; lines end with CR LF, CR or LF).
TransferError ParseTransferError(const QByteArray& bytes);
