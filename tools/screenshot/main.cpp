// quorvane-screenshot OUT.png FILE...: starts the program on the files, with
// its own throw-away settings, tiles the list windows side by side and saves
// a picture of the main window.
// quorvane-screenshot --histogram OUT.png: the noise histogram window, read
// from a simulated logger on a pseudo-terminal.
// quorvane-screenshot --preview OUT.png FILE: the print preview of the
// logger report, with history, of the file.
// quorvane-screenshot --editor OUT.png FILE: the record editor with its
// graph, on the first logger of the file with the most leak readings.
// quorvane-screenshot --cowl-setup OUT.png: the Cowl Setup window connected
// to a simulated logger.
// quorvane-screenshot --map OUT.png FILE [LAYER...]: View > Map on the file's
// loggers over the layers (added through Add Layer...), fitted, with a leak
// logger's line current.
// quorvane-screenshot --icons FOLDER: the program's icon as PNG files of
// the usual sizes (quorvane-16.png ...), for packaging/icons.
// scripts/screenshot.sh runs them under Xvfb for the README and the guide.

#include "AppState.h"
#include "CaptureRoutines.h"
#include "Com32.h"
#include "CowlComms.h"
#include "Icons.h"
#include "ListWindow.h"
#include "LoggerList.h"
#include "LoggerSimulator.h"
#include "MapCanvas.h"
#include "MapFeature.h"
#include "ProgramPrinter.h"
#include "Prompts.h"
#include "RecordEditor.h"
#include "Report.h"
#include "ReportDrawing.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "frmCowlGraph.h"
#include "frmCowlSetup.h"
#include "frmMain.h"
#include "frmMap.h"
#include "frmPrintPreview.h"
#include "frmPrintSetup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QMdiArea>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Saves a picture of the window once it has been shown for a moment.
int grabLater(QApplication& app, QWidget& window, const QString& out)
{
    int status = 1;
    QTimer::singleShot(500, &window, [&] {
        status = CaptureForm(&window).save(out) ? 0 : 1;
        app.quit();
    });
    app.exec();
    return status;
}

// A simulated logger on a pseudo-terminal, reached as COM1.
bool simulateOnCom1(LoggerSimulator& logger)
{
    const QString pty = logger.openPseudoTerminal();
    if (pty.isEmpty()) {
        std::fputs("quorvane-screenshot: no pseudo-terminal\n", stderr);
        return false;
    }
    qputenv("QUORVANE_COM1", pty.toLocal8Bit());
    return true;
}

int histogram(QApplication& app, const QString& out)
{
    LoggerSimulator logger;
    if (!simulateOnCom1(logger))
        return 1;
    logger.state.serial = 4071234;
    logger.state.leakStatus = 2;
    // The last twelve results, oldest first in the reply's pairs: a leak
    // growing louder, the newest needing a second look.
    const quint8 levels[12] = {0x9A, 0x99, 0x98, 0x97, 0x96, 0x95,
                               0x94, 0x13, 0x12, 0x12, 0x11, 0x11};
    const quint8 spreads[12] = {0x86, 0x06, 0x06, 0x05, 0x05, 0x05,
                                0x04, 0x04, 0x03, 0x03, 0x03, 0x02};
    for (int k = 0; k < 12; ++k) {
        logger.state.history[static_cast<size_t>(22 - 2 * k)] = levels[k];
        logger.state.history[static_cast<size_t>(23 - 2 * k)] = spreads[k];
    }
    if (!CowlComms::CowlConnect(1)) {
        std::fputs("quorvane-screenshot: the simulated logger did not answer\n", stderr);
        return 1;
    }
    frmCowlGraph graph;
    if (!graph.load())
        return 1;
    graph.show();
    const int status = grabLater(app, graph, out);
    CowlComms::Link().COMM_CLOSE();
    return status;
}

int cowlSetup(QApplication& app, const QString& out)
{
    LoggerSimulator logger;
    if (!simulateOnCom1(logger))
        return 1;
    logger.state.serial = 4071234;
    frmCowlSetup setup;
    setup.show();
    setup.optCOMPort[0]->setChecked(true);
    setup.cmdConnect_Click();
    const int status = grabLater(app, setup, out);
    setup.cmdClose_Click();
    return status;
}

int editor(QApplication& app, const QString& out)
{
    ListWindow* list = App::UsableActiveList();
    RecordEditor* editor = App::Editor();
    if (!list || !editor)
        return 1;
    int line = 1, most = -1;
    for (int l = 1; l <= list->document().LineCount(); ++l) {
        const LoggerRecord& r = list->document().record(list->document().RecordOfLine(l));
        const auto leaks = std::count_if(r.Status.begin(), r.Status.end(),
                                         [](const AnsiText& s) { return s.str() == "L"; });
        if (leaks > most) {
            line = l;
            most = static_cast<int>(leaks);
        }
    }
    list->ShowLine(line);
    editor->show();
    if (!editor->graphShown())
        editor->toggleGraph();
    return grabLater(app, *editor, out);
}

