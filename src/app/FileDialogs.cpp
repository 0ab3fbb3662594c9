#include "app/FileDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const char *const dialogProperty = "tabloFileDialog";

// The dialogs of this seam still on screen over `window`. Counted from what is shown rather
// than by open and close, so a dialog hidden along with its window never counts for ever.
QList<QDialog *> openDialogs(const QWidget *window)
{
    QList<QDialog *> open;
    if (!window)
        return open;
    for (QDialog *d : window->findChildren<QDialog *>(Qt::FindDirectChildrenOnly))
        if (d->property(dialogProperty).toBool() && d->isVisible())
            open.append(d);
    return open;
}

// Shows `dialog` modal to its window and hands its result to `finish` once, when it ends.
void run(QWidget *window, QDialog *dialog, std::function<void(int result)> finish)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setProperty(dialogProperty, true);
    QPointer<QWidget> owner(window);
    QObject::connect(dialog, &QDialog::finished, dialog, [owner, finish = std::move(finish)](int result) {
        if (owner)
            finish(result);
    });
    dialog->open();   // window-modal, returns at once
}

QFileDialog *fileDialog(QWidget *window, const QString &title, const QString &filter)
{
    auto *d = new QFileDialog(window, title, QString(), filter);
    d->setObjectName(QStringLiteral("FileDialog"));
    return d;
}

void pathDialog(QWidget *window, QFileDialog *d, FileDialogs::PathDone done)
{
    run(window, d, [d, done = std::move(done)](int result) {
        const QStringList files = d->selectedFiles();
        if (done)
            done(result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString());
    });
}

}   // namespace

bool installQtTranslations(QCoreApplication &app, const QString &folder)
{
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto *t = new QTranslator(&app);
    if (!t->load(QLocale(QLocale::Ukrainian, QLocale::Ukraine), QStringLiteral("qtbase"), QStringLiteral("_"), dir)) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    return true;
}

void FileDialogs::save(QWidget *window, const QString &title, const QString &proposed, const QString &filter,
                       PathDone done)
{
    QFileDialog *d = fileDialog(window, title, filter);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    if (!proposed.isEmpty())
        d->selectFile(proposed);
    pathDialog(window, d, std::move(done));
}

void FileDialogs::choose(QWidget *window, const QString &title, const QString &proposed, const QString &filter,
                         PathDone done)
{
    QFileDialog *d = fileDialog(window, title, filter);
    d->setAcceptMode(QFileDialog::AcceptSave);
    d->setFileMode(QFileDialog::AnyFile);
    d->setOption(QFileDialog::DontConfirmOverwrite);
    if (!proposed.isEmpty())
        d->selectFile(proposed);
    pathDialog(window, d, std::move(done));
}

void FileDialogs::open(QWidget *window, const QString &title, const QString &filter, PathDone done)
{
    QFileDialog *d = fileDialog(window, title, filter);
    d->setAcceptMode(QFileDialog::AcceptOpen);
    d->setFileMode(QFileDialog::ExistingFile);
    pathDialog(window, d, std::move(done));
}

void FileDialogs::print(QWidget *window, QPrinter *printer, PrintDone done)
{
    auto *d = new QPrintDialog(printer, window);
    d->setObjectName(QStringLiteral("PrintDialog"));
    run(window, d, [done = std::move(done)](int result) {
        if (done)
            done(result == QDialog::Accepted);
    });
}

bool FileDialogs::isOpen(const QWidget *window) { return !openDialogs(window).isEmpty(); }

void FileDialogs::cancelAll(QWidget *window)
{
    for (QDialog *d : openDialogs(window))
        d->reject();
}
