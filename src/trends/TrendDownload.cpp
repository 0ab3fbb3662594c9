#include "trends/TrendDownload.h"
#include "app/Messages.h"
#include "app/Pages.h"
#include "text/Numbers.h"
#include <algorithm>
#include <cmath>

namespace {

const QString &TransferFailed = msg::TransferFailed;
const QString &PortFailed = msg::PortFailed;
constexpr int RequestBytes = 8;   // the 6-byte packet request and its CRC

// A trend answer is taken only at exactly 251 bytes, on either link.
AnswerRule exactAnswer()
{
    return {{trend::AnswerBytes, trend::AnswerBytes}, {trend::AnswerBytes, trend::AnswerBytes}};
}

}   // namespace

TrendDownload::TrendDownload(TrendStation station, Link &link, TrendListener *listener)
    : station_(station), link_(link), listener_(listener)
{
}

void TrendDownload::loadPalette() { station_.trend.Graf_Palette = trend::palette(); }

bool TrendDownload::request(int group, int page)
{
    if (running_ || station_.trend.Graf_PageCount > 1)
        return false;
    if (group < 0 || group >= trend::Groups
        || !((page >= 0 && page < archive::TrendPages) || page == trend::CurrentPage))
        return false;
    station_.trend.requestPage(group, page);
    if (listener_)
        listener_->showProgress(1);
    return true;
}

bool TrendDownload::start()
{
    if (running_ || station_.trend.Graf_PageCount != 1)
        return false;
    outcome_ = {};
    station_.poll.SendPending = true;
    station_.trend.Graf_Ticks = 0;
    interval_ = answerPaced_ ? pacing::answerPaced.start : StartInterval;
    asks_ = 0;
    running_ = true;
    failure_.clear();
    buffer_.clear();
    buffer_.append(char(std::uint8_t(station_.project.controllerAddress)));
    buffer_.append(char(frame::KeyOrTrendPacket));
    if (listener_) {
        listener_->startDownloadTimer(interval_);
        listener_->showProgress(1);
        listener_->clearMonitor();
        listener_->disableMainWindow();
        listener_->archiveBusy(true);
        listener_->archiveProgress(0, trend::Packets);
    }
    return true;
}

bool TrendDownload::answerIn() const
{
    return answerPaced_ && running_ && !station_.poll.SendPending && station_.poll.pollStep == 0
        && link_.answerIn(exactAnswer());
}

int TrendDownload::step()
{
    const int ms = tick();
    return running_ ? ms : Done;
}

void TrendDownload::finish(const ArchiveOutcome &outcome)
{
    outcome_ = outcome;
    if (!listener_)
        return;
    if (outcome.kind == ArchiveOutcome::Kind::Failed)
        listener_->archiveFailed(outcome.text);
    listener_->archiveBusy(false);
    listener_->archiveEnded(outcome);
}

int TrendDownload::tick()
{
    if (!running_)
        return interval_;
    if (listener_) {
        listener_->setFramesEnabled(false);
        listener_->setBusy(true);
    }
    ++station_.trend.Graf_Ticks;
    if (station_.trend.Graf_Ticks > TickLimit) {
        timeOut();
        return interval_;
    }
    if (station_.poll.SendPending)
        sendPhase();
    else if (station_.poll.pollStep == 0)
        receivePhase();
    return interval_;
}

void TrendDownload::cancel()
{
    if (running_)
        outcome_ = ArchiveOutcome::cancelled();
    running_ = false;
    findRunning_ = false;
    station_.trend.Graf_PageCount = 0;
    station_.trend.Find_State = 0;
    station_.poll.SendPending = true;
}

void TrendDownload::sendPhase()
{
    const QByteArray req =
        trend::packetRequest(std::uint8_t(station_.project.controllerAddress), station_.trend.Graf_PageCount,
                             station_.trend.Graf_Group, station_.trend.Graf_Page);
    if (link_.sendRequest(req) != Link::SendResult::Sent) {
        // The packet never left (the connection is down or being made again): the same packet
        // is sent on the next tick, and the tick limit bounds the wait for the link. Answer-
        // paced, that tick comes after the answer's bound, not at once.
        if (answerPaced_)
            interval_ = pacing::answerPaced.answerWait(RequestBytes, trend::AnswerBytes, link_.isTcp());
        return;
    }
    if (asks_++ == 0)
        firstAskAt_ = link_.now();
    packetInterval();
    station_.poll.SendPending = false;
}

