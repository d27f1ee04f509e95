#pragma once
// The second comment line holds free text or one of several map coordinate
// formats, chosen by the Address2 setting (0 to 14).

#include <QString>
#include <QStringList>

// The fifteen entries the options offer, in the order of their numbers 0 to 14.
QStringList Address2Entries();
// The number of the entry the setting names exactly ("1" to "14"), or 0.
int Address2Entry(const QString& address2);

// The caption that labels the field, for the program's Address2 setting.
QString Address2Caption();
QString Address2Caption(const QString& address2);
// The input mask of the field ('>' upper case, '#' digit, '?' letter,
// '&' any character, '\' a fixed literal).
QString Address2Mask();
QString Address2Mask(const QString& address2);
