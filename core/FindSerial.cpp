#include "FindSerial.h"

#include "Ansi.h"
#include "RecordChecks.h"

#include <QDir>
#include <QFile>
#include <cmath>

namespace {

// The eight-digit form of a field that is a plain decimal number, or empty.
std::string eightDigits(std::string_view field)
{
    const std::string_view t = Ansi::trimmed(field);
    size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digits = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            return {};
    }
    if (!digits)
        return {};
    return FormatSerial(WholeNumberValue(t, INT64_MIN / 2, INT64_MAX / 2));
}

// Whether a line, of which the first bytes are given, names the serial.
bool lineNames(const std::string& head, const std::string& serial)
{
    const size_t comma = head.find(',');
    return comma != std::string::npos &&
           eightDigits(std::string_view(head).substr(0, comma)) == serial;
}

bool fileHolds(const QString& path, const std::string& serial)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Only a line's first field matters, so only its first bytes are kept.
    constexpr size_t kHead = 64;
    std::string head;
    char buf[1 << 16];
    qint64 n;
    while ((n = file.read(buf, sizeof buf)) > 0) {
        for (qint64 i = 0; i < n; ++i) {
            const char c = buf[i];
            if (c == '\r' || c == '\n') {
                if (lineNames(head, serial))
                    return true;
                head.clear();
            } else if (head.size() < kHead) {
                head.push_back(c);
            }
        }
    }
    return lineNames(head, serial);
}

} // namespace

QString FindFileHoldingSerial(const QString& folder, const QString& serial)
{
    const QDir dir(folder);
    const std::string wanted = serial.toStdString();
    const QStringList names = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        const QString lower = name.toLower();
        if (!lower.endsWith(QLatin1String(".pdb")) && !lower.endsWith(QLatin1String(".csv")))
            continue;
        if (fileHolds(dir.filePath(name), wanted))
            return dir.filePath(name);
    }
    return QString();
}
