#pragma once
// The record editing feature as the rest of the program uses it.

class QWidget;
class RecordEditor;

// The one record editor of a run, hidden until asked for.
RecordEditor* CreateRecordEditor(QWidget* parent);

// Registers View > Editor, the Logger menu and Find.
void RegisterEditingCommands();

// Forgets the text last searched for (the start-up does, with the settings).
void ClearLastFindText();
