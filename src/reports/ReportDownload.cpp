#include "reports/ReportDownload.h"

#include "link/Frame.h"
#include "reports/ReportPacket.h"
#include <algorithm>

namespace {
constexpr int RequestBytes = 8;   // the 6-byte packet request and its CRC
}   // namespace

ReportDownload::ReportDownload(ReportStation station, Link &link, ReportEvents *events)
    : station_(station), link_(link), events_(events ? events : &none_)
{
}

bool ReportDownload::openPort() { return link_.openSerialPort(portNumber()); }

void ReportDownload::load() { start(); }

bool ReportDownload::start()
{
    if (!loadAccepted())
        return false;
    outcome_ = {};
    events_->archiveBusy(true);
    events_->archiveProgress(station_.report.Rep_PacketNo, report::Packets);
    // The first request keeps its delay, answer-paced too: it gives the polling cycle the
    // time to stop and its last answer the time to come.
    Zadergka_REPORT.period = DelayMs;
    // Answer-paced, the receiver's one look on its own is at the end of the answer's bound.
    Timer_Opros_REPORT.period = answerPaced_ ? answerLimit() : ReceiveMs;
    takeLink();
    return true;
}

int ReportDownload::answerLimit() const
{
    // The report's port is a serial one whatever the project's link.
    return answerPaced_ ? pacing::answerPaced.answerWait(RequestBytes, report::AnswerLength, false) : AnswerLimitMs;
}

bool ReportDownload::answerIn() const
{
    return answerPaced_ && Timer_Opros_REPORT.on && link_.serialWaiting() >= report::AnswerLength;
}

void ReportDownload::takeLink()
{
    // A receiver still waiting past the bar gives way to the new request.
    Timer_Opros_REPORT.on = false;
    events_->loadEnabled(false);
    station_.report.Rep_FirstPending = 1;
    station_.poll.Rep_Mode = 1;
    if (!openPort()) {
        fail(link_.portFailureText(), false);
        return;
    }
    start(Zadergka_REPORT);
    setProgress(0, progressVisible_);
    if (station_.report.Rep_PacketNo == 0)
        station_.report.Rep_ParamNo = 0;
}

void ReportDownload::abandon()
{
    if (running())
        outcome_ = ArchiveOutcome::cancelled();
    Zadergka_REPORT.on = Timer_Opros_REPORT.on = Timer_ProgressBar_REPORT.on = false;
    if (station_.poll.Rep_Mode == 1)
        end();
}

int ReportDownload::nextInterval() const
{
    qint64 next = -1;
    for (const Timer *t : {&Zadergka_REPORT, &Timer_Opros_REPORT, &Timer_ProgressBar_REPORT})
        if (t->on && (next < 0 || t->due < next))
            next = t->due;
    return next < 0 ? Done : int(std::max<qint64>(0, next - now()));
}

int ReportDownload::tick()
{
    if (!running())
        return Done;
    const qint64 now = this->now();
    // A handler may stop or restart the others; each runs only if still due.
    if (Zadergka_REPORT.on && Zadergka_REPORT.due <= now)
        Zadergka_REPORT_Timer();
    // Answer-paced, the receiver looks at once when the whole answer is in.
    if (Timer_Opros_REPORT.on && (Timer_Opros_REPORT.due <= now || answerIn())) {
        Timer_Opros_REPORT.due += Timer_Opros_REPORT.period;
        Timer_Opros_REPORT_Timer();
    }
    if (Timer_ProgressBar_REPORT.on && Timer_ProgressBar_REPORT.due <= now) {
        Timer_ProgressBar_REPORT.due += Timer_ProgressBar_REPORT.period;
        Timer_ProgressBar_REPORT_Timer();
    }
    return nextInterval();
}

