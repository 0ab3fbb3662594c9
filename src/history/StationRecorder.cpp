#include "history/StationRecorder.h"
#include "history/HistoryPath.h"
#include "history/StationHistory.h"
#include "trends/TrendDownload.h"

namespace history {

StationRecorder::StationRecorder(const Station &station, const Clock &wall, QString user)
    : station_(station), wall_(wall), user_(std::move(user))
{
}

StationRecorder::~StationRecorder() { close(); }

bool StationRecorder::open(const QString &target, QString *error)
{
    close();
    const ProjectModel &m = station_.project;
    const QString path = historyTarget(target, m.projectName, m.controllerAddress);
    store_ =
        HistoryStore::open(path, error, HistoryStore::Mode::Write, controllerKey(m.projectName, m.controllerAddress));
    if (!store_)
        return false;
    where_ = path.startsWith(QLatin1String("postgres")) ? path.section(QLatin1Char('@'), -1) : path;
    return true;
}

void StationRecorder::close()
{
    if (write_)
        finishWrite(false);
    store_.reset();
    where_.clear();
}

void StationRecorder::fail(const QString &why)
{
    if (problem)
        problem(why);
}

void StationRecorder::done()
{
    if (stored)
        stored(wall_.nowMs());
}

void StationRecorder::trendPageDownloaded(int group, int page)
{
    if (!store_)
        return;
    const QByteArrayView image = TrendDownload::image(station_);
    const StoreResult r =
        store_->storeTrendPage(group, image, page, trendChannels(station_, group, image), wall_.nowMs());
    if (r.kind == Stored::Failed)
        return fail(r.note);
    // A page without a single time (a controller whose clock was never set) is not history;
    // the operator still has it on screen.
    if (r.kind != Stored::Rejected)
        done();
}

void StationRecorder::journalPageDownloaded()
{
    if (!store_)
        return;
    QString why;
    if (store_->storeJournalPage(station_.journal.Jurnal_Buf, journalEventNames(station_), wall_.nowMs(), &why) < 0)
        return fail(why);
    done();
}

void StationRecorder::reportDownloaded()
{
    if (!store_)
        return;
    QString why;
    if (store_->storeReportRows(reportRows(station_), wall_.nowMs(), &why) < 0)
        return fail(why);
    done();
}

void StationRecorder::alarmAnnounced(int event, const QString &name)
{
    QString why;
    if (store_ && !store_->storeAlarm(wall_.nowMs(), AlarmKind::Announced, event, name, &why))
        fail(why);
}

void StationRecorder::alarmAcknowledged(int event, const QString &name)
{
    QString why;
    if (store_ && !store_->storeAlarm(wall_.nowMs(), AlarmKind::Acknowledged, event, name, &why))
        fail(why);
}

void StationRecorder::action(const QString &kind, const QString &text)
{
    QString why;
    if (store_ && !store_->logAction(wall_.nowMs(), user_, kind, text, &why))
        fail(why);
}

void StationRecorder::setPointWritten(int block, int pin, const QString &oldText, float newValue)
{
    if (write_)
        finishWrite(false);   // replaced before the controller took it
    const PendingWrite &w = station_.write;
    write_ = Write{block, pin, oldText.trimmed(), newValue,
                   w.flag == 1 && w.block == block && w.pin == pin && w.value == newValue};
}

void StationRecorder::watch(const PendingWrite &write)
{
    if (!write_)
        return;
    const bool ours = write.block == write_->block && write.pin == write_->pin && write.value == write_->value;
    if (write.flag == 1 && ours) {
        write_->seenPending = true;
    } else if (write.flag == 0 && write_->seenPending) {
        finishWrite(true);
    } else if (write.flag == 1) {
        finishWrite(false);   // another write took its place
    }
}

void StationRecorder::finishWrite(bool acknowledged)
{
    const Write w = *write_;
    write_.reset();
    bool ok = false;
    QString old = w.oldText;
    old.replace(QLatin1Char(','), QLatin1Char('.'));
    const float oldValue = old.toFloat(&ok);
    action(QStringLiteral("setpoint"),
           setPointText(w.block, w.pin, ok ? std::optional<float>(oldValue) : std::nullopt, w.value, acknowledged));
}

}   // namespace history
