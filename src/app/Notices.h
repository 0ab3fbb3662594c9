#pragma once
// The operator's notices: message boxes with an OK button and the system's own texts. A box
// is shown without a nested event loop, so no timer tick, load step or download is re-entered
// while it is up, and it is application-modal: nothing else takes input until the operator
// answers it. It has no parent widget, because a window held disabled (the main window while a
// download runs, a window under its dialog) would disable its box too. Each owner keeps its
// boxes in a Notices; the boxes still open go with it.
#include <QMessageBox>
#include <QPointer>
#include <vector>

class Notices {
public:
    Notices() = default;
    ~Notices();
    Notices(const Notices &) = delete;
    Notices &operator=(const Notices &) = delete;

    // Shows the box and returns at once; it deletes itself when answered.
    QMessageBox *show(QMessageBox::Icon icon, const QString &title, const QString &text);
    // The boxes shown here that are still open, oldest first.
    std::vector<QMessageBox *> open() const;

private:
    std::vector<QPointer<QMessageBox>> boxes_;
};
