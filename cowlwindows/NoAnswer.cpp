#include "NoAnswer.h"

#include "Com32.h"
#include "LangText.h"

QString NoAnswerText(int port)
{
    QString text = LangText(561);
    if (port < 1 || port > 4)
        return text;
    const QString name = QStringLiteral("COM%1").arg(port);
    const QString device = Com32::deviceForPort(port);
    text += QLatin1Char('\n') + LangText(577) + QStringLiteral(": ") + name; // Port: COM1
    if (device != name)
        text += QStringLiteral(" (") + device + QLatin1Char(')');
    return text;
}
