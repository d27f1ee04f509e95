#pragma once
// The record editing feature as the rest of the program uses it.

class QWidget;
class RecordEditor;

// The one record editor of a run, hidden until asked for.
RecordEditor* CreateRecordEditor(QWidget* parent);

// Registers View > Editor.
void RegisterEditingCommands();
