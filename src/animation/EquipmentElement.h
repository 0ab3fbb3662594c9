#pragma once
// One piece of machinery on a page canvas: the box Ventilator_Picture with the kind's background
// picture, and over it the moving image (Krylcatka for fans, Motor for the other kinds) at the
// kind's offset. Both widgets are children of the canvas; the element removes them when it dies.
#include "animation/EquipmentKinds.h"

#include <QPointer>
#include <QRect>
#include <cstdint>
#include <memory>

class Artwork;
class QLabel;
class QWidget;

class EquipmentElement {
public:
    // nullptr for a kind outside 0..21 (nothing is placed then).
    static std::unique_ptr<EquipmentElement> create(const Artwork &art, std::int32_t kind, const QRect &box,
                                                    QWidget *canvas);
    ~EquipmentElement();
    EquipmentElement(const EquipmentElement &) = delete;
    EquipmentElement &operator=(const EquipmentElement &) = delete;

    // Put a frame on the moving image; unchanged frames cost nothing.
    void showFrame(const anim::Frame &f);

    std::int32_t kind() const { return kind_; }
    anim::Frame currentFrame() const { return current_; }
    QLabel *box() const { return box_; }
    QLabel *inner() const { return inner_; }

private:
    EquipmentElement(const Artwork &art, std::int32_t kind) : art_(art), kind_(kind) {}

    const Artwork &art_;
    std::int32_t kind_;
    anim::Frame current_;
    QPointer<QLabel> box_;
    QPointer<QLabel> inner_;
};
