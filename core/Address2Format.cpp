#include "Address2Format.h"

#include "LangText.h"
#include "SettingsStore.h"

namespace {

struct Format
{
    const char* caption;
    const char* mask;
};

// Entries 1 to 13; 0, 14 and anything else are free text.
const Format kFormats[] = {
    {"Lat/Long", ">?##\\.#####\\-?###\\.#####"},
    {"BNG Grid", ">??\\-#####\\-#####"},
    {"RD Grid", ">######\\-######"},
    {"KKJ Grid", ">#######\\-#######"},
    {"GK Grid", ">#######\\-#######"},
    {"ITM Grid", ">\\I?\\-#####\\-#####"},
    {"MGRS Grid", ">?##\\-??\\-#####\\-#####"},
    {"NZ Grid", ">E#######\\-N#######"},
    {"SG Grid", ">O#######\\-N#######"},
    {"SUI Grid", ">######\\-######"},
    {"T67 Grid", ">######\\-######"},
    {"UTM Grid", ">##\\-?\\-#######\\-#######"},
    {"QNG Grid", ">######\\-######"},
};
constexpr const char* kFreeMask = ">&&&&&&&&&&&&&&&&&&&&";

} // namespace

int Address2Entry(const QString& address2)
{
    for (int i = 1; i <= 14; ++i)
        if (address2 == QString::number(i))
            return i;
    return 0;
}

QStringList Address2Entries()
{
    return {QStringLiteral("Address2"),
            QStringLiteral("Lat/Long (Hdd.ddddd-Hddd.ddddd)"),
            QStringLiteral("BNG (XX-nnnnn-nnnnn)"),
            QStringLiteral("RD (nnnnnn-nnnnnn)"),
            QStringLiteral("KKJ (nnnnnnn-nnnnnnn)"),
            QStringLiteral("GK (nnnnnnn-nnnnnnn)"),
            QStringLiteral("ITM (IX-nnnnn-nnnnn)"),
            QStringLiteral("MGRS (Xnn-XX-nnnnn-nnnnn)"),
            QStringLiteral("NZ (Ennnnnnn-Nnnnnnnn)"),
            QStringLiteral("SG (Onnnnnnn-Nnnnnnnn)"),
            QStringLiteral("SUI (nnnnnn-nnnnnn)"),
            QStringLiteral("T67 (nnnnnn-nnnnnn)"),
            QStringLiteral("UTM (nn-X-nnnnnnn-nnnnnnn)"),
            QStringLiteral("QNG (nnnnnn-nnnnnn)"),
            QStringLiteral("Valve ID")};
}

QString Address2Caption()
{
    return Address2Caption(Globals().Address2);
}

QString Address2Caption(const QString& address2)
{
    const int e = Address2Entry(address2);
    if (e == 14)
        return LangText(616); // valve ID
    if (e == 0)
        return LangText(161); // address line 2
    return QString::fromLatin1(kFormats[e - 1].caption);
}

QString Address2Mask()
{
    return Address2Mask(Globals().Address2);
}

QString Address2Mask(const QString& address2)
{
    const int e = Address2Entry(address2);
    return QString::fromLatin1(e >= 1 && e <= 13 ? kFormats[e - 1].mask : kFreeMask);
}
