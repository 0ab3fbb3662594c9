#pragma once
// The file and print dialogs of every window. Each dialog is modal to its own window only and
// returns at once; the answer comes later through the callback. So no event loop runs inside
// a click handler, and the other windows (the alarm window above all) keep taking input while
// a dialog is open. A window asks isOpen() before anything that must not happen under an
// open dialog (a download replacing what the dialog is about, closing).
#include <QString>
#include <functional>

class QCoreApplication;
class QPrinter;
class QWidget;

// Qt's own Ukrainian texts (file, print and message dialogs) from `folder`, by default Qt's
// translations folder. False, and the English texts stay, when they are not installed.
bool installQtTranslations(QCoreApplication &app, const QString &folder = QString());

class FileDialogs {
public:
    using PathDone = std::function<void(const QString &path)>;   // empty when cancelled
    using PrintDone = std::function<void(bool accepted)>;

    // Save and open dialogs: `title` is the dialog's caption, `filter` as "file (*.jur)".
    // The callback is not called when `window` is destroyed first.
    static void save(QWidget *window, const QString &title, const QString &proposed, const QString &filter,
                     PathDone done);
    static void open(QWidget *window, const QString &title, const QString &filter, PathDone done);
    // A file to keep using, which may exist already or be made: no question about replacing it.
    static void choose(QWidget *window, const QString &title, const QString &proposed, const QString &filter,
                       PathDone done);
    // The print dialog over `printer`, which must stay alive until the callback has run.
    static void print(QWidget *window, QPrinter *printer, PrintDone done);

    // A dialog opened over `window` is still open.
    static bool isOpen(const QWidget *window);
    // Cancels the dialogs open over `window` (their callbacks see a cancel).
    static void cancelAll(QWidget *window);
};
