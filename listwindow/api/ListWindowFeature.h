#pragma once
// The list window feature as the rest of the program uses it.

#include <QString>

// Registers File > New, Open, Save, Save As and Close, the View commands on
// the list and its columns, and the toolbar's page buttons.
void RegisterListWindowCommands();

class ListWindow;

// Opens the file as a new list window, or a result file from the handheld
// receiver; null (after telling the user why) when it cannot be read.
ListWindow* OpenDocument(const QString& path, bool handheldResult = false);

// A text viewer window showing a report the program made. Unless askToSave,
// closing it asks about saving only once the user has changed the text.
void OpenTextReport(const QString& caption, const QString& text, bool askToSave = true);
