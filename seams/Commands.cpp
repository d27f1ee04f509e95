#include "Commands.h"

#include <QHash>
#include <Qt>

namespace Commands {

namespace {

constexpr int key(QKeyCombination combination)
{
    return combination.toCombined();
}

Row menu(const char* name, const char* parent, const char* builtIn, int caption)
{
    return {Kind::Menu, name, parent, builtIn, caption, 0, -1, false, false};
}

Row item(const char* name, const char* parent, const char* builtIn, int caption, int shortcut = 0)
{
    return {Kind::Item, name, parent, builtIn, caption, shortcut, -1, false, false};
}

Row check(const char* name, const char* parent, const char* builtIn, int caption,
          bool checkedAtStart)
{
    return {Kind::Item, name, parent, builtIn, caption, 0, -1, true, checkedAtStart};
}

Row separator(const char* parent)
{
    return {Kind::Separator, nullptr, parent, "-", 0, 0, -1, false, false};
}

std::vector<Row> buildMenus()
{
    std::vector<Row> rows = {
        menu("mnuFile", nullptr, "&File", 258),
        item("mnuFileNew", "mnuFile", "&New", 259, key(Qt::CTRL | Qt::Key_N)),
        item("mnuFileNewWin", "mnuFile", "New, from current &Window...", 260),
        separator("mnuFile"),
        item("mnuFileOpen", "mnuFile", "&Open...", 262, key(Qt::CTRL | Qt::Key_O)),
        item("mnuFileMerge", "mnuFile", "Add &most recent patrol to...", 263),
        separator("mnuFile"),
        item("mnuFileSave", "mnuFile", "&Save", 264, key(Qt::CTRL | Qt::Key_S)),
        item("mnuFileSaveAs", "mnuFile", "Save &As...", 265, key(Qt::CTRL | Qt::Key_A)),
        item("mnuFileImport", "mnuFile", "&Import Trundlex File", 518),
        item("mnuFileExport", "mnuFile", "&Export...", 266),
        separator("mnuFile"),
        item("mnuFileClose", "mnuFile", "&Close", 267),
        separator("mnuFile"),
        item("mnuFilePageSetup", "mnuFile", "Page Set&up...", 268),
        item("mnuFilePrint", "mnuFile", "&Print...", 269, key(Qt::CTRL | Qt::Key_P)),
        separator("mnuFile"),
        {Kind::RecentFiles, "mnuFileMRU", "mnuFile", "", 0, 0, -1, false, false},
        separator("mnuFile"),
        item("mnuFileExit", "mnuFile", "E&xit", 270),

        menu("mnuEdit", nullptr, "&Edit", 271),
        item("mnuEditCut", "mnuEdit", "Cu&t", 272, key(Qt::CTRL | Qt::Key_X)),
        item("mnuEditCopy", "mnuEdit", "&Copy", 273, key(Qt::CTRL | Qt::Key_C)),
        item("mnuEditPaste", "mnuEdit", "&Paste", 274, key(Qt::CTRL | Qt::Key_V)),

        menu("mnuSearch", nullptr, "&Search", 275),
        item("mnuSearchrFind", "mnuSearch", "&Find...", 276, key(Qt::CTRL | Qt::Key_F)),
        item("mnuSearchFindNext", "mnuSearch", "Find &Next", 277, Qt::Key_F3),
        separator("mnuSearch"),
        item("mnuSearchCatalogue", "mnuSearch", "For serial number in files...", 278),

        menu("mnuLogger", nullptr, "&Logger", 279),
        item("mnuLoggerAdd", "mnuLogger", "&Add...", 280, Qt::Key_Insert),
        item("mnuLoggerRemove", "mnuLogger", "&Remove", 281, Qt::Key_Delete),
        item("mnuLoggerChangeSerial", "mnuLogger", "&Change Serial...", 282),
        item("mnuLoggerChangeDeployDate", "mnuLogger", "Change &Deploy date...", 283),
        separator("mnuLogger"),
        item("mnuLoggerFill", "mnuLogger", "F&ill...", 284),

        menu("mnuKorvalind", nullptr, "&Korvalind", 285),
        menu("mnuKorvalindFrom", "mnuKorvalind", "&Receive from Korvalind", 286),
        item("mnuKorvalindFromSome", "mnuKorvalindFrom", "Selection", 287, Qt::Key_F5),
        item("mnuKorvalindFromAll", "mnuKorvalindFrom", "All", 288, key(Qt::SHIFT | Qt::Key_F5)),
        menu("mnuKorvalindTo", "mnuKorvalind", "Send to Korvalind", 289),
        item("mnuKorvalindToSome", "mnuKorvalindTo", "Selection", 287, Qt::Key_F9),
        item("mnuKorvalindToAll", "mnuKorvalindTo", "All", 288, key(Qt::SHIFT | Qt::Key_F9)),
        separator("mnuKorvalind"),
        item("mnuKorvalindOptions", "mnuKorvalind", "&Options...", 290),

        menu("mnuView", nullptr, "&View", 291),
        item("mnuViewEditor", "mnuView", "&Editor", 292, Qt::Key_F8),
        item("mnuViewLogger", "mnuView", "&Logger", 0),
        item("mnuViewMap", "mnuView", "&Map", 760, key(Qt::CTRL | Qt::Key_M)),
        check("mnuViewToolbar", "mnuView", "&Toolbar", 293, true),
        check("mnuViewStatusBar", "mnuView", "Status &Bar", 294, true),
        separator("mnuView"),
        item("mnuViewRefreshList", "mnuView", "&Refresh List", 295, Qt::Key_F12),
        check("mnuViewAutoSize", "mnuView", "AutoSize", 296, false),
        separator("mnuView"),
        menu("mnuViewShow", "mnuView", "&Show", 297),
        menu("mnuViewHide", "mnuView", "&Hide", 0),
    };
    // View > Show and View > Hide: All, then columns 1 to 7.
    const char* optionCaptions[8] = {"All",      "Serial",    "Grid ref",  "Deployed",
                                     "Received", "Comment 1", "Comment 2", "Date"};
    const int optionStrings[8] = {288, 158, 298, 162, 163, 299, 300, 164};
    for (const char* which : {"Show", "Hide"}) {
        const bool show = which[0] == 'S';
        for (int k = 0; k < 8; ++k)
            rows.push_back({Kind::Item, show ? "mnuViewShowOption" : "mnuViewHideOption",
                            show ? "mnuViewShow" : "mnuViewHide", optionCaptions[k],
                            optionStrings[k], show && k == 0 ? int(Qt::Key_F2) : 0, k, false,
                            false});
    }
    const std::vector<Row> rest = {
        menu("mnuCowl", nullptr, "&Cowl", 588),
        item("mnuCowlSetup", "mnuCowl", "&Setup...", 589),

        menu("mnuWindow", nullptr, "&Window", 302),
        item("mnuWindowCascade", "mnuWindow", "&Cascade", 303),
        item("mnuWindowTileHorizontal", "mnuWindow", "Tile &Horizontal", 304),
        item("mnuWindowTileVertical", "mnuWindow", "Tile &Vertical", 305),
        item("mnuWindowArrangeIcons", "mnuWindow", "&Arrange Icons", 306),
        separator("mnuWindow"),
        check("mnuWindowFollowMouse", "mnuWindow", "&Follow mouse", 498, false),
        {Kind::WindowList, "mnuWindowList", "mnuWindow", "", 0, 0, -1, false, false},

        menu("mnuHelp", nullptr, "&Help", 307),
        item("mnuHelpContents", "mnuHelp", "&Contents", 308, Qt::Key_F1),
        separator("mnuHelp"),
        item("mnuHelpAbout", "mnuHelp", "&About ", 309),

        // The toolbar's page buttons have no menu item.
        {Kind::ToolbarOnly, "tbBack", nullptr, "Previous Page", 0, 0, -1, false, false},
        {Kind::ToolbarOnly, "tbForward", nullptr, "Next Page", 0, 0, -1, false, false},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    return rows;
}

QHash<QString, Binding>& bindings()
{
    static QHash<QString, Binding> table;
    return table;
}

} // namespace

const std::vector<Row>& Menus()
{
    static const std::vector<Row> rows = buildMenus();
    return rows;
}

const std::vector<ToolbarButton>& Toolbar()
{
    static const std::vector<ToolbarButton> buttons = {
        {"New", "New", 317, "mnuFileNew"},
        {"Open", "Open", 318, "mnuFileOpen"},
        {"Save", "Save", 319, "mnuFileSave"},
        {nullptr, nullptr, 0, nullptr},
        {"Print", "Print", 320, "mnuFilePrint"},
        {nullptr, nullptr, 0, nullptr},
        {"Cut", "Cut", 321, "mnuEditCut"},
        {"Copy", "Copy", 322, "mnuEditCopy"},
        {"Paste", "Paste", 323, "mnuEditPaste"},
        {nullptr, nullptr, 0, nullptr},
        {"Back", "Previous Page", 326, "tbBack"},
        {"Forward", "Next Page", 327, "tbForward"},
        {nullptr, nullptr, 0, nullptr},
        {"from_korvalind", "Receive all from Korvalind", 324, "mnuKorvalindFromAll"},
        {nullptr, nullptr, 0, nullptr},
        {"to_korvalind", "Send all to Korvalind", 325, "mnuKorvalindToAll"},
        {nullptr, nullptr, 0, nullptr},
        {"AddQuorvane", "", 499, "mnuLoggerAdd"},
    };
    return buttons;
}

QString Id(const Row& row)
{
    const QString name = QString::fromLatin1(row.name ? row.name : "");
    return row.index < 0 ? name
                         : name + QLatin1Char('(') + QString::number(row.index) + QLatin1Char(')');
}

void Register(const QString& id, std::function<void()> run, Rule rule,
              std::function<bool()> checked)
{
    bindings().insert(id, Binding{std::move(run), rule, std::move(checked)});
}

const Binding* Bound(const QString& id)
{
    const auto it = bindings().constFind(id);
    return it == bindings().constEnd() ? nullptr : &it.value();
}

} // namespace Commands
