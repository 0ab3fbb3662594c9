#include "link/PollCycle.h"

#include "app/Blocks.h"
#include "link/SetPoint.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int Slots = frame::PairCount;
constexpr int ImageLast = 30005;   // highest index of the receive image

bool isSwitchPicture(std::uint8_t picture) { return picture == 4 || picture == 12 || picture == 13; }

// The request byte of a switch picture's state pin, 2 * key + 1; keys above 127 have none.
std::optional<std::uint8_t> switchPin(const ControlRec &rec)
{
    if (rec.key > 127)
        return std::nullopt;
    return static_cast<std::uint8_t>(2 * rec.key + 1);
}

int blockTypeOf(const ProjectModel &project, int block)
{
    return block >= 1 && block < ProjectModel::Blocks ? project.blockType[block] : 0;
}

// Only 1 means present; a record holding any other value is absent.
template <class Rec>
bool isPresent(const Rec &rec)
{
    return rec.present == 1;
}

template <class Rec>
frame::Pairs presentPairs(const std::array<Rec, ProjectModel::Slots> &page)
{
    frame::Pairs pairs{};
    for (int s = 1; s <= Slots; ++s) {
        const Rec &rec = page[s];
        if (isPresent(rec))
            pairs[s - 1] = {rec.block, rec.pin};
    }
    return pairs;
}

}   // namespace

PollCycle::PollCycle(LinkStation station, Link &link, PollListener *listener, DownloadStarter *downloads)
    : station_(station), link_(link), listener_(listener), downloads_(downloads)
{
}

int PollCycle::factor() const { return std::max<int>(1, station_.project.linkTimingFactor); }

frame::Tail PollCycle::writeTail(PendingWrite &write)
{
    if (write.flag != 1)
        return {};
    // The value was checked when the operator accepted it; should it still not encode, the
    // bytes of the last good encoding go out.
    if (const auto bytes = setpoint::encode(write.value))
        write.bytes = *bytes;
    return {write.block, write.pin, write.bytes[0], write.bytes[1], write.bytes[2], write.bytes[3]};
}

int PollCycle::tick()
{
    stopped_ = false;
    downloadTaken_ = false;
    backgroundTaken_ = false;
    silentTick();

    // While the report download holds the serial port (possibly open on another COM number)
    // the cycle neither reopens nor reads it.
    const bool reportHoldsPort = station_.poll.Rep_Mode == 1;
    if (!reportHoldsPort && !link_.openSerialIfClosed()) {
        station_.poll.pollStep = 0;
        station_.poll.linkFault = 1;
        return interval_;
    }
    const int page = station_.project.currentPage;
    if (page < 0 || page >= ProjectModel::Pages) {
        station_.poll.pollStep = 0;
        station_.poll.linkFault = 1;
        return interval_;
    }

    const int step = station_.poll.pollStep;
    std::optional<QByteArray> out;
    if (step <= LastStep) {
        if (step % 3 == 2) {
            interval_ = ShortWait * factor();
            if (!reportHoldsPort && !takeAnswer(step, page))
                interval_ += QuietWait * factor();
        } else {
            out = request(step, page);
            interval_ = (step % 3 == 0 ? ShortWait : ValueWait) * factor();
        }
    }

    if (station_.poll.Rep_Mode == 1) {
        stopped_ = true;
    } else if (out) {
        const bool keyStep = step % 3 == 0;
        const std::uint8_t keyBlock = station_.key.block, keyCode = station_.key.code;
        const std::optional<PendingWrite> write =
            step == 1 && station_.write.flag == 1 ? std::optional<PendingWrite>(station_.write) : std::nullopt;
        const Link::SendResult sent = link_.sendRequest(*out);
        if (sent == Link::SendResult::Sent) {
            if (keyStep)
                sentKey_ = std::pair{keyBlock, keyCode};
            if (step == 1)
                sentWrite_ = write;
        } else if (sent == Link::SendResult::NotConnected) {
            // Like a port that will not open: the cycle starts over once connected.
            station_.poll.pollStep = 0;
            station_.poll.linkFault = 1;
            return interval_;
        }
    }

    if (++station_.poll.pollStep > LastStep) {
        station_.poll.pollStep = 0;
        wrap();
    }
    station_.poll.linkFault = 0;
    return interval_;
}

