// quorvane: the leak-noise logger database program.
//
// quorvane --smoke-test [FILE...] starts the program as a user would, opens
// the files, and quits: 0 when nothing had to be said to the user (the
// language file found, the files read), 1 otherwise, each message written to
// standard error. It checks an installation without anyone at the screen.

#include "Prompts.h"
#include "StartUp.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstdio>

namespace {

// Answers every prompt the safe way and keeps a note of each message.
class SmokeTestPrompts : public Prompts::Handler
{
public:
    int messages = 0;

    int message(const QString& prompt, int buttons, const QString&) override
    {
        ++messages;
        std::fprintf(stderr, "quorvane: %s\n", qPrintable(prompt));
        const int offered = buttons & 0x7;
        return offered == MsgButtons::YesNo ? MsgAnswer::No
               : offered                    ? MsgAnswer::Cancel
                                            : MsgAnswer::OK;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString folderName(const QString&, const QString&) override { return {}; }
    std::optional<QFont> font(const QFont&) override { return std::nullopt; }
    int showModal(QDialog& dialog) override
    {
        // The splash closes by itself; any other window is closed unanswered.
        if (dialog.objectName() == QLatin1String("frmSplash"))
            return Prompts::RunModal(dialog);
        return QDialog::Rejected;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    QStringList arguments = app.arguments().mid(1);
    if (arguments.removeAll(QStringLiteral("--smoke-test")) > 0) {
        SmokeTestPrompts prompts;
        Prompts::SetHandler(&prompts);
        StartUpOptions quick;
        quick.splashDelayMs = 0;
        quick.splashTickMs = 0;
        StartUp(arguments, quick);
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
        app.exec();
        Prompts::SetHandler(nullptr);
        return prompts.messages == 0 ? 0 : 1;
    }
    StartUp(arguments);
    return app.exec();
}
