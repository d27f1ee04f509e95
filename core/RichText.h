#pragma once
// Plain text to and from the rich-text format, for saved report texts; and
// any file read for the text viewer.

#include <QByteArray>
#include <QString>
#include <optional>

// A rich-text document holding the text in a fixed-pitch font.
QByteArray TextToRtf(const QString& text);

// How much text a reader takes at most: characters, and line breaks.
struct TextLimits
{
    qsizetype chars;
    qsizetype lines;
};
// The text of a rich-text document (formatting dropped); nothing when it
// holds more than the limits.
std::optional<QString> RtfToText(const QByteArray& rtf, const TextLimits& limits);
QString RtfToText(const QByteArray& rtf);

// What the text viewer shows at most: past this its box holds the program up
// for seconds and takes hundreds of megabytes (some 140 bytes for each line).
inline constexpr TextLimits kViewerLimits{4'000'000, 100'000};

// A file for the text viewer: rich text as its plain text, any other file as
// Windows-1252 text. Returns a FileResult code: Ok, NoSuchFile, Unreadable, or
// TooMuchText when it holds more than the viewer shows (nothing read then
// past what tells so). Memory stays within the text shown, whatever the size
// of the file.
int ReadViewerText(const QString& path, QString& text);