std::optional<QByteArray> PollCycle::request(int step, int page)
{
    const ProjectModel &project = station_.project;
    const auto address = static_cast<std::uint8_t>(project.controllerAddress & 0xFF);
    const auto pageByte = static_cast<std::uint8_t>(page);

    if (step % 3 == 0)
        return frame::keyRequest(address, pageByte, station_.key.block, station_.key.code, station_.key.elementIndex);

    frame::Pairs pairs{};
    frame::Tail tail{};
    std::uint8_t command = frame::ReadValues;
    const int b = station_.inspector.inspectedBlock;
    const bool inspecting = station_.inspector.inspectorVisible && b >= 0 && b <= 127;
    switch (step) {
    case 1:
        if (inspecting) {
            const int t = blockTypeOf(project, b);
            const int limit = t == block::A_I ? 15 : t == block::ALG ? 31 : 7;
            for (int n = 0; n <= std::min(limit, Slots - 1); ++n)
                pairs[n] = {static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(n)};
        } else if (!station_.inspector.inspectorVisible) {
            pairs = presentPairs(project.valueLabels[page]);
        }
        tail = writeTail(station_.write);
        break;
    case 4:
        if (inspecting) {
            for (int n = 0; n < Slots; ++n)
                pairs[n] = {static_cast<std::uint8_t>(b + 128), static_cast<std::uint8_t>(n)};
        } else if (!station_.inspector.inspectorVisible) {
            pairs = presentPairs(project.levels[page]);
        }
        break;
    case 7:
        command = frame::ReadBytes;
        pairs = presentPairs(project.signals[page]);
        break;
    case 10:
        command = frame::ReadBytes;
        pairs = presentPairs(project.signalTexts[page]);
        break;
    case 13:
        command = frame::ReadBytes;
        for (int s = 1; s <= Slots; ++s) {
            const ControlRec &rec = project.controls[page][s];
            if (isPresent(rec) && isSwitchPicture(rec.picture))
                if (const auto pin = switchPin(rec))
                    pairs[s - 1] = {rec.block, *pin};
        }
        std::copy(station_.key.position.begin(), station_.key.position.end(), tail.begin() + 2);
        break;
    case 16: pairs[0] = {block::Journal, 0}; break;
    case 19:
        command = frame::ReadBytes;
        pairs = presentPairs(project.equipment[page]);
        break;
    default: return std::nullopt;
    }
    return frame::pairsRequest(address, command, pageByte, pairs, tail);
}

bool PollCycle::takeAnswer(int step, int page)
{
    const bool values = step == 2 || step == 5 || step == 17;
    const int covered = values ? frame::ValuesCovered : frame::BytesCovered;
    if (!link_.takeAnswer(values ? AnswerRule::values() : AnswerRule::bytes()))
        return false;
    const QByteArray &answer = link_.lastAnswer();
    // An answer longer than the receive image is a flood, not an answer.
    if (values && answer.size() > ImageLast)
        return false;
    if (!link_.checkAnswer(covered)) {
        if (listener_)
            listener_->crcMismatch();
        return false;
    }
    heard();
    if (values && station_.poll.Graf_Image.size() > static_cast<std::size_t>(answer.size()))
        std::memcpy(station_.poll.Graf_Image.data() + 1, answer.constData(), static_cast<std::size_t>(answer.size()));

    const std::uint8_t status = frame::status(answer);
    if (status == frame::KeyAccepted) {
        PendingKey &key = station_.key;
        // A key pressed after the last key request left is not the one acknowledged.
        if (key.block == 0 || (sentKey_ && *sentKey_ == std::pair{key.block, key.code})) {
            key.block = 0;
            key.code = 0;
            sentKey_.reset();
        }
    } else if (status == frame::WriteAccepted && values) {
        const PendingWrite &w = station_.write;
        if (sentWrite_ && w.flag == 1 && w.block == sentWrite_->block && w.pin == sentWrite_->pin
            && w.bytes == sentWrite_->bytes) {
            station_.write.flag = 0;
            sentWrite_.reset();
        }
    }

    if (values)
        applyValues(step, page, answer);
    else
        applyBytes(step, page, answer);
    return true;
}

