#pragma once
#include <functional>
// The operator station as the program runs it: the wiring of the main window Config_SCADA
// (which it owns) with the mimic pages in its client area, the project loader (the station is
// its host), the one link to the controller with the polling cycle on Timer_05, the animation
// timers, panel keys, clocks, the project settings dialog, the block inspector, the set-point
// dialog and a small indicator that shows whether the controller answers.
//
// Everything runs on the UI thread. Message boxes are opened without a nested event loop
// (application-modal, shown and left to the operator), so no timer tick and no load step can
// be re-entered while one is up.
#include "main/ConfigScada.h"
#include "app/Notices.h"
#include "main/ArchiveDownloads.h"
#include "link/DownloadStarter.h"
#include "link/LinkIndicator.h"
#include "project/LoadHost.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSize>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace history {
class HistoryWindow;
class StationCollection;
class StationRecorder;
}   // namespace history
class ConfigProject;
class ControlHost;
class GRAFIK_sheet;
class JURNAL_sheet;
class Jurnal_ALARM_ON;
class Link;
class MimicPages;
class PollCycle;
class ProjectReader;
class QLabel;
class QMessageBox;
class Report;
class ReportTriggerListener;
class QTimer;
class SerialTransport;
class TcpTransport;

class OperatorStation : public QObject, public LoadHost {
    Q_OBJECT
public:
    // Display-control plugins are looked for in `pluginDirs` when given, else where the
    // control host looks by default (TABLO_PLUGIN_PATH, the program's folder).
    explicit OperatorStation(Station &station, std::optional<QStringList> pluginDirs = std::nullopt);
    ~OperatorStation() override;

    // The main window, made and owned by the station; closing it ends the program.
    ConfigScada *mainWindow() const { return window_.get(); }
    Station &station() { return station_; }
    const Station &station() const { return station_; }

    MimicPages *mimicPages() const { return mimic_; }
    ProjectReader &projectReader() { return *reader_; }
    PollCycle &pollCycle() { return *poll_; }
    Link &link() { return *link_; }
    ConfigProject *projectSettings() const;   // nullptr until mnuNastrojki first opens it

    // Loads `path`, then talks to the controller on serial port COMn (1..8) with the serial
    // timing, whatever link the project names; the project's TCP client is never connected.
    // The demo reaches its simulator this way, through a pseudo-terminal mapped to COMn.
    bool loadProjectOverSerial(const QString &path, int com);

    // The link indicator at the right of the menu bar (hidden until a project is loaded).
    // Silent shows how long since the last good answer; Reconnecting (a TCP connection that
    // went away) when the next connect attempt is due and what went wrong. Its tooltip names
    // the link and counts late answers dropped. Refreshed every second.
    using LinkState = LinkIndicator::State;
    LinkState linkState() const;
    QLabel *linkIndicator() const { return linkIndicator_; }
    static QString linkStateText(LinkState state) { return LinkIndicator::stateText(state); }
    // The indicator's text for the present moment.
    QString linkIndicatorText() const;

    // Archive downloads that take the link at the end of a polling cycle: the station's own
    // (archiveDownloads(), filled in by the archive windows) unless a test sets others.
    void setDownloadStarter(DownloadStarter *downloads);
    ArchiveDownloads &archiveDownloads() { return downloads_; }
    // A download handed the link back (or Rep_Mode was cleared): the polling cycle restarts at
    // step 0 and the main window is enabled again if the download had disabled it.
    void resumePolling();

    // The history of the loaded project's controller: where it is kept (the file or URI given
    // by --history, else the default file of the project's controller), and what the station
    // writes into it. A history that cannot be opened or written leaves the station running;
    // the link indicator's tooltip says why.
    void setHistoryChoice(const QString &target) { historyChoice_ = target; }
    // "Файл історії…": from now on the history is kept in `target` (a file or a URI); with a
    // project loaded it is opened at once. False (and the history closed) when it cannot be.
    bool useHistory(const QString &target);
    QString historyTarget() const;
    history::StationRecorder &recorder() { return *recorder_; }
    // Automatic collection ("Архівування", on by default): the pages the history lacks,
    // fetched in the background at the polling cycle's hand-over.
    history::StationCollection &collection() { return *collection_; }
    // "Історія: FILE, останній запис 12:00:05" or why no history is kept.
    QString historyStatus() const;

    // The journal window (it owns the journal download) and the alarm window.
    JURNAL_sheet *journalWindow() const { return journal_; }
    Jurnal_ALARM_ON *alarmWindow() const { return alarm_; }

    // Message boxes currently open (loader, netlist import, plugins), oldest first.
    std::vector<QMessageBox *> openMessages() const;

    // The report window (nullptr until "&Звіт EXCEL" or an automatic report start opens it).
    Report *reportWindow() const;

