#pragma once
// Whether a controller may be downloaded from answer-paced ("fast"), and the check that finds
// out. A controller that answers before it has built the page asked for (a slow one, which the
// fixed pauses of the paced downloads wait for) gives a fast download a page that is not the
// one asked for, with good CRCs. So the first time fast mode is used with a controller, one
// page is downloaded fast and then paced and the two are compared byte for byte; fast is used
// for that controller only when they agree.
//
//     FastVerdicts verdicts;                                   // $XDG_DATA_HOME/tablo/fast
//     switch (verdicts.get(project, address, "trend")) { ... }
//     FastCheck check(probe);                                  // an archive exchange
//     driver.setAnswerPaced(true); driver.start();             // ... then, at its end:
//     verdicts.put(project, address, "trend", check.verdict());
//
// The verdict is kept per controller (project name and controller address), one line per
// archive, in the user's data folder, written atomically.
#include "link/ArchiveExchange.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class ArchiveDriver;
class QObject;
#include "project/ProjectModel.h"

enum class FastVerdict {
    Unknown,    // never checked, or the check could not compare (a download failed)
    Accepted,   // fast and paced gave the same page
    Refused,    // they did not
};

class FastVerdicts {
public:
    // `folder` holds one file per controller; by default the user's data folder's
    // "tablo/fast" (QStandardPaths::GenericDataLocation, i.e. $XDG_DATA_HOME/tablo/fast).
    explicit FastVerdicts(const QString &folder = defaultFolder());
    static QString defaultFolder();

    // The file that keeps the verdicts of a controller.
    QString fileFor(const QString &project, int address) const;
    // `archive` is "trend", "journal" or "report".
    FastVerdict get(const QString &project, int address, const QString &archive) const;
    // Unknown removes the archive's line. False (and why) when the file could not be written.
    bool put(const QString &project, int address, const QString &archive, FastVerdict verdict,
             QString *error = nullptr) const;

    const QString &folder() const { return folder_; }

private:
    QString folder_;
};

// What the operator is told when fast mode is refused for a controller: in the windows
// (Ukrainian) and on tablo-fetch's standard error (English).
namespace fastmsg {
inline const QString Refused = QStringLiteral(
    "Швидке завантаження з цього контролера вимкнено: швидко і звичайно завантажені сторінки "
    "не збіглися (контролер відповідає раніше, ніж сторінку зібрано). Завантаження йде у звичайному темпі.");
inline const QString RefusedEnglish =
    QStringLiteral("fast mode refused for this controller: a page downloaded fast differs from the same page "
                   "downloaded paced (the controller answers before the page is built); downloading paced");
inline const QString Unchecked = QStringLiteral(
    "Швидке завантаження не перевірено: перевірочна сторінка не завантажилась. Завантаження йде у звичайному темпі.");
inline const QString UncheckedEnglish =
    QStringLiteral("fast mode not checked: a page of the check did not download; downloading paced");
}   // namespace fastmsg

// One archive's part in the check: three downloads on a station of its own (so that the
// operator's archive state is left alone). Download 0, paced, leads (it shows which pages are
// settled and makes the controller build a page other than the one compared); download 1 is
// the compared page fast, download 2 the same page paced. A fast download that fails where the
// paced one of the same page completes is a refusal too.
class FastProbe {
public:
    virtual ~FastProbe() = default;
    // False: no lead, the check starts with download 1.
    virtual bool leads() const { return true; }
    // Sets up download n (0..2) and returns its exchange, not yet started; nullptr when the
    // check cannot go on.
    virtual ArchiveExchange *prepare(int n) = 0;
    // The bytes of the page that download n brought (after it completed), those that belong
    // to the page itself.
    virtual QByteArray page(int n) const = 0;
    // The parts downloaded so far of the whole check (for a progress bar).
    virtual int parts() const { return 0; }
};

// The check as one archive exchange: the three downloads of the probe one after another on
// the same driver, which must be answer-paced (ArchiveDriver::setAnswerPaced) for download 1.
// Its outcome is completed when the pages could be compared (see verdict()), else the failed
// download's.
class FastCheck : public ArchiveExchange {
public:
    explicit FastCheck(FastProbe &probe) : probe_(probe) {}

    bool start() override;
    int firstInterval() const override;
    int step() override;
    bool running() const override { return current_ != nullptr; }
    void cancel() override;
    ArchiveOutcome outcome() const override { return outcome_; }
    bool answerIn() const override { return current_ && current_->answerIn(); }

    // After the end: Accepted, Refused, or Unknown when a download failed.
    FastVerdict verdict() const { return verdict_; }
    // The download under way (0..2), while running.
    int download() const { return n_; }

private:
    bool begin(int n);
    void end(const ArchiveOutcome &outcome);

    FastProbe &probe_;
    ArchiveExchange *current_ = nullptr;
    int n_ = 0;
    int first_ = 0;
    bool fastFailed_ = false;
    ArchiveOutcome outcome_;
    FastVerdict verdict_ = FastVerdict::Unknown;
};

// A window's "Швидко" item before each download: the verdict kept for the station's project
// and controller, and the check that runs first, on a driver of its own, when there is none.
//
//     if (fastBox->isChecked() && gate.verdict(station.project) == FastVerdict::Unknown)
//         gate.check(station.project, makeProbe, [&](FastVerdict v) { ...; startTheDownload(); });
class FastGate {
public:
    using ProbeMaker = std::function<std::unique_ptr<FastProbe>()>;

    FastGate(const QString &archive, QObject *parent = nullptr, const FastVerdicts &verdicts = FastVerdicts());
    ~FastGate();
    FastGate(const FastGate &) = delete;
    FastGate &operator=(const FastGate &) = delete;

    FastVerdict verdict(const ProjectModel &project) const;
    // Runs the check (the link must be the caller's); at its end the verdict is kept, unless
    // the check could not compare, and `then` gets it (it may start the download, not another
    // check). False, and `then` never called, when a check runs already or cannot start.
    bool check(const ProjectModel &project, const ProbeMaker &makeProbe, std::function<void(FastVerdict)> then);
    bool checking() const;
    // The window goes: the check stops where it is, `then` is not called.
    void cancel();

    const QString &archive() const { return archive_; }
    const FastVerdicts &verdicts() const { return verdicts_; }

private:
    QString archive_;
    QObject *parent_;
    FastVerdicts verdicts_;
    std::unique_ptr<FastProbe> probe_;
    std::unique_ptr<FastCheck> check_;
    std::unique_ptr<ArchiveDriver> driver_;
    std::function<void(FastVerdict)> then_;
    bool ending_ = false;
};

// Pages a minute at which a download goes that has brought `done` of `total` parts in `ms`.
inline double pagesPerMinute(int done, int total, qint64 ms)
{
    return done <= 0 || total <= 0 || ms <= 0 ? 0.0 : 60000.0 * done / (double(total) * double(ms));
}
