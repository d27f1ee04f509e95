// quorvane: the leak-noise logger database program.

#include "StartUp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setOrganizationName(QStringLiteral("Quorvane"));
    StartUp(app.arguments().mid(1));
    return app.exec();
}