    // ----- trend window GRAFIK_sheet (made on first use, then kept) -----
    // Opens it on `group` with the current page asked for (a navigation label 211..218).
    GRAFIK_sheet *openTrendWindow(int group);
    GRAFIK_sheet *trendWindow() const;

    // ----- history window "Історія" (made on first use, then kept) -----
    // Opens it on historyTarget(), read again every time it opens.
    history::HistoryWindow *openHistoryWindow();
    history::HistoryWindow *historyWindow() const;

    // `tablo FILE`: a trend page (.grf) in the trend window, a journal page (.jur) in the
    // journal window, report settings (.rep) in the report window, anything else as a
    // project. A file that cannot be read gets the window's own message (or one naming the
    // file) and opens no window. False when nothing was opened.
    bool openDocument(const QString &path);

public Q_SLOTS:
    // `tablo PROJECT.prt`.
    void loadProject(const QString &path);
    // mnuLoad "&Відкрити проект": the Open dialog, then the load once it is answered.
    void openProjectFile();

public:
    // The Open dialog of a project, answered through `done` (empty when cancelled).
    virtual void askProjectFile(std::function<void(const QString &)> done);
    // LoadHost
    QString chooseProjectFile() override;
    void hideLogo() override;
    void checkVersionMenu(VersionMenu item) override;
    void setAnimationTimer(bool enabled) override;
    void connectTcp(const QString &host, std::int32_t port) override;
    void closeTcp() override;
    void forgetDownloads() override;
    void enableMainWindow() override;
    void setCaption(const QString &caption) override;
    void layoutPageArea() override;
    void setPollTimer(bool enabled) override;
    void showProjectMenus() override;
    void showMessage(const QString &text) override;
    void parameterError(const QString &text) override;
    void netlistError(const QString &text) override;

    // The menu's windows.
    void openProjectSettings();   // mnuNastrojki
    void showSchema();            // mnuSchema
    void showScada();             // mnuSCADA
    void openReportWindow();      // mnuReportEXCEL
    void openJournalWindow();     // mnuJurnal: the current page
    void openJournalFile();       // mnuJurnalOpen: a .jur file, no download
    void openTrendFile();         // mnuGRAFIK: a .grf file first, then the trend window

protected:
    // A navigation label asked for a trend group or the journal; the station flags are already
    // raised. The trend and journal windows attach here.
    virtual void showTrendWindow(int group) { openTrendWindow(group); }
    virtual void showJournalWindow();

private:
    void wireMainWindow();
    void wireMimicPages();
    void wireJournal();
    static QString alarmSoundPath();
    void openJournalRequested();   // the journal window over the main window, a page requested
    void pollTick();
    void afterLoad(bool loaded, const QString &path);
    void wireHistory();
    void refreshLinkIndicator();
    void openSetPoint(int block, int pin, const QString &startText);
    QString setPointName(int block, int pin);
    QString netlistSetPoint(int block, int pin);
    void openInspector();
    QWidget *createControl(const QString &progId, QWidget *parent);
    void showPluginFailures();
    void announce(const QString &title, const QString &text, int icon);

    Station &station_;
    // First of the members, so it goes last: the loader and the report trigger refer to the
    // pages in its client area.
    std::unique_ptr<ConfigScada> window_;
    std::unique_ptr<ControlHost> controls_;
    MimicPages *mimic_ = nullptr;
    std::unique_ptr<SerialTransport> serial_;
    std::unique_ptr<TcpTransport> tcp_;
    std::unique_ptr<Link> link_;
    ArchiveDownloads downloads_;
    // Reports: the polling cycle's listener adds the automatic report start to the pages'.
    std::unique_ptr<ReportTriggerListener> pollListener_;
    QPointer<Report> report_;
    void startReportAutomatically();
    std::unique_ptr<PollCycle> poll_;
    std::unique_ptr<ProjectReader> reader_;
    QPointer<ConfigProject> settings_;
    QPointer<GRAFIK_sheet> trends_;
    QPointer<history::HistoryWindow> history_;
    GRAFIK_sheet *ensureTrendWindow();
    JURNAL_sheet *journal_ = nullptr;
    Jurnal_ALARM_ON *alarm_ = nullptr;

    QLabel *linkIndicator_ = nullptr;
    QTimer *linkIndicatorTimer_ = nullptr;
    QSize linkIndicatorHint_;
    LinkIndicator linkModel_;

    bool downloadHold_ = false;
    bool serialOverride_ = false;

    QSet<QString> reportedPlugins_;
    QStringList pendingPluginFailures_;
    Notices notices_;
    std::unique_ptr<history::StationRecorder> recorder_;
    std::unique_ptr<history::StationCollection> collection_;
    bool openHistoryStore();
    void closeHistory();
    QString historyChoice_;
    QString historyProblem_;
    qint64 historyStoredMs_ = 0;
    // The answer of the project dialog while the loader asks for it.
    QString chosenProject_;
};
