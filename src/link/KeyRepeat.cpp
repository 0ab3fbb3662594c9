#include "link/KeyRepeat.h"
#include "app/Pages.h"
#include "link/LinkStation.h"

namespace {

const ControlRec *controlRecord(const ProjectModel &model, int slot)
{
    const int page = model.currentPage;
    if (page < 0 || page >= ProjectModel::Pages || slot < 0 || slot >= ProjectModel::Slots)
        return nullptr;
    return &model.controls[static_cast<std::size_t>(page)][static_cast<std::size_t>(slot)];
}

std::uint8_t switchCode(const ControlRec &rec)
{
    return static_cast<std::uint8_t>((rec.picture * 16 + rec.key) & 0xFF);
}

}   // namespace

KeyRepeat::KeyRepeat(LinkStation station) : station_(station) {}

int KeyRepeat::slotOfIndex(int elementIndex)
{
    if (elementIndex <= 0)
        return 0;
    const int slot = elementIndex & 31;
    return slot == 0 ? pages::LastSlot : slot;
}

bool KeyRepeat::isTouBlock(int block) const
{
    const auto &types = station_.project.blockType;
    return block > 0 && block < static_cast<int>(types.size()) && types[static_cast<std::size_t>(block)] == TouType;
}

void KeyRepeat::setTimer(bool enabled, int interval)
{
    if (enabled == enabled_ && interval == interval_)
        return;
    enabled_ = enabled;
    interval_ = interval;
    if (listener_)
        listener_();
}

void KeyRepeat::press(int elementIndex)
{
    if (elementIndex < 0)
        return;
    PendingKey &key = station_.key;
    const ControlRec none;
    const ControlRec *rec = controlRecord(station_.project, slotOfIndex(elementIndex));
    if (!rec)
        rec = &none;

    key.block = rec->block;
    key.code = isTouBlock(rec->block) ? rec->key : switchCode(*rec);
    // Two little-endian 16-bit words: left, then top.
    const auto left = static_cast<std::uint16_t>(rec->left);
    const auto top = static_cast<std::uint16_t>(rec->top);
    key.position = {static_cast<std::uint8_t>(left & 0xFF), static_cast<std::uint8_t>(left >> 8),
                    static_cast<std::uint8_t>(top & 0xFF), static_cast<std::uint8_t>(top >> 8)};
    key.elementIndex = elementIndex;
    setTimer(true, interval_);
}

void KeyRepeat::release()
{
    setTimer(false, ReleaseInterval);
    if (isTouBlock(station_.key.block))
        station_.key.block = 0;
}

void KeyRepeat::tick()
{
    if (!enabled_)
        return;
    PendingKey &key = station_.key;
    if (isTouBlock(key.block))
        return;
    setTimer(true, RepeatInterval);

    const int slot = slotOfIndex(key.elementIndex);
    const ControlRec *rec = controlRecord(station_.project, slot);
    if (!rec || slot == 0 || rec->present != 1) {
        // No key element there: before any press the index is 0, the template slot that no
        // key lives on. Never invent a key the operator did not press.
        key.block = 0;
        key.code = 0;
        return;
    }
    // A TOU key is sent once per press; once the controller has taken it (block cleared) it
    // must not come back while the button is still held.
    if (isTouBlock(rec->block))
        return;
    key.block = rec->block;
    key.code = switchCode(*rec);
}