void TrendDownload::packetInterval()
{
    if (answerPaced_) {
        interval_ = pacing::answerPaced.answerWait(RequestBytes, trend::AnswerBytes, link_.isTcp());
        return;
    }
    if (station_.trend.Graf_PageCount == 1) {
        interval_ = station_.trend.Graf_Ticks == 1 ? FirstSendInterval : ResendFirstInterval;
        return;
    }
    const double v = text::val(pollText_);
    if (v >= 100 && v <= 500) {
        interval_ = static_cast<int>(std::lround(v));
        return;
    }
    pollText_ = QString::number(DefaultPollInterval);
    interval_ = DefaultPollInterval;
    if (listener_)
        listener_->pollTextReset(pollText_);
}

void TrendDownload::receivePhase()
{
    const qint64 waiting = link_.isTcp() ? link_.bytesWaiting() : 0;
    if (listener_)
        listener_->appendMonitor(u' ' + QString::number(waiting));
    station_.poll.SendPending = true;
    // Answer-paced, the next packet is asked for at once: the wait was spent before this tick.
    if (answerPaced_)
        interval_ = 0;
    if (!link_.takeAnswer(exactAnswer())) {
        // Wrong length: drop what came (the link already dropped a TCP read) and ask again.
        if (!link_.isTcp())
            link_.dropInput();
        return;
    }
    const QByteArray &answer = link_.lastAnswer();
    if (!trend::answerGood(answer)) {
        if (listener_)
            listener_->beep();
        return;
    }
    buffer_.append(answer.mid(2, trend::PacketBytes));
    if (asks_ > 1) {
        // The packet was asked more than once: the answers to the other asks may still be on
        // their way and would be taken for the next packet's. The line is given as long to
        // fall quiet as this answer took to come; the next send drops what arrived meanwhile.
        const qint64 took = link_.now() - firstAskAt_;
        interval_ = int(std::clamp<qint64>(took, interval_, MaxQuietInterval));
    }
    asks_ = 0;
    if (station_.trend.Graf_PageCount != 0) {
        ++station_.trend.Graf_PageCount;
        if (listener_) {
            listener_->showProgress(station_.trend.Graf_PageCount);
            listener_->archiveProgress(station_.trend.Graf_PageCount - 1, trend::Packets);
        }
        if (station_.trend.Graf_PageCount > trend::Packets)
            complete();
    }
}

void TrendDownload::endDownload()
{
    running_ = false;
    station_.poll.pollStep = 0;
    if (listener_) {
        listener_->hideProgress();
        listener_->stopDownloadTimer();
        listener_->armPollRestart();
    }
}

void TrendDownload::timeOut()
{
    station_.trend.Graf_Ticks = 0;
    station_.trend.Graf_PageCount = 0;
    station_.trend.Find_State = 0;
    station_.poll.SendPending = true;
    failure_ = TransferFailed;
    if (listener_) {
        listener_->setBusy(false);
        listener_->setFramesEnabled(true);
    }
    endDownload();
    if (listener_)
        listener_->message(TransferFailed);
    finish(ArchiveOutcome::failed(TransferFailed));
}

