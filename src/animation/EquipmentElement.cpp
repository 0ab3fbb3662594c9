#include "animation/EquipmentElement.h"

#include "animation/Artwork.h"

#include <QLabel>

std::unique_ptr<EquipmentElement> EquipmentElement::create(const Artwork &art, std::int32_t kind, const QRect &box,
                                                           QWidget *canvas)
{
    const auto info = anim::equipmentKind(kind);
    if (!info || !canvas)
        return nullptr;
    std::unique_ptr<EquipmentElement> e(new EquipmentElement(art, kind));

    auto *frame = new QLabel(canvas);
    frame->setObjectName(QStringLiteral("Ventilator_Picture"));
    frame->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    frame->setPixmap(art.equipmentBackground(kind));
    frame->setGeometry(box);
    frame->show();
    e->box_ = frame;

    auto *inner = new QLabel(canvas);
    inner->setObjectName(info->motor ? QStringLiteral("Motor") : QStringLiteral("Krylcatka"));
    inner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    e->current_ = anim::Frame{info->set, info->initialFrame};
    const QPixmap &pm = art.frame(e->current_);
    inner->setPixmap(pm);
    inner->setGeometry(box.left() + info->dx, box.top() + info->dy, pm.width(), pm.height());
    inner->show();
    e->inner_ = inner;
    return e;
}

EquipmentElement::~EquipmentElement()
{
    delete inner_.data();
    delete box_.data();
}

void EquipmentElement::showFrame(const anim::Frame &f)
{
    if (f == current_ || !inner_)
        return;
    const QPixmap &pm = art_.frame(f);
    if (pm.isNull())
        return;
    current_ = f;
    inner_->setPixmap(pm);
    inner_->resize(pm.size());
}
