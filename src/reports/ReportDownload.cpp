#include "reports/ReportDownload.h"

#include "link/Frame.h"
#include "reports/ReportPacket.h"
#include <algorithm>

ReportDownload::ReportDownload(Station &station, Link &link, ReportEvents *events)
    : station_(station), link_(link), events_(events ? events : &none_)
{
}

bool ReportDownload::openPort()
{
    Transport &port = link_.serial();
    if (port.isOpen())
        port.close();
    station_.pollStep = 0;
    return port.open(Endpoint{portNumber(), {}, 0});
}

void ReportDownload::load()
{
    if (!loadAccepted())
        return;
    takeLink();
}

void ReportDownload::takeLink()
{
    // A receiver still waiting past the bar gives way to the new request.
    Timer_Opros_REPORT.on = false;
    events_->loadEnabled(false);
    station_.Rep_FirstPending = 1;
    station_.Rep_Mode = 1;
    if (!openPort()) {
        fail(link_.portFailureText(), false);
        return;
    }
    start(Zadergka_REPORT);
    setProgress(0, progressVisible_);
    if (station_.Rep_PacketNo == 0)
        station_.Rep_ParamNo = 0;
}

void ReportDownload::abandon()
{
    Zadergka_REPORT.on = Timer_Opros_REPORT.on = Timer_ProgressBar_REPORT.on = false;
    if (station_.Rep_Mode == 1)
        end();
}

int ReportDownload::nextInterval() const
{
    qint64 next = -1;
    for (const Timer *t : {&Zadergka_REPORT, &Timer_Opros_REPORT, &Timer_ProgressBar_REPORT})
        if (t->on && (next < 0 || t->due < next))
            next = t->due;
    return next < 0 ? -1 : int(std::max<qint64>(0, next - now_));
}

int ReportDownload::tick()
{
    const int wait = nextInterval();
    if (wait < 0)
        return -1;
    now_ += wait;
    // A handler may stop or restart the others; each runs only if still due.
    if (Zadergka_REPORT.on && Zadergka_REPORT.due <= now_)
        Zadergka_REPORT_Timer();
    if (Timer_Opros_REPORT.on && Timer_Opros_REPORT.due <= now_) {
        Timer_Opros_REPORT.due += Timer_Opros_REPORT.period;
        Timer_Opros_REPORT_Timer();
    }
    if (Timer_ProgressBar_REPORT.on && Timer_ProgressBar_REPORT.due <= now_) {
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
    events_->packetLabel(QStringLiteral("Пакет № %1").arg(station_.Rep_PacketNo + 1));

    Transport &port = link_.serial();
    if (!portOpen() && !openPort()) {
        fail(link_.portFailureText(), false);
        return;
    }
    // Whatever is still waiting belongs to no request of ours.
    if (port.bytesWaiting() > 0)
        port.readAll();
    const auto address = static_cast<std::uint8_t>(station_.project.controllerAddress & 0xFF);
    port.write(frame::withCrc(report::packetRequest(address, station_.Rep_PacketNo)));
    requestAt_ = now_;
    start(Timer_ProgressBar_REPORT);
}

void ReportDownload::Timer_ProgressBar_REPORT_Timer()
{
    setProgress(progress_ + 1, progressVisible_);
    if (progress_ <= ProgressLimit)
        return;
    // The bar is over; the receiver keeps looking for the answer. Polling over TCP may go on
    // meanwhile; polling on the serial port waits for the receiver.
    station_.Rep_FirstPending = 0;
    Timer_ProgressBar_REPORT.on = false;
    setProgress(0, false);
    events_->loadEnabled(true);
    if (!link_.isSerial())
        handBack();
}

void ReportDownload::Timer_Opros_REPORT_Timer()
{
    Transport &port = link_.serial();
    if (port.bytesWaiting() < report::AnswerWait) {
        if (now_ - requestAt_ < AnswerLimitMs)
            return;
        // Nothing, or not all of it, came in time. The packet number stays, so that the next
        // Load_Q7 asks for the same packet; what came is dropped.
        if (port.isOpen() && port.bytesWaiting() > 0)
            port.readAll();
        station_.Rep_FirstPending = 0;
        fail(TransferError, true);
        return;
    }
    const QByteArray answer = port.readAll();
    switch (report::checkAnswer(answer)) {
    case report::Answer::Short:
        station_.Rep_PacketNo = 0;
        fail(TransferError, true);
        return;
    case report::Answer::BadCrc:
        // The packet number stays: the next Load_Q7 asks for the same packet.
        fail(CrcError, true);
        return;
    case report::Answer::Good:
        break;
    }
    Timer_Opros_REPORT.on = false;
    const QByteArrayView data = QByteArrayView(answer).sliced(report::DataFirst - 1, report::DataBytes);
    std::copy(data.begin(), data.end(), station_.Graf_Image.begin());
    station_.Rep_ParamNo = static_cast<std::int16_t>(
        report::decodePacket(data, station_.Rep_ParamNo, station_));
    station_.Rep_FirstPending = 0;
    ++station_.Rep_PacketNo;

    if (station_.Rep_PacketNo > report::Packets - 1) {
        station_.Rep_PacketNo = 0;
        Timer_ProgressBar_REPORT.on = false;
        setProgress(0, false);
        events_->packetLabel(QStringLiteral("Пакет № 0"));
        events_->loadEnabled(true);
        events_->completed();
        end();
        return;
    }
    Timer_ProgressBar_REPORT.on = false;
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
    if (station_.Rep_Mode == 1) {
        station_.Rep_Mode = 0;
        events_->linkReturned();
    }
}

void ReportDownload::fail(const QString &message, bool beep)
{
    end();
    if (beep)
        events_->beep();
    events_->failed(message);
}
