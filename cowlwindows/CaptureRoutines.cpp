#include "CaptureRoutines.h"

#include "ProgramPrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QWidget>

QImage CaptureWindow(QWidget* window, bool client, const QRect& rect)
{
    if (!window)
        return {};
    if (client)
        return window->grab(rect).toImage();
    // With its frame: what the screen shows of the window, where it can be had.
    QWidget* top = window->window();
    return top->grab(rect.translated(window->mapTo(top, QPoint()))).toImage();
}

QImage CaptureForm(QWidget* window)
{
    return window ? CaptureWindow(window, true, window->rect()) : QImage();
}

bool PrintPictureToFitPage(QPrinter& printer, const QImage& picture)
{
    QPainter painter;
    if (picture.isNull() || !PrinterHasTarget(printer) || !painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const QSize fitted = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), fitted), picture);
    return painter.end();
}
