#pragma once
// Plain text to and from the rich-text format, for saved report texts.

#include <QByteArray>
#include <QString>

// A rich-text document holding the text in a fixed-pitch font.
QByteArray TextToRtf(const QString& text);
// The text of a rich-text document (formatting dropped).
QString RtfToText(const QByteArray& rtf);