void TrendDownload::complete()
{
    const QByteArrayView assembled = QByteArrayView(buffer_).sliced(2);
    if (!trend::imageFault(assembled, station_.trend.Find_State, station_.trend.Graf_Page).isEmpty()) {
        // Answers taken for the wrong packets: the page is not what was asked for. It ends as a
        // failed transfer, with everything shown before left as it was.
        timeOut();
        return;
    }
    station_.trend.Graf_PageCount = 0;
    if (listener_) {
        listener_->setBusy(false);
        listener_->setFramesEnabled(true);
    }
    endDownload();

    auto &image = station_.poll.Graf_Image;
    const std::size_t n = std::min<std::size_t>(std::size_t(buffer_.size()), image.size() - 1);
    std::copy_n(reinterpret_cast<const std::uint8_t *>(buffer_.constData()), n, image.begin() + 1);

    // The walk works on a copy of the trend state that is committed to the station before the
    // chart is drawn and when the walk ends.
    trend::TrendPage page;
    page.page = station_.trend.Graf_Page;
    page.currentPage = station_.trend.Graf_CurrentPage;
    page.sampleCount = station_.trend.Graf_SampleCount;
    page.values = station_.trend.Graf_Values;
    page.paramNo = station_.trend.Graf_ParamNo;
    page.style = station_.trend.Graf_Style;
    page.timeText = station_.trend.Graf_TimeText;
    const auto commit = [this](const trend::TrendPage &p) {
        station_.trend.Graf_Page = p.page;
        station_.trend.Graf_CurrentPage = p.currentPage;
        station_.trend.Graf_SampleCount = p.sampleCount;
        station_.trend.Graf_Values = p.values;
        station_.trend.Graf_ParamNo = p.paramNo;
        station_.trend.Graf_Style = p.style;
        station_.trend.Graf_TimeText = p.timeText;
    };
    if (listener_)
        listener_->clearChart();

    trend::WalkEvents events;
    events.label = [this](const trend::TimeLabel &label) {
        if (listener_)
            listener_->drawTimeLabel(label);
    };
    events.draw = [this, &commit](const trend::TrendPage &p) {
        commit(p);
        if (listener_)
            listener_->drawChart();
        endDownload();
    };
    trend::walk(TrendDownload::image(station_), station_.trend.Find_State, station_.trend.Graf_Palette, page, events);
    station_.trend.Find_State = 0;
    commit(page);
    ++completed_;
    finish(ArchiveOutcome::completed());
}

bool TrendDownload::requestFind(int hour, int day, int month, int year)
{
    if (station_.trend.Find_State != 0 || findRunning_)
        return false;
    find_ = {hour, day, month, year};
    findOutcome_ = {};
    station_.trend.Find_State = 1;
    findRunning_ = true;
    if (listener_)
        listener_->startFindTimer(FindStartInterval);
    return true;
}

bool TrendDownload::startSearch()
{
    if (station_.trend.Find_State != 1)
        return false;
    if (!findRunning_) {
        findRunning_ = true;
        if (listener_)
            listener_->startFindTimer(FindStartInterval);
    }
    searchTaken_ = true;
    if (listener_)
        listener_->disableMainWindow();
    return true;
}

void TrendDownload::cancelFind()
{
    if (station_.trend.Find_State != 1)
        return;
    findOutcome_ = ArchiveOutcome::cancelled();
    station_.trend.Find_State = 0;
    findRunning_ = false;
    if (listener_) {
        listener_->stopFindTimer();
        if (searchTaken_)
            listener_->armPollRestart();
    }
    searchTaken_ = false;
}

int TrendDownload::findTick()
{
    if (!findRunning_)
        return FindWaitInterval;
    searchTaken_ = false;
    if (station_.trend.Find_State == 1) {
        station_.trend.Find_State = 2;
        const QByteArray req = trend::findRequest(std::uint8_t(station_.project.controllerAddress), find_[0], find_[1],
                                                  find_[2], find_[3]);
        const bool portShut = link_.isSerial() && !link_.serialOpen();
        if (portShut || link_.sendRequest(req) != Link::SendResult::Sent) {
            station_.trend.Find_State = 0;
            findRunning_ = false;
            failure_ = PortFailed;
            findOutcome_ = ArchiveOutcome::failed(link_.portFailureText());
            if (listener_) {
                listener_->stopFindTimer();
                listener_->message(link_.portFailureText());
                listener_->findFinished();
                // The polling cycle stopped for the search; it resumes as after a download.
                listener_->armPollRestart();
            }
            return FindWaitInterval;
        }
        return FindWaitInterval;
    }
    findRunning_ = false;
    if (listener_) {
        listener_->stopFindTimer();
        listener_->findFinished();
    }
    findOutcome_ = ArchiveOutcome::completed();
    // The page the search found comes at once.
    station_.trend.requestPage(station_.trend.Graf_Group, station_.trend.Graf_Page);
    start();
    return FindWaitInterval;
}
