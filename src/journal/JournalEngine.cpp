#include "journal/JournalEngine.h"
#include "journal/JournalPage.h"
#include "app/Messages.h"
#include "link/Frame.h"

#include <algorithm>

namespace {
constexpr int RequestBytes = 8;         // the 6-byte request and its CRC
constexpr int JournalFileBytes = 330;   // the answer as the controller sends it, spare bytes included
}   // namespace

JournalEngine::JournalEngine(JournalStation station, Link &link, JournalListener *listener)
    : station_(station), link_(link), listener_(listener)
{
}

bool JournalEngine::start()
{
    if (active_)
        return false;
    active_ = true;
    station_.journal.Jurnal_State = 0;
    interval_ = firstInterval();
    sendTries_ = 0;
    outcome_ = Outcome::None;
    if (listener_) {
        listener_->archiveBusy(true);
        listener_->archiveProgress(0, 1);
    }
    return true;
}

bool JournalEngine::answerIn() const
{
    return answerPaced_ && active_ && station_.journal.Jurnal_State == 2
        && link_.answerIn(AnswerRule::atLeast(AnswerSize));
}

int JournalEngine::step()
{
    const int ms = tick();
    return active_ ? ms : Done;
}

ArchiveOutcome JournalEngine::outcome() const
{
    switch (outcome_) {
    case Outcome::None: return {};
    case Outcome::Shown: return ArchiveOutcome::completed();
    case Outcome::Incomplete: return ArchiveOutcome::failed(msg::TransferFailed);
    case Outcome::CrcError: return ArchiveOutcome::failed(msg::ChecksumFailed);
    case Outcome::Cancelled: return ArchiveOutcome::cancelled();
    }
    return {};
}

void JournalEngine::cancel()
{
    if (!active_)
        return;
    active_ = false;
    station_.journal.Jurnal_State = 0;
    interval_ = StepInterval;
    outcome_ = Outcome::Cancelled;
}

QByteArray JournalEngine::request() const
{
    const int address = station_.project.controllerAddress;
    const bool find = station_.journal.Jurnal_Find == 1;
    const int bytes[6] = {address,
                          find ? frame::FindJournalPage : frame::JournalPage,
                          find ? station_.journal.Find_Hour : 1,
                          find ? station_.journal.Find_Day : 0,
                          find ? station_.journal.Find_Month : 0,
                          find ? station_.journal.Find_Year : station_.journal.Jurnal_Page};
    QByteArray r;
    for (int v : bytes)
        r.append(static_cast<char>(v & 0xFF));
    return r;
}

int JournalEngine::tick()
{
    if (!active_)
        return interval_;
    if (listener_)
        listener_->journalControls(false);
    switch (station_.journal.Jurnal_State) {
    case 0: send(); break;
    case 1:
        interval_ = StepInterval;
        station_.journal.Jurnal_State = 2;
        if (listener_)
            listener_->journalRequestSent();
        break;
    default: read(); break;
    }
    return interval_;
}

void JournalEngine::send()
{
    const bool find = station_.journal.Jurnal_Find == 1;
    if (find)
        interval_ = FindWait;
    // Anything but a send (a TCP link silent too long being closed or reconnected) leaves the
    // state at 0: the next tick tries again, a bounded number of times, so that a controller
    // that is gone never keeps the polling cycle stopped.
    if (link_.sendRequest(request()) != Link::SendResult::Sent) {
        // Answer-paced too: the link is given the paced time to come back.
        if (!find)
            interval_ = StepInterval;
        if (++sendTries_ < SendTries)
            return;
        if (listener_)
            listener_->journalControls(true);
        station_.journal.Jurnal_Request = 0;
        station_.journal.Jurnal_Find = 0;
        return end(Outcome::Incomplete);
    }
    currentOrFind_ = find || station_.journal.Jurnal_Page == journal::CurrentPage;
    station_.journal.Jurnal_State = 1;
    if (!answerPaced_)
        return;
    // No wait step: the read is next, as soon as the answer is in or its bound has passed.
    station_.journal.Jurnal_State = 2;
    if (listener_)
        listener_->journalRequestSent();
    if (!find)
        interval_ = pacing::answerPaced.answerWait(RequestBytes, JournalFileBytes, link_.isTcp());
}

void JournalEngine::read()
{
    if (listener_)
        listener_->journalControls(true);
    station_.journal.Jurnal_Request = 0;
    if (!link_.takeAnswer(AnswerRule::atLeast(AnswerSize))) {
        // No retry; a find is not taken up again by the next polling cycle either.
        station_.journal.Jurnal_Find = 0;
        return end(Outcome::Incomplete);
    }
    const QByteArray &answer = link_.lastAnswer();
    // Checked before it is stored, so a corrupt answer never replaces the page on show (which
    // the file, export and printing read from the buffer).
    if (!link_.checkAnswer(Covered)) {
        station_.journal.Jurnal_Find = 0;
        if (listener_)
            listener_->journalCrcMismatch();
        return end(Outcome::CrcError);
    }
    const int n = static_cast<int>(std::min<qsizetype>(answer.size(), 330));
    station_.journal.Jurnal_Buf[330] = 0;
    for (int k = 1; k <= n; ++k)
        station_.journal.Jurnal_Buf[k] = static_cast<std::uint8_t>(answer[k - 1]);
    journal::takePage(station_, currentOrFind_);
    if (listener_) {
        listener_->journalShow();
        listener_->archiveProgress(1, 1);
    }
    end(Outcome::Shown);
}

void JournalEngine::end(Outcome outcome)
{
    outcome_ = outcome;
    active_ = false;
    station_.journal.Jurnal_State = 0;
    interval_ = StepInterval;
    if (!listener_)
        return;
    const ArchiveOutcome o = this->outcome();
    if (o.kind == ArchiveOutcome::Kind::Failed)
        listener_->archiveFailed(o.text);
    listener_->archiveBusy(false);
    listener_->journalEnded();
    listener_->archiveEnded(o);
}
