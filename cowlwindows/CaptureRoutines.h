#pragma once
// A window as a picture, and a picture on the printer.

#include <QImage>
#include <QRect>

class QPrinter;
class QWidget;

// The part of a window in the rectangle (of its client area, or of the
// whole window with its frame when client is false).
QImage CaptureWindow(QWidget* window, bool client, const QRect& rect);
// The whole client area of a window.
QImage CaptureForm(QWidget* window);
// The picture as large as the page allows, its shape kept, at the page's top
// left corner; false when the printer could not be started.
bool PrintPictureToFitPage(QPrinter& printer, const QImage& picture);