void PollCycle::applyValues(int step, int page, const QByteArray &answer)
{
    if (!listener_)
        return;
    const ProjectModel &project = station_.project;
    if (step == 17) {
        std::array<std::uint8_t, 4> word{};
        std::memcpy(word.data(), answer.constData() + 3, word.size());
        listener_->alarmWord(word);
        return;
    }
    if (station_.inspector.inspectorVisible) {
        const int b = station_.inspector.inspectedBlock;
        if (b < 0 || b > 100)
            return;
        const int t = blockTypeOf(project, b);
        const int maxPin = step == 2 ? station_.catalogue.maxOutputPin(t) : station_.catalogue.maxInputPin(t);
        for (int s = 1; s <= Slots; ++s) {
            const QString text = s - 1 > maxPin ? QStringLiteral("0") : valueText(frame::slotValue(answer, s));
            if (step == 2)
                listener_->inspectorOutput(s - 1, text);
            else
                listener_->inspectorInput(s - 1, text);
        }
        return;
    }
    for (int s = 1; s <= Slots; ++s) {
        if (step == 2 && isPresent(project.valueLabels[page][s]))
            listener_->applyValue(ElementKind::Parametr_Label, s, frame::slotValue(answer, s));
        else if (step == 5 && isPresent(project.levels[page][s]))
            listener_->applyValue(ElementKind::Level_Picture, s, frame::slotValue(answer, s));
    }
}

void PollCycle::applyBytes(int step, int page, const QByteArray &answer)
{
    ProjectModel &project = station_.project;
    if (step == 20) {
        for (int s = 1; s <= Slots; ++s)
            if (isPresent(project.equipment[page][s]))
                project.equipmentState[page][s] = frame::slotByte(answer, s);
        return;
    }
    if (!listener_)
        return;
    const int trigger = step == 11 ? listener_->reportTriggerElement() + 1 : 0;
    for (int s = 1; s <= Slots; ++s) {
        const std::uint8_t v = frame::slotByte(answer, s);
        switch (step) {
        case 8:
            if (isPresent(project.signals[page][s]))
                listener_->applyValue(ElementKind::Signal_Picture, s, v);
            break;
        case 11: {
            const SignalTextRec &rec = project.signalTexts[page][s];
            if (!isPresent(rec))
                break;
            listener_->applyValue(ElementKind::Text_Signal_Picture, s, v);
            if (!rec.isStateText() && v != 0 && s == trigger && blockTypeOf(project, rec.block) == 48)
                listener_->reportTrigger();
            break;
        }
        case 14: {
            const ControlRec &rec = project.controls[page][s];
            if (isPresent(rec) && isSwitchPicture(rec.picture) && switchPin(rec))
                listener_->applyValue(ElementKind::Control_Image, s, v);
            break;
        }
        default: break;
        }
    }
}

void PollCycle::wrap()
{
    // While the report owns the link no other download may start; the requests keep until the
    // cycle runs again.
    if (stopped_ || !downloads_)
        return;
    const DownloadStarter::Taken taken = downloads_->startPending();
    if (taken == DownloadStarter::Taken::None)
        return;
    handOver();
    backgroundTaken_ = taken == DownloadStarter::Taken::Background;
}

void PollCycle::handOver()
{
    // One download at a time: the others wait for the wrap after this one ends.
    station_.poll.SendPending = true;
    station_.poll.downloadStarted = true;
    stopped_ = true;
    downloadTaken_ = true;
}

void PollCycle::heard()
{
    silentTicks_ = 0;
    if (answering_ != Answering::Yes) {
        answering_ = Answering::Yes;
        if (listener_)
            listener_->linkAnswering(true);
    }
}

void PollCycle::silentTick()
{
    if (silentTicks_ <= LastStep)
        ++silentTicks_;
    if (silentTicks_ > LastStep && answering_ != Answering::No) {
        answering_ = Answering::No;
        if (listener_)
            listener_->linkAnswering(false);
    }
}
