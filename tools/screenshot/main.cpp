// quorvane-screenshot OUT.png FILE...: starts the program on the files, with
// its own throw-away settings, tiles the list windows side by side and saves
// a picture of the main window. scripts/screenshot.sh runs it under Xvfb for
// the README.

#include "AppState.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "frmMain.h"

#include <QApplication>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fputs("usage: quorvane-screenshot OUT.png FILE...\n", stderr);
        return 64;
    }
    QTemporaryDir settings;
    SettingsStore::useFileForTesting(settings.filePath(QStringLiteral("settings.ini")));
    SettingsStore::setNumber(Setting::DMAForm_Width, 15000); // columns wide enough to read
    StartUpOptions options;
    options.splashDelayMs = 0;
    StartUp(args.mid(1), options);
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
