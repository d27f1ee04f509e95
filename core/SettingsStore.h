#pragma once
// The program's persisted settings: text values under organisation and
// application "Quorvane", group "Settings". Every key is defined once, in the
// table of SettingsStore.cpp, with its type and default.

#include <QString>
#include <optional>

enum class Setting {
    EnHistEdit,
    IgnoreFileErrs,
    DefaultPath,
    FillIncrement,
    ComPort,
    UseModem,
    NumberToDial,
    DownLoadCount,
    CataloguePath,
    BrenvaskDirectory,
    Address2,
    TrundlexPath,
    mnuWindowFollowMouse,
    MRU1,
    MRU2,
    MRU3,
    MRU4,
    MainLeft,
    MainTop,
    MainWidth,
    MainHeight,
    DMAForm_Width,
    DMAForm_Height,
    SerialNo_ColWidth,
    GridRef_ColWidth,
    Deployed_ColWidth,
    Received_ColWidth,
    Comment1_ColWidth,
    Comment2_ColWidth,
    Date_ColWidth,
    Status_ColWidth,
    Level_ColWidth,
    Spread_ColWidth,
    UserComments_ColWidth,
    SerialNo_ColPosition,
    GridRef_ColPosition,
    Deployed_ColPosition,
    Received_ColPosition,
    Comment1_ColPosition,
    Comment2_ColPosition,
    Date_ColPosition,
    Status_ColPosition,
    Level_ColPosition,
    Spread_ColPosition,
    UserComments_ColPosition,
    ChkGridRef,
    ChkDeployed,
    ChkReceived,
    ChkComment1,
    ChkComment2,
    ChkAll,
    ChkWarning,
    ChkLeak,
    ChkNotInLeak,
    ChkHist,
    ChkSummary,
    FontName,
    FontSize,
    FontBold,
    FontItalic,
    FontStrikethru,
    FontUnderline,
    TxtSerial_FIF,
    SerialNumberToView,
    Distributor,
    MapLayers,
    Count
};

enum class SettingType { Text, Boolean, Int16, Int32, Number };

namespace SettingsStore {

QString keyName(Setting key);
SettingType typeOf(Setting key);
// The table's default as text; nullopt for keys that are absent until written.
std::optional<QString> defaultText(Setting key);

// The stored text, nullopt when absent.
std::optional<QString> stored(Setting key);
bool isStored(Setting key);

// Converted values. A value that is absent or does not convert to the key's
// type gives the default; nullopt when there is none.
QString text(Setting key);
bool boolean(Setting key);
std::optional<qint32> integer(Setting key);
std::optional<double> number(Setting key);

void setText(Setting key, const QString& value);
void setBoolean(Setting key, bool value); // "True" / "False"
void setInteger(Setting key, qint64 value);
void setNumber(Setting key, double value);
void remove(Setting key);
// Whether a write failed since the last call; the file stayed as it was.
bool takeWriteFailure();
// Where the settings are kept, to name in a message.
QString fileName();

// Points the store at an INI file (tests); an empty path restores the user's store.
void useFileForTesting(const QString& iniPath);
// A value of another group of the same store (parts with their own
// configuration, such as the serial link's port names); empty when absent.
QString otherGroupText(const QString& group, const QString& key);

// Conversions from stored text, exposed for tests.
std::optional<bool> toBoolean(const QString& text);
std::optional<qint64> toWholeNumber(const QString& text, qint64 lo, qint64 hi);

} // namespace SettingsStore

// The settings the program keeps in memory for the whole run.
struct ProgramSettings
{
    bool EnHistEdit = false;
    bool IgnoreFileErrs = false;
    QString DefaultPath;
    qint32 FillIncrement = 1;
    qint16 ComPort = 1;
    bool UseModem = false;
    QString NumberToDial;
    qint16 DownLoadCount = 1;
    QString CataloguePath;
    QString BrenvaskDirectory;
    QString Address2 = QStringLiteral("0"); // compared as text by the grid formats
    QString TrundlexPath;
    bool FollowMouse = false; // mnuWindowFollowMouse

    // Reads the keys the program mirrors.
    void load();
    // Writes back the keys the program saves at exit.
    void save() const;
};

ProgramSettings& Globals();

// Stores the folder of a path as DefaultPath, at once; nothing changes when
// the path holds no folder separator.
void RememberDefaultPath(const QString& path);
