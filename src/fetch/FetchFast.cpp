// tablo-fetch --fast: the fast-mode verdict of the project's controller, checked once.
#include "fetch/Fetch.h"
#include "link/ArchiveDriver.h"

namespace fetch {

bool useFast(Session &session, const QString &archive, FastProbe &probe)
{
    const Station &st = session.station;
    const QString project = st.project.projectName.trimmed();
    const int address = st.project.controllerAddress;
    const FastVerdicts verdicts;
    FastVerdict verdict = verdicts.get(project, address, archive);
    if (verdict == FastVerdict::Unknown) {
        session.progress(QStringLiteral("fast mode not yet checked with this controller: one %1 page fast and paced, "
                                        "compared byte for byte")
                             .arg(archive));
        FastCheck check(probe);
        ArchiveDriver driver(check);
        driver.setAnswerPaced(true);
        driver.ended = [&session](const ArchiveOutcome &) { session.quit(); };
        if (driver.start() && driver.active())
            session.exec(10 * 60 * 1000);
        driver.stop();
        check.cancel();
        verdict = check.verdict();
        if (verdict != FastVerdict::Unknown) {
            QString why;
            if (!verdicts.put(project, address, archive, verdict, &why))
                session.error(QStringLiteral("cannot keep the fast-mode verdict in %1 (%2)")
                                  .arg(verdicts.fileFor(project, address), why));
        }
        if (verdict == FastVerdict::Accepted)
            session.progress(QStringLiteral("fast mode accepted for this controller"));
    }
    if (verdict == FastVerdict::Refused)
        session.error(fastmsg::RefusedEnglish);
    else if (verdict == FastVerdict::Unknown)
        session.error(fastmsg::UncheckedEnglish);
    return verdict == FastVerdict::Accepted;
}

}   // namespace fetch
