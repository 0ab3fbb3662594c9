#include "app/ModalWindow.h"
#include <QDialog>
#include <QEvent>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QWidget>
#include <QWindow>

namespace {

const char *const holdsProperty = "tabloModalHolds";
const char *const guardName = "tabloModalGuard";
const char *const escapeName = "tabloEscape";

// Lives as a child of the shown window; lets go of the owner exactly once, on the first
// non-spontaneous hide (close button, frame, hide()) or when the window is destroyed.
class ModalGuard : public QObject {
public:
    ModalGuard(QWidget *owner, QWidget *window) : QObject(window), owner_(owner)
    {
        setObjectName(QLatin1String(guardName));
        ModalWindow::hold(owner);
        window->installEventFilter(this);
    }
    ~ModalGuard() override { letGo(); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A spontaneous hide is a minimise by the window system: the window is still open.
        if (event->type() == QEvent::Hide && !event->spontaneous()) {
            watched->removeEventFilter(this);
            letGo();
            setObjectName(QString());   // a reopened window gets a fresh guard
            deleteLater();
        }
        return false;
    }

private:
    void letGo()
    {
        if (released_)
            return;
        released_ = true;
        if (owner_)
            ModalWindow::release(owner_);
    }

    QPointer<QWidget> owner_;
    bool released_ = false;
};

ModalGuard *guardOf(const QWidget *window)
{
    auto *guard = window->findChild<ModalGuard *>(QLatin1String(guardName), Qt::FindDirectChildrenOnly);
    return guard;
}

// Whether `owner` is among the parents of `window`, across window boundaries (a dialog or a
// Qt::Window child of the owner is disabled with it just like a plain child).
bool descendsFrom(const QWidget *window, const QWidget *owner)
{
    for (const QWidget *p = window->parentWidget(); p; p = p->parentWidget())
        if (p == owner)
            return true;
    return false;
}

}   // namespace

void ModalWindow::hold(QWidget *owner)
{
    if (!owner)
        return;
    owner->setProperty(holdsProperty, holds(owner) + 1);
    owner->setEnabled(false);
}

void ModalWindow::release(QWidget *owner)
{
    if (!owner)
        return;
    const int left = holds(owner) - 1;
    if (left < 0)
        return;
    owner->setProperty(holdsProperty, left);
    if (left == 0)
        owner->setEnabled(true);
}

int ModalWindow::holds(const QWidget *owner) { return owner ? owner->property(holdsProperty).toInt() : 0; }

bool ModalWindow::isOpen(const QWidget *window)
{
    if (!window)
        return false;
    const ModalGuard *guard = guardOf(window);
    return guard && window->isVisible();
}

void ModalWindow::show(QWidget *owner, QWidget *window)
{
    if (!window)
        return;
    if (owner && window != owner && descendsFrom(window, owner)) {
        // Keep the window alive as long as its former parent, without being disabled by it.
        window->setParent(nullptr, window->windowFlags() | Qt::Window);
        QObject::connect(owner, &QObject::destroyed, window, [window] { delete window; });
    }
    if (!window->isWindow())
        window->setWindowFlag(Qt::Window, true);

    // Escape closes the window as its frame would; a dialog does that by itself.
    if (!qobject_cast<QDialog *>(window) && !window->findChild<QShortcut *>(QLatin1String(escapeName))) {
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        escape->setObjectName(QLatin1String(escapeName));
        escape->setContext(Qt::WindowShortcut);
        QObject::connect(escape, &QShortcut::activated, window, [window] { window->close(); });
    }

    if (!guardOf(window) || !window->isVisible()) {
        if (ModalGuard *stale = guardOf(window))
            delete stale;   // hidden without our filter seeing it; lets go of its hold
        new ModalGuard(owner, window);
    }

    if (owner && owner->window()->windowHandle()) {
        window->winId();   // creates the native window so it can be tied to the owner
        QWindow *handle = window->windowHandle();
        QWindow *ownerHandle = owner->window()->windowHandle();
        if (handle && handle != ownerHandle)
            handle->setTransientParent(ownerHandle);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
