#include "SettingsStore.h"

#include "Utilities.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <array>
#include <cmath>
#include <memory>
#include <utility>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <cstdio>
#include <unistd.h>
#endif

namespace {

enum class DefaultKind { Fixed, None, ProgramFolder, HubFolder, RootFolder, WalkByFolder };

struct SettingDef
{
    Setting key;
    const char* name;
    SettingType type;
    DefaultKind kind;
    const char* fixed = "";
};

using T = SettingType;
using D = DefaultKind;

// Every key the program reads or writes.
constexpr SettingDef kSettings[] = {
    {Setting::EnHistEdit, "EnHistEdit", T::Boolean, D::Fixed, "False"},
    {Setting::IgnoreFileErrs, "IgnoreFileErrs", T::Boolean, D::Fixed, "False"},
    {Setting::DefaultPath, "DefaultPath", T::Text, D::ProgramFolder},
    {Setting::FillIncrement, "FillIncrement", T::Int32, D::Fixed, "1"},
    {Setting::ComPort, "ComPort", T::Int16, D::Fixed, "1"},
    {Setting::UseModem, "UseModem", T::Boolean, D::Fixed, "False"},
    {Setting::NumberToDial, "NumberToDial", T::Text, D::Fixed, "1234567890"},
    {Setting::DownLoadCount, "DownLoadCount", T::Int16, D::Fixed, "1"},
    {Setting::CataloguePath, "CataloguePath", T::Text, D::RootFolder},
    {Setting::BrenvaskDirectory, "BrenvaskDirectory", T::Text, D::HubFolder},
    {Setting::Address2, "Address2", T::Int32, D::Fixed, "0"},
    {Setting::TrundlexPath, "TrundlexPath", T::Text, D::WalkByFolder},
    {Setting::mnuWindowFollowMouse, "mnuWindowFollowMouse", T::Boolean, D::Fixed, "False"},
    {Setting::MRU1, "MRU1", T::Text, D::Fixed, ""},
    {Setting::MRU2, "MRU2", T::Text, D::Fixed, ""},
    {Setting::MRU3, "MRU3", T::Text, D::Fixed, ""},
    {Setting::MRU4, "MRU4", T::Text, D::Fixed, ""},
    {Setting::MainLeft, "MainLeft", T::Number, D::None},
    {Setting::MainTop, "MainTop", T::Number, D::None},
    {Setting::MainWidth, "MainWidth", T::Number, D::None},
    {Setting::MainHeight, "MainHeight", T::Number, D::None},
    {Setting::DMAForm_Width, "DMAForm_Width", T::Number, D::Fixed, "9450"},
    {Setting::DMAForm_Height, "DMAForm_Height", T::Number, D::None}, // 0.66 x the width
    // Column widths default to fractions of the list's width, worked out by the window.
    {Setting::SerialNo_ColWidth, "SerialNo_ColWidth", T::Number, D::None},
    {Setting::GridRef_ColWidth, "GridRef_ColWidth", T::Number, D::None},
    {Setting::Deployed_ColWidth, "Deployed_ColWidth", T::Number, D::None},
    {Setting::Received_ColWidth, "Received_ColWidth", T::Number, D::None},
    {Setting::Comment1_ColWidth, "Comment1_ColWidth", T::Number, D::None},
    {Setting::Comment2_ColWidth, "Comment2_ColWidth", T::Number, D::None},
    {Setting::Date_ColWidth, "Date_ColWidth", T::Number, D::None},
    {Setting::Status_ColWidth, "Status_ColWidth", T::Number, D::None},
    {Setting::Level_ColWidth, "Level_ColWidth", T::Number, D::None},
    {Setting::Spread_ColWidth, "Spread_ColWidth", T::Number, D::None},
    {Setting::UserComments_ColWidth, "UserComments_ColWidth", T::Number, D::None},
    {Setting::SerialNo_ColPosition, "SerialNo_ColPosition", T::Int16, D::Fixed, "1"},
    {Setting::GridRef_ColPosition, "GridRef_ColPosition", T::Int16, D::Fixed, "2"},
    {Setting::Deployed_ColPosition, "Deployed_ColPosition", T::Int16, D::Fixed, "3"},
    {Setting::Received_ColPosition, "Received_ColPosition", T::Int16, D::Fixed, "4"},
    {Setting::Comment1_ColPosition, "Comment1_ColPosition", T::Int16, D::Fixed, "5"},
    {Setting::Comment2_ColPosition, "Comment2_ColPosition", T::Int16, D::Fixed, "6"},
    {Setting::Date_ColPosition, "Date_ColPosition", T::Int16, D::Fixed, "7"},
    {Setting::Status_ColPosition, "Status_ColPosition", T::Int16, D::Fixed, "8"},
    {Setting::Level_ColPosition, "Level_ColPosition", T::Int16, D::Fixed, "9"},
    {Setting::Spread_ColPosition, "Spread_ColPosition", T::Int16, D::Fixed, "10"},
    {Setting::UserComments_ColPosition, "UserComments_ColPosition", T::Int16, D::Fixed, "11"},
    {Setting::ChkGridRef, "ChkGridRef", T::Int16, D::Fixed, "0"},
    {Setting::ChkDeployed, "ChkDeployed", T::Int16, D::Fixed, "0"},
    {Setting::ChkReceived, "ChkReceived", T::Int16, D::Fixed, "0"},
    {Setting::ChkComment1, "ChkComment1", T::Int16, D::Fixed, "0"},
    {Setting::ChkComment2, "ChkComment2", T::Int16, D::Fixed, "0"},
    {Setting::ChkAll, "ChkAll", T::Int16, D::Fixed, "1"},
    {Setting::ChkWarning, "ChkWarning", T::Int16, D::Fixed, "0"},
    {Setting::ChkLeak, "ChkLeak", T::Int16, D::Fixed, "0"},
    {Setting::ChkNotInLeak, "ChkNotInLeak", T::Int16, D::Fixed, "0"},
    {Setting::ChkHist, "ChkHist", T::Int16, D::Fixed, "0"},
    {Setting::ChkSummary, "ChkSummary", T::Int16, D::Fixed, "0"},
    {Setting::FontName, "FontName", T::Text, D::Fixed, "Courier New"},
    {Setting::FontSize, "FontSize", T::Number, D::Fixed, "8"},
    {Setting::FontBold, "FontBold", T::Boolean, D::Fixed, "False"},
    {Setting::FontItalic, "FontItalic", T::Boolean, D::Fixed, "False"},
    {Setting::FontStrikethru, "FontStrikethru", T::Boolean, D::Fixed, "False"},
    {Setting::FontUnderline, "FontUnderline", T::Boolean, D::Fixed, "False"},
    {Setting::TxtSerial_FIF, "TxtSerial_FIF", T::Int32, D::Fixed, "9000000"},
    // Written by other programs: seconds since 1970, a colon, a serial.
    {Setting::SerialNumberToView, "SerialNumberToView", T::Text, D::Fixed, ""},
    {Setting::Distributor, "Distributor", T::Text, D::Fixed, "Quorvane"},
    // The map's background layers: file paths, "|" between them.
    {Setting::MapLayers, "MapLayers", T::Text, D::Fixed, ""},
};

constexpr bool tableMatchesEnum()
{
    int i = 0;
    for (const SettingDef& d : kSettings)
        if (static_cast<int>(d.key) != i++)
            return false;
    return i == static_cast<int>(Setting::Count);
}
static_assert(tableMatchesEnum(), "one table entry per Setting, in enum order");

const SettingDef& def(Setting key)
{
    return kSettings[static_cast<int>(key)];
}

QString& testFile()
{
    static QString path;
    return path;
}

std::unique_ptr<QSettings> openGroup(const QString& group)
{
    std::unique_ptr<QSettings> s;
    if (testFile().isEmpty())
        s = std::make_unique<QSettings>(QStringLiteral("Quorvane"), QStringLiteral("Quorvane"));
    else
        s = std::make_unique<QSettings>(testFile(), QSettings::IniFormat);
    s->beginGroup(group);
    return s;
}

std::unique_ptr<QSettings> open()
{
    return openGroup(QStringLiteral("Settings"));
}

bool& writeFailed()
{
    static bool failed = false;
    return failed;
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// Whether the settings file, read afresh under a name no settings object has
// seen (a second link to it), holds what the settings in memory hold.
bool readsBack(QSettings& written)
{
    // What was meant to be written, before anything reads the file again.
    const QString group = written.group();
    written.endGroup();
    QVariantMap expected;
    for (const QString& key : written.allKeys())
        expected.insert(key, written.value(key));
    written.beginGroup(group);

    static int checks = 0;
    const QString check =
        written.fileName() + QStringLiteral(".check%1-%2").arg(getpid()).arg(++checks);
    if (::link(QFile::encodeName(written.fileName()).constData(),
               QFile::encodeName(check).constData()) != 0)
        return false;
    QVariantMap found;
    {
        const QSettings fresh(check, QSettings::IniFormat);
        for (const QString& key : fresh.allKeys())
            found.insert(key, fresh.value(key));
    }
    QFile::remove(check);
    return found == expected;
}
#endif

// Writes the settings file. The settings object replaces it through a
// temporary file but does not notice when its last bytes fail to reach the
// disk, and would put a cut-off file in place; so the old file is held under
// a second link while the new one is read back, and comes back when the new
// one is not whole.
void save(QSettings& settings)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const QByteArray path = QFile::encodeName(settings.fileName());
    const QByteArray kept = path + ".kept";
    ::unlink(kept.constData());
    const bool hadOld = ::link(path.constData(), kept.constData()) == 0;
    settings.sync();
    const bool ok = settings.status() == QSettings::NoError && readsBack(settings);
    if (!ok && hadOld)
        std::rename(kept.constData(), path.constData());
    else if (!ok)
        ::unlink(path.constData());
    ::unlink(kept.constData());
#else
    settings.sync();
    const bool ok = settings.status() == QSettings::NoError;
#endif
    if (!ok)
        writeFailed() = true;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

namespace SettingsStore {

QString keyName(Setting key)
{
    return QString::fromLatin1(def(key).name);
}

SettingType typeOf(Setting key)
{
    return def(key).type;
}

std::optional<QString> defaultText(Setting key)
{
    const SettingDef& d = def(key);
    switch (d.kind) {
    case D::Fixed:
        return QString::fromLatin1(d.fixed);
    case D::None:
        return std::nullopt;
    case D::ProgramFolder:
        return native(ProgramFolder());
    case D::HubFolder:
        return native(ProgramFolder() + QStringLiteral("/brenvask"));
    case D::RootFolder:
        return native(QDir::rootPath());
    case D::WalkByFolder:
        return native(QDir::rootPath() + QStringLiteral("vennick/vdata"));
    }
    return std::nullopt;
}

std::optional<QString> stored(Setting key)
{
    const QVariant v = open()->value(keyName(key));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool isStored(Setting key)
{
    return open()->contains(keyName(key));
}

std::optional<bool> toBoolean(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (ok && std::isfinite(v))
        return v != 0;
    return std::nullopt;
}

std::optional<qint64> toWholeNumber(const QString& text, qint64 lo, qint64 hi)
{
    bool ok = false;
    const double v = std::nearbyint(text.trimmed().toDouble(&ok)); // halves to even
    if (!ok || !std::isfinite(v) || v < static_cast<double>(lo) || v > static_cast<double>(hi))
        return std::nullopt;
    return static_cast<qint64>(v);
}

namespace {
// Converts a stored value, or failing that the default, with convert.
template <typename R, typename F> std::optional<R> convertedOrDefault(Setting key, F convert)
{
    if (const auto s = stored(key))
        if (const auto v = convert(*s))
            return static_cast<R>(*v);
    if (const auto d = defaultText(key))
        if (const auto v = convert(*d))
            return static_cast<R>(*v);
    return std::nullopt;
}
} // namespace

QString text(Setting key)
{
    if (const auto s = stored(key))
        return *s;
    return defaultText(key).value_or(QString());
}

bool boolean(Setting key)
{
    return convertedOrDefault<bool>(key, toBoolean).value_or(false);
}

std::optional<qint32> integer(Setting key)
{
    const bool narrow = typeOf(key) == SettingType::Int16;
    const qint64 lo = narrow ? INT16_MIN : INT32_MIN, hi = narrow ? INT16_MAX : INT32_MAX;
    return convertedOrDefault<qint32>(
        key, [lo, hi](const QString& t) { return toWholeNumber(t, lo, hi); });
}

std::optional<double> number(Setting key)
{
    return convertedOrDefault<double>(key, [](const QString& t) -> std::optional<double> {
        bool ok = false;
        const double v = t.trimmed().toDouble(&ok);
        if (ok && std::isfinite(v))
            return v;
        return std::nullopt;
    });
}

void setText(Setting key, const QString& value)
{
    const auto settings = open();
    settings->setValue(keyName(key), value);
    save(*settings);
}

void setBoolean(Setting key, bool value)
{
    setText(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void setInteger(Setting key, qint64 value)
{
    setText(key, QString::number(value));
}

void setNumber(Setting key, double value)
{
    setText(key, QString::number(value, 'g', 15));
}

void remove(Setting key)
{
    const auto settings = open();
    settings->remove(keyName(key));
    save(*settings);
}

bool takeWriteFailure()
{
    return std::exchange(writeFailed(), false);
}

QString fileName()
{
    return QDir::toNativeSeparators(open()->fileName());
}

void useFileForTesting(const QString& iniPath)
{
    testFile() = iniPath;
}

QString otherGroupText(const QString& group, const QString& key)
{
    return openGroup(group)->value(key).toString();
}

} // namespace SettingsStore

namespace {
// One trailing folder separator goes; a bare root keeps its separator.
QString withoutTrailingSeparator(QString path)
{
    if (path.size() > 1 && (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'))))
        path.chop(1);
    return path;
}
} // namespace

void ProgramSettings::load()
{
    using namespace SettingsStore;
    EnHistEdit = boolean(Setting::EnHistEdit);
    IgnoreFileErrs = boolean(Setting::IgnoreFileErrs);
    DefaultPath = withoutTrailingSeparator(text(Setting::DefaultPath));
    FillIncrement = integer(Setting::FillIncrement).value_or(1);
    ComPort = static_cast<qint16>(integer(Setting::ComPort).value_or(1));
    UseModem = boolean(Setting::UseModem);
    NumberToDial = text(Setting::NumberToDial);
    CataloguePath = text(Setting::CataloguePath);
    BrenvaskDirectory = text(Setting::BrenvaskDirectory);
    Address2 = text(Setting::Address2);
    TrundlexPath = text(Setting::TrundlexPath);
    DownLoadCount = static_cast<qint16>(integer(Setting::DownLoadCount).value_or(1));
    FollowMouse = boolean(Setting::mnuWindowFollowMouse);
}

void ProgramSettings::save() const
{
    using namespace SettingsStore;
    setInteger(Setting::FillIncrement, FillIncrement);
    setInteger(Setting::ComPort, ComPort);
    setBoolean(Setting::UseModem, UseModem);
    setText(Setting::NumberToDial, NumberToDial);
    setInteger(Setting::DownLoadCount, DownLoadCount);
    setText(Setting::CataloguePath, CataloguePath);
    setBoolean(Setting::EnHistEdit, EnHistEdit);
    setBoolean(Setting::IgnoreFileErrs, IgnoreFileErrs);
    setBoolean(Setting::mnuWindowFollowMouse, FollowMouse);
}

ProgramSettings& Globals()
{
    static ProgramSettings settings;
    return settings;
}

void RememberDefaultPath(const QString& path)
{
    const qsizetype at =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    if (at < 0)
        return;
    Globals().DefaultPath = at == 0 ? path.left(1) : path.left(at); // a file in the root folder
    // Every list window that binds the editor remembers its folder; writing
    // the store only on a change keeps that from touching the disk each time.
    if (SettingsStore::stored(Setting::DefaultPath) != Globals().DefaultPath)
        SettingsStore::setText(Setting::DefaultPath, Globals().DefaultPath);
}
