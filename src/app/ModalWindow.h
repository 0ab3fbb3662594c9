#pragma once
// Windows opened from the main menu are modal by convention: the main window is disabled
// while one is open and enabled again however it closes (its own button, the window frame,
// hide(), or deletion).
//
// The owner is held disabled by a counter, so several holders (an open window and a running
// archive download, say) can overlap: the owner is enabled again only when the last one lets
// go. Code that disables the main window for other reasons (downloads) should use hold() and
// release() too rather than setEnabled().
//
// A window shown this way must not be a child of the owner (a disabled widget disables its
// children, windows included); show() makes it a separate top-level window that stays on top
// of the owner and is deleted together with the owner.
#include <QObject>

class QWidget;

class ModalWindow {
public:
    // Shows `window` (raised and activated) and disables `owner` until `window` is hidden or
    // destroyed. Showing a window that is already open this way only raises it. Escape closes
    // the window as its frame's close button does.
    static void show(QWidget *owner, QWidget *window);

    // True while `window` holds its owner through show().
    static bool isOpen(const QWidget *window);

    // The counter under show(): hold() disables `owner`, release() undoes one hold() and
    // enables the owner when none is left. Extra releases are ignored.
    static void hold(QWidget *owner);
    static void release(QWidget *owner);
    static int holds(const QWidget *owner);
};