int preview(QApplication& app, const QString& out)
{
    frmMain* main = MainWindow();
    main->resize(1180, 660);
    int status = 1;
    QTimer::singleShot(300, main, [&] {
        frmPrintSetup setup(main);
        setup.ChkGridRef->setChecked(true);
        setup.ChkHist->setChecked(true);
        setup.ChkAll->setChecked(false);
        setup.ChkLeak->setChecked(true);
        setup.ChkWarning->setChecked(true);
        setup.ChkNotInLeak->setChecked(true);
        setup.TxtComment->setText(QStringLiteral("Spring patrol, north side"));
        setup.LinesPerPage = LinesPerPage(ProgramPrinter(), setup.reportFont());
        const Report report =
            BuildReport(App::UsableActiveList()->document(), setup.options(false));
        frmPrintPreview window(report, setup.reportFont(), setup.ZoomPercent, setup.LinesPerPage,
                               main);
        window.resize(900, 600);
        window.show();
        QEventLoop shown;
        QTimer::singleShot(500, &window, [&] {
            status = window.grab().save(out) ? 0 : 1;
            shown.quit();
        });
        shown.exec();
        app.quit();
    });
    app.exec();
    return status;
}

// Answers Add Layer...'s file dialog with the layers given, one a time; any
// message (a layer that cannot be shown) goes to standard error and fails the run.
class LayerPrompts : public Prompts::Handler
{
public:
    QStringList layers;
    int messages = 0;

    int message(const QString& prompt, int, const QString&) override
    {
        ++messages;
        std::fprintf(stderr, "quorvane-screenshot: %s\n", qPrintable(prompt));
        return MsgAnswer::OK;
    }
    QString openFileName(const QString&, const QString&, const QString&) override
    {
        return layers.isEmpty() ? QString() : layers.takeFirst();
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
    std::optional<QFont> font(const QFont&) override { return std::nullopt; }
    int showModal(QDialog&) override { return QDialog::Rejected; }
};

int map(QApplication& app, const QString& out, const QStringList& layers)
{
    ListWindow* list = App::UsableActiveList();
    if (!list)
        return 1;
    frmMain* main = MainWindow();
    main->command(QStringLiteral("mnuViewMap"))->trigger();
    frmMap* window = MapWindow();
    window->resize(1000, 680);
    LayerPrompts prompts;
    prompts.layers = layers;
    Prompts::SetHandler(&prompts);
    for (int i = 0; i < layers.size(); ++i)
        window->findChild<QAction*>(QStringLiteral("cmdAddLayer"))->trigger();
    Prompts::SetHandler(nullptr);
    if (prompts.messages || window->layerCount() != layers.size())
        return 1;
    // The ring of the current line on a leak, where the eye goes first.
    const MapCanvas* canvas = window->canvas();
    const std::vector<MapCanvas::Dot>& dots = canvas->dots();
    const auto leak = std::find_if(dots.begin(), dots.end(), [](const MapCanvas::Dot& d) {
        return d.status == MapCanvas::Leak;
    });
    if (!dots.empty())
        list->ShowLine(
            list->document().LineOfRecord(leak != dots.end() ? leak->record : dots.front().record));
    int status = 1;
    QTimer::singleShot(500, window, [&] {
        window->findChild<QAction*>(QStringLiteral("cmdFitAll"))->trigger();
        QTimer::singleShot(300, window, [&] {
            status = CaptureForm(window).save(out) ? 0 : 1;
            app.quit();
        });
    });
    app.exec();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--histogram")) {
        QTemporaryDir settings;
        SettingsStore::useFileForTesting(settings.filePath(QStringLiteral("settings.ini")));
        return histogram(app, args[1]);
    }
    if (args.size() == 2 && args[0] == QLatin1String("--icons")) {
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            if (!ApplicationIcon(size).save(
                    QStringLiteral("%1/quorvane-%2.png").arg(args[1]).arg(size)))
                return 1;
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("--cowl-setup")) {
        QTemporaryDir settings;
        SettingsStore::useFileForTesting(settings.filePath(QStringLiteral("settings.ini")));
        return cowlSetup(app, args[1]);
    }
    const bool previewing = args.size() == 3 && args[0] == QLatin1String("--preview");
    const bool editing = args.size() == 3 && args[0] == QLatin1String("--editor");
    const bool mapping = args.size() >= 3 && args[0] == QLatin1String("--map");
    if (args.size() < 2 ||
        (args[0].startsWith(QLatin1String("--")) && !previewing && !editing && !mapping)) {
        std::fputs("usage: quorvane-screenshot OUT.png FILE...\n"
                   "       quorvane-screenshot --histogram OUT.png\n"
                   "       quorvane-screenshot --preview OUT.png FILE\n"
                   "       quorvane-screenshot --editor OUT.png FILE\n"
                   "       quorvane-screenshot --cowl-setup OUT.png\n"
                   "       quorvane-screenshot --map OUT.png FILE [LAYER...]\n"
                   "       quorvane-screenshot --icons FOLDER\n",
                   stderr);
        return 64;
    }
    QTemporaryDir settings;
    SettingsStore::useFileForTesting(settings.filePath(QStringLiteral("settings.ini")));
    SettingsStore::setNumber(Setting::DMAForm_Width, 15000); // columns wide enough to read
    StartUpOptions options;
    options.splashDelayMs = 0;
    StartUp(mapping ? args.mid(2, 1) : args.mid(previewing || editing ? 2 : 1), options);
    if (previewing)
        return preview(app, args[1]);
    if (editing)
        return editor(app, args[1]);
    if (mapping)
        return map(app, args[1], args.mid(3));
    frmMain* main = MainWindow();
    main->resize(1180, 660);
    int status = 1;
    QTimer::singleShot(500, main, [&] {
        main->command(QStringLiteral("mnuWindowTileVertical"))->trigger();
        QTimer::singleShot(500, main, [&] {
            status = main->grab().save(args[0]) ? 0 : 1;
            app.quit();
        });
    });
    app.exec();
    return status;
}
