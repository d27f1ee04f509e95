#pragma once
// Every menu item and toolbar button of the program as data: one table of
// rows (object name, caption, language string, shortcut) in menu order, one
// of the toolbar's buttons, and what each feature registers for its rows
// (the handler, the rule that enables it, and for a check mark its state).
// The main window builds its menus, toolbar and captions from these; a row
// nobody has registered is shown disabled.

#include <QString>
#include <functional>
#include <vector>

namespace Commands {

enum class Kind {
    Menu,        // a menu title (a submenu when it has a parent)
    Item,        // a command
    Separator,   // a line between items
    RecentFiles, // where the recently used files go
    WindowList,  // where the list of open child windows goes
    ToolbarOnly, // a command with a toolbar button and no menu item
};

struct Row
{
    Kind kind;
    const char* name;    // object name (nullptr for a separator)
    const char* parent;  // the menu it is in; nullptr: the menu bar
    const char* builtIn; // caption before the language file is read
    int caption;         // language string of the caption; 0: none
    int key;             // shortcut as a Qt key combination; 0: none
    int index;           // index within a control array (mnuViewShowOption(3)); -1: none
    bool checkable;
    bool checkedAtStart;
};

struct ToolbarButton
{
    const char* key;        // picture and button key ("New"); nullptr for a separator
    const char* builtInTip; // tooltip before the language file is read
    int tip;                // language string of the tooltip
    const char* command;    // the id of the command it runs
};

const std::vector<Row>& Menus();
const std::vector<ToolbarButton>& Toolbar();

// How a row is named in registrations and look-ups: its object name, with
// "(index)" for an item of a control array.
QString Id(const Row& row);

// When a registered command may run (besides the user interface not being
// held still by Interact).
enum class Rule {
    Always,
    WithActiveList,  // a usable list window is bound to the editor
    WithActiveChild, // a child window is in front
};

struct Binding
{
    std::function<void()> run;
    Rule rule = Rule::Always;
    std::function<bool()> checked; // the check mark of a checkable row
};

// A feature registers the rows it owns; registering again replaces.
void Register(const QString& id, std::function<void()> run, Rule rule = Rule::Always,
              std::function<bool()> checked = {});
// The registration of a row, or null when its feature has not registered it.
const Binding* Bound(const QString& id);

} // namespace Commands
