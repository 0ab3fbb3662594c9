#include "app/Notices.h"

#include <algorithm>

Notices::~Notices()
{
    for (QPointer<QMessageBox> &box : boxes_)
        delete box.data();
}

QMessageBox *Notices::show(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    // Boxes already answered are forgotten, so a long run does not collect them.
    boxes_.erase(
        std::remove_if(boxes_.begin(), boxes_.end(), [](const QPointer<QMessageBox> &b) { return b.isNull(); }),
        boxes_.end());
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    boxes_.emplace_back(box);
    box->show();
    return box;
}

std::vector<QMessageBox *> Notices::open() const
{
    std::vector<QMessageBox *> open;
    for (const QPointer<QMessageBox> &box : boxes_)
        if (box && box->isVisible())
            open.push_back(box);
    return open;
}