void ReportDownload::Zadergka_REPORT_Timer()
{
    Zadergka_REPORT.on = false;
    start(Timer_Opros_REPORT);
    setProgress(progress_, true);
    events_->packetLabel(QStringLiteral("Пакет № %1").arg(station_.report.Rep_PacketNo + 1));

    if (!portOpen() && !openPort()) {
        fail(link_.portFailureText(), false);
        return;
    }
    const auto address = static_cast<std::uint8_t>(station_.project.controllerAddress & 0xFF);
    link_.sendSerial(report::packetRequest(address, station_.report.Rep_PacketNo));
    requestAt_ = now();
    start(Timer_ProgressBar_REPORT);
}

void ReportDownload::Timer_ProgressBar_REPORT_Timer()
{
    setProgress(progress_ + 1, progressVisible_);
    if (progress_ <= ProgressLimit)
        return;
    // The bar is over; the receiver keeps looking for the answer. Polling over TCP may go on
    // meanwhile; polling on the serial port waits for the receiver.
    station_.report.Rep_FirstPending = 0;
    Timer_ProgressBar_REPORT.on = false;
    setProgress(0, false);
    events_->loadEnabled(true);
    if (!link_.isSerial())
        handBack();
}

void ReportDownload::Timer_Opros_REPORT_Timer()
{
    if (!link_.takeSerialAnswer(SizeRule{report::AnswerWait})) {
        if (now() - requestAt_ < answerLimit())
            return;
        // Nothing, or not all of it, came in time. The packet number stays, so that the next
        // Load_Q7 asks for the same packet; what came is dropped.
        link_.dropSerialInput();
        station_.report.Rep_FirstPending = 0;
        fail(TransferError, true);
        return;
    }
    const QByteArray answer = link_.lastAnswer();
    switch (report::checkAnswer(answer)) {
    case report::Answer::Short:
        station_.report.Rep_PacketNo = 0;
        fail(TransferError, true);
        return;
    case report::Answer::BadCrc:
        // The packet number stays: the next Load_Q7 asks for the same packet.
        fail(CrcError, true);
        return;
    case report::Answer::Good: break;
    }
    Timer_Opros_REPORT.on = false;
    events_->archiveProgress(station_.report.Rep_PacketNo + 1, report::Packets);
    const QByteArrayView data = QByteArrayView(answer).sliced(report::DataFirst - 1, report::DataBytes);
    std::copy(data.begin(), data.end(), station_.poll.Graf_Image.begin());
    station_.report.Rep_ParamNo =
        static_cast<std::int16_t>(report::decodePacket(data, station_.report.Rep_ParamNo, station_));
    station_.report.Rep_FirstPending = 0;
    ++station_.report.Rep_PacketNo;

    if (station_.report.Rep_PacketNo > report::Packets - 1) {
        station_.report.Rep_PacketNo = 0;
        Timer_ProgressBar_REPORT.on = false;
        setProgress(0, false);
        events_->packetLabel(QStringLiteral("Пакет № 0"));
        events_->loadEnabled(true);
        events_->completed();
        outcome_ = ArchiveOutcome::completed();
        end();
        finish();
        return;
    }
    Timer_ProgressBar_REPORT.on = false;
    if (answerPaced_)
        Zadergka_REPORT.period = pacing::answerPaced.start;
    takeLink();
}

void ReportDownload::setProgress(int value, bool visible)
{
    progress_ = std::clamp(value, 0, ProgressMax);
    progressVisible_ = visible;
    events_->progressChanged(progress_, visible);
}

void ReportDownload::end()
{
    Zadergka_REPORT.on = Timer_Opros_REPORT.on = Timer_ProgressBar_REPORT.on = false;
    setProgress(0, false);
    events_->loadEnabled(true);
    handBack();
}

void ReportDownload::handBack()
{
    if (station_.poll.Rep_Mode == 1) {
        station_.poll.Rep_Mode = 0;
        events_->linkReturned();
    }
}

void ReportDownload::finish()
{
    if (outcome_.kind == ArchiveOutcome::Kind::Failed)
        events_->archiveFailed(outcome_.text);
    events_->archiveBusy(false);
    events_->archiveEnded(outcome_);
}

void ReportDownload::fail(const QString &message, bool beep)
{
    outcome_ = ArchiveOutcome::failed(message);
    end();
    if (beep)
        events_->beep();
    events_->failed(message);
    finish();
}
