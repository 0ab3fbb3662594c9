#include "main/OperatorStation.h"

#include "app/CommandLine.h"
#include "app/FileDialogs.h"
#include "app/InstallPaths.h"
#include "app/Messages.h"
#include "app/ModalWindow.h"
#include "app/Pages.h"
#include "station/Station.h"
#include "history/HistoryPath.h"
#include "history/HistoryWindow.h"
#include "history/StationCollection.h"
#include "history/StationRecorder.h"
#include "host/ControlHost.h"
#include "journal/AlarmSound.h"
#include "journal/JURNAL_sheet.h"
#include "journal/JournalFile.h"
#include "journal/JournalPage.h"
#include "journal/Jurnal_ALARM_ON.h"
#include "link/Link.h"
#include "link/PollCycle.h"
#include "link/SerialTransport.h"
#include "link/Set_SP_US1.h"
#include "link/TcpTransport.h"
#include "mimic/BlockInspector.h"
#include "mimic/InspectorLabels.h"
#include "mimic/MimicPages.h"
#include "mimic/ValueAge.h"
#include "project/ConfigProject.h"
#include "project/ProjectReader.h"
#include "reports/Report.h"
#include "reports/ReportTrigger.h"
#include "trends/GRAFIK_sheet.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

const QString &errorTitle = msg::ErrorTitle;

}   // namespace

OperatorStation::OperatorStation(Station &station, std::optional<QStringList> pluginDirs)
    : station_(station),
      window_(std::make_unique<ConfigScada>(station)),
      controls_(pluginDirs ? std::make_unique<ControlHost>(*pluginDirs) : std::make_unique<ControlHost>()),
      downloads_(station)
{
    // The mimic pages share the client area with the start-up logo, edge to edge: the page
    // canvases are placed in pixels from the window's corner.
    mimic_ = new MimicPages(
        station, [this](const QString &id, QWidget *p) { return createControl(id, p); }, window_->clientArea());
    if (auto *grid = qobject_cast<QGridLayout *>(window_->clientArea()->layout())) {
        grid->setContentsMargins(0, 0, 0, 0);
        grid->addWidget(mimic_, 0, 0);
    }

    serial_ = std::make_unique<SerialTransport>([&station](int n) { return station.poll.comDevice(n); });
    tcp_ = std::make_unique<TcpTransport>();
    // The link paces and times out on a steady clock; what the operator reads as a time of day
    // (value ages, alarm lines) comes from the wall clock.
    link_ = std::make_unique<Link>(station, *serial_, *tcp_, SteadyClock::instance());
    mimic_->setClock(WallClock::instance());
    pollListener_ = std::make_unique<ReportTriggerListener>(station, *mimic_, [this] { startReportAutomatically(); });
    poll_ = std::make_unique<PollCycle>(station, *link_, pollListener_.get(), &downloads_);
    reader_ = std::make_unique<ProjectReader>(station, *mimic_, *this);

    wireMainWindow();

    linkIndicator_ = new QLabel(window_->menuBar());
    linkIndicator_->setObjectName(QStringLiteral("linkIndicator"));
    linkIndicator_->setContentsMargins(8, 0, 8, 0);
    linkIndicator_->setTextFormat(Qt::RichText);
    window_->menuBar()->setCornerWidget(linkIndicator_, Qt::TopRightCorner);
    linkIndicator_->hide();
    // The age of the last answer and the reconnect countdown move on between answers.
    linkIndicatorTimer_ = new QTimer(this);
    linkIndicatorTimer_->setInterval(1000);
    connect(linkIndicatorTimer_, &QTimer::timeout, this, &OperatorStation::refreshLinkIndicator);

    connect(window_->Timer_05(), &QTimer::timeout, this, &OperatorStation::pollTick);
    connect(window_->Timer_Vent(), &QTimer::timeout, mimic_, &MimicPages::Timer_Vent_Timer);
    connect(window_->Timer_Transport45(), &QTimer::timeout, this, [this] {
        // One run per start.
        window_->Timer_Transport45()->stop();
        mimic_->Timer_Transport45_Timer();
    });

    wireMimicPages();
    window_->registerWindow(QStringLiteral("Input_Output_Block"), mimic_->inspector());
    wireJournal();
    wireHistory();
}

OperatorStation::~OperatorStation()
{
    window_->Timer_05()->stop();
    closeHistory();
    // The pages outlive the rest of the station (they go with the main window): nothing they
    // emit on the way out may reach it.
    mimic_->disconnect(this);
    delete report_.data();   // before the link it downloads over
}

void OperatorStation::wireMainWindow()
{
    ConfigScada *w = window_.get();
    // mnuLoad goes through the loader's own open step (logo, dialog, failure rules) rather
    // than the plain file dialog of the bare main window.
    QAction *load = w->action(QStringLiteral("mnuLoad"));
    disconnect(load, nullptr, w, nullptr);
    connect(load, &QAction::triggered, this, &OperatorStation::openProjectFile);
    connect(w, &ConfigScada::projectSettingsRequested, this, &OperatorStation::openProjectSettings);
    connect(w, &ConfigScada::trendFileRequested, this, &OperatorStation::openTrendFile);
    connect(w, &ConfigScada::journalFileRequested, this, &OperatorStation::openJournalFile);
    connect(w, &ConfigScada::reportWindowRequested, this, &OperatorStation::openReportWindow);
    connect(w, &ConfigScada::journalWindowRequested, this, &OperatorStation::openJournalWindow);
    connect(w, &ConfigScada::historyRequested, this, [this] { openHistoryWindow(); });
    connect(w, &ConfigScada::schemaRequested, this, &OperatorStation::showSchema);
    connect(w, &ConfigScada::scadaRequested, this, &OperatorStation::showScada);
}

void OperatorStation::wireMimicPages()
{
    MimicPages *m = mimic_;
    m->setArchiveRequests({[this](int group) { return station().trend.requestCurrentPage(group); },
                           [this] { station().journal.requestPage(archive::CurrentPage); }});
    connect(m, &MimicPages::controlPressed, this, [this](int index, int, int) {
        window_->pressKey(index);
        if (const PendingKey &k = station().key; k.block != 0)
            recorder_->action(QStringLiteral("key"), QStringLiteral("block %1 key %2").arg(k.block).arg(k.code));
    });
    connect(m, &MimicPages::controlReleased, this, [this](int, int, int) { window_->releaseKey(); });
    connect(m, &MimicPages::clockCreated, window_.get(), &ConfigScada::setClockLabels);
    connect(m, &MimicPages::elementsRemoved, window_.get(), &ConfigScada::clearClockLabels);
    connect(m, &MimicPages::pageChanged, this, [this](int) {
        // The new page's clock shows the time at once, not a quarter second later.
        window_->tickClock(QDateTime::currentDateTime());
    });
    connect(m, &MimicPages::startTransport45, this, [this] {
        if (!window_->Timer_Transport45()->isActive())
            window_->Timer_Transport45()->start();
    });
    connect(m, &MimicPages::setPointRequested, this, &OperatorStation::openSetPoint);
    connect(m, &MimicPages::trendRequested, this, [this](int group) { showTrendWindow(group); });
    connect(m, &MimicPages::journalRequested, this, [this] { showJournalWindow(); });
    connect(m, &MimicPages::inspectorOpened, this, [this](int) { openInspector(); });
    connect(m, &MimicPages::crcMismatchOccurred, this, [] { QApplication::beep(); });
    connect(m, &MimicPages::linkAnsweringChanged, this, [this](bool answering) {
        linkModel_.answeringChanged(answering);
        refreshLinkIndicator();
    });
}

// ----- journal and alarms ------------------------------------------------------------------

QString OperatorStation::alarmSoundPath() { return install::dataFile(QStringLiteral("AVARIA.WAV")); }

void OperatorStation::wireJournal()
{
    // Separate top-level windows: the alarm window must come up while the main window is
    // disabled, and the journal window is shown modal over it.
    journal_ = new JURNAL_sheet(station(), *link_);
    alarm_ = new Jurnal_ALARM_ON(station(), std::make_unique<journal::WavePlayer>(alarmSoundPath()));
    alarm_->clock = &WallClock::instance();
    window_->registerWindow(QStringLiteral("Go_Jurnal"), journal_->goWindow());
    window_->registerWindow(QStringLiteral("Jurnal_ALARM_ON"), alarm_);
    window_->registerWindow(QStringLiteral("Find_JURNAL_DATA"), journal_->findWindow());
    window_->registerWindow(QStringLiteral("JURNAL_sheet"), journal_);
    downloads_.journalDownload = [this](bool) { return journal_->startDownload(); };
    connect(journal_, &JURNAL_sheet::pollingResumed, this, &OperatorStation::resumePolling);
    connect(mimic_, &MimicPages::alarmWordReceived, alarm_, &Jurnal_ALARM_ON::alarmWord);
}

void OperatorStation::showJournalWindow() { openJournalRequested(); }

// ----- history -------------------------------------------------------------------------------

void OperatorStation::wireHistory()
{
    recorder_ = std::make_unique<history::StationRecorder>(station());
    recorder_->problem = [this](const QString &why) {
        if (why != historyProblem_)
            std::fprintf(stderr, "tablo: history: %s\n", why.toLocal8Bit().constData());
        historyProblem_ = why;
        refreshLinkIndicator();
    };
    recorder_->stored = [this](qint64 ms) {
        historyProblem_.clear();
        historyStoredMs_ = ms;
    };
    collection_ = std::make_unique<history::StationCollection>(station(), *serial_, *tcp_);
    collection_->ended = [this] {
        resumePolling();
        refreshLinkIndicator();
    };
    downloads_.background = [this] { return collection_->start(); };
    // What was stored and what failed, for the desktop session's log.
    collection_->log = [](const QString &line) {
        std::fprintf(stderr, "tablo: collection: %s\n", line.toLocal8Bit().constData());
    };
    // "Архівування" beside the journal in the menu.
    auto *collect = new QAction(QStringLiteral("Архівування"), window_.get());
    collect->setObjectName(QStringLiteral("mnuArchiving"));
    collect->setCheckable(true);
    collect->setChecked(true);
    if (QAction *journalItem = window_->action(QStringLiteral("mnuJurnal")))
        if (auto *menu = qobject_cast<QMenu *>(journalItem->parent()))
            menu->addAction(collect);
    connect(collect, &QAction::toggled, this, [this](bool on) {
        // A background page in flight is given up: the polling cycle it stopped goes on.
        const bool collecting = collection_->running();
        collection_->setEnabled(on);
        if (collecting && !collection_->running())
            resumePolling();
        recorder_->action(QStringLiteral("settings"),
                          on ? QStringLiteral("collection on") : QStringLiteral("collection off"));
        refreshLinkIndicator();
    });
    auto *fast = new QAction(QStringLiteral("Швидке архівування"), window_.get());
    fast->setObjectName(QStringLiteral("mnuArchivingFast"));
    fast->setCheckable(true);
    if (QAction *journalItem = window_->action(QStringLiteral("mnuJurnal")))
        if (auto *menu = qobject_cast<QMenu *>(journalItem->parent()))
            menu->addAction(fast);
    connect(fast, &QAction::toggled, this, [this](bool on) {
        collection_->setFast(on);
        recorder_->action(QStringLiteral("settings"),
                          on ? QStringLiteral("fast collection on") : QStringLiteral("fast collection off"));
        refreshLinkIndicator();
    });
    auto *file = new QAction(QStringLiteral("Файл історії…"), window_.get());
    file->setObjectName(QStringLiteral("mnuHistoryFile"));
    if (QAction *journalItem = window_->action(QStringLiteral("mnuJurnal")))
        if (auto *menu = qobject_cast<QMenu *>(journalItem->parent()))
            menu->addAction(file);
    connect(file, &QAction::triggered, this, [this] {
        FileDialogs::choose(window_.get(), QStringLiteral("Файл історії"), historyTarget(),
                            QStringLiteral("Історія (*.sqlite)"), [this](const QString &path) {
                                if (!path.isEmpty())
                                    useHistory(path);
                            });
    });
    history::StationRecorder *r = recorder_.get();
    connect(alarm_, &Jurnal_ALARM_ON::announced, this, [r](int n, const QString &name) { r->alarmAnnounced(n, name); });
    connect(alarm_, &Jurnal_ALARM_ON::acknowledged, this,
            [r](int n, const QString &name) { r->alarmAcknowledged(n, name); });
    connect(journal_, &JURNAL_sheet::pageDownloaded, this, [this, r] {
        r->journalPageDownloaded();
        r->action(QStringLiteral("download"),
                  QStringLiteral("journal page %1").arg(journal::pageOnShow(station().journal.Jurnal_Buf) + 1));
    });
    connect(journal_, &JURNAL_sheet::fileWritten, this, [r](const QString &kind, const QString &path) {
        r->action(QStringLiteral("export"), QStringLiteral("journal %1 %2").arg(kind, path));
    });
}

bool OperatorStation::useHistory(const QString &target)
{
    historyChoice_ = target;
    if (!station().project.projectLoaded)
        return true;
    // A background page in flight is given up: the polling cycle it stopped goes on.
    const bool collecting = collection_->running();
    closeHistory();
    if (collecting)
        resumePolling();
    const bool opened = openHistoryStore();
    recorder_->action(QStringLiteral("settings"), QStringLiteral("history %1").arg(recorder_->where()));
    refreshLinkIndicator();
    return opened;
}

bool OperatorStation::openHistoryStore()
{
    QString why;
    historyProblem_.clear();
    historyStoredMs_ = 0;
    const bool opened = recorder_->open(historyChoice_, &why);
    if (!opened) {
        historyProblem_ = why;
        std::fprintf(stderr, "tablo: history not kept: %s\n", why.toLocal8Bit().constData());
    }
    collection_->setStore(recorder_->store());
    return opened;
}

void OperatorStation::closeHistory()
{
    // A background page in flight ends before the history it goes to.
    collection_->setStore(nullptr);
    recorder_->close();
}

QString OperatorStation::historyTarget() const
{
    const ProjectModel &m = station().project;
    return history::historyTarget(historyChoice_, m.projectName, m.controllerAddress);
}

QString OperatorStation::historyStatus() const
{
    if (!recorder_->isOpen())
        return historyProblem_.isEmpty() ? QStringLiteral("Історія не ведеться")
                                         : QStringLiteral("Історія не ведеться: ") + historyProblem_;
    QString text = QStringLiteral("Історія: ") + recorder_->where();
    if (!historyProblem_.isEmpty())
        text += QStringLiteral(", помилка запису: ") + historyProblem_;
    else if (historyStoredMs_ > 0)
        text += QStringLiteral(", останній запис ")
            + WallClock::dateTime(historyStoredMs_).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    return text + QStringLiteral("\n") + collection_->statusText();
}

void OperatorStation::openJournalRequested()
{
    journal_->prepareForRequest();
    window_->openModal(journal_);
}

void OperatorStation::openJournalWindow()
{
    station().journal.requestPage(archive::CurrentPage);
    openJournalRequested();
}

void OperatorStation::openJournalFile()
{
    FileDialogs::open(window_.get(), QStringLiteral("Відкрити журнал"), QStringLiteral("file (*.jur)"),
                      [this](const QString &path) {
                          if (!path.isEmpty() && journal_->loadFile(path))
                              window_->openModal(journal_);
                      });
}

bool OperatorStation::openDocument(const QString &path)
{
    switch (CommandLine::kindOf(path)) {
    case CommandLine::FileKind::Project: loadProject(path); return station().project.projectLoaded != 0;
    case CommandLine::FileKind::Trend: {
        if (!QFileInfo(path).isFile()) {
            showMessage(msg::TrendFileUnopened.arg(QDir::toNativeSeparators(path)));
            return false;
        }
        GRAFIK_sheet *w = ensureTrendWindow();
        w->load();
        if (!w->loadFile(path)) {
            showMessage(msg::TrendFileUnopened.arg(QDir::toNativeSeparators(path)));
            return false;
        }
        window_->openModal(w);
        return true;
    }
    case CommandLine::FileKind::Journal: {
        QString why;
        const auto content = journal::loadJur(path, &why);
        if (!content) {
            // The journal window's own message for a file it cannot read.
            showMessage(msg::JournalFileUnread.arg(QDir::toNativeSeparators(path), why));
            return false;
        }
        station().journal.Jurnal_Buf = content->buf;
        station().journal.Jurnal_Page = static_cast<std::int16_t>(content->page);
        journal::takePage(station(), false);
        journal_->JURNAL_SCREEN();
        window_->openModal(journal_);
        return true;
    }
    case CommandLine::FileKind::Report:
        openReportWindow();
        if (!report_->loadSettingsFile(path)) {
            report_->close();   // its message box stays
            return false;
        }
        return true;
    }
    return false;
}

// ----- loading -------------------------------------------------------------------------------

void OperatorStation::loadProject(const QString &path)
{
    window_->loadProject(path);
    closeHistory();
    afterLoad(reader_->load(path), path);
}

void OperatorStation::openProjectFile()
{
    askProjectFile([this](const QString &path) {
        chosenProject_ = path;
        closeHistory();
        afterLoad(reader_->openProject(), path);
        chosenProject_.clear();
    });
}

void OperatorStation::askProjectFile(std::function<void(const QString &)> done)
{
    FileDialogs::open(window_.get(), QStringLiteral("Відкрити проект"), QStringLiteral("project file (*.prt)"),
                      std::move(done));
}

bool OperatorStation::loadProjectOverSerial(const QString &path, int com)
{
    if (com < 1 || com > 8)
        return false;
    window_->loadProject(path);
    closeHistory();
    serialOverride_ = true;
    const bool loaded = reader_->load(path);
    serialOverride_ = false;
    if (loaded) {
        // The project may name TCP; the link is serial COMn from here on, in memory only,
        // with the serial timing (a 420 ms cycle).
        ProjectModel &m = station().project;
        m.linkKind = static_cast<std::int16_t>(com);
        m.linkTimingFactor = 1;
        link_->closeTcp();
    }
    afterLoad(loaded, path);
    return loaded;
}

void OperatorStation::afterLoad(bool loaded, const QString &path)
{
    if (!loaded)
        return;
    openHistoryStore();
    recorder_->action(QStringLiteral("project"), QStringLiteral("loaded %1").arg(path));
    linkModel_.projectLoaded();
    refreshLinkIndicator();   // the link may have changed: the tooltip too
}

QString OperatorStation::chooseProjectFile() { return chosenProject_; }

void OperatorStation::hideLogo() { window_->hideLogo(); }

void OperatorStation::checkVersionMenu(VersionMenu item)
{
    const std::pair<VersionMenu, const char *> items[] = {
        {VersionMenu::Help1, "mnuHelp1"}, {VersionMenu::Help2, "mnuHelp2"}, {VersionMenu::Help3, "mnuHelp3"}};
    for (const auto &[which, name] : items)
        if (QAction *a = window_->action(QString::fromLatin1(name)))
            a->setChecked(which == item);
}

void OperatorStation::setAnimationTimer(bool enabled)
{
    if (enabled && !window_->Timer_Vent()->isActive())
        window_->Timer_Vent()->start();
    else if (!enabled)
        window_->Timer_Vent()->stop();
}

void OperatorStation::connectTcp(const QString &host, std::int32_t port)
{
    if (!serialOverride_)
        link_->connectTcp(host, port);
}

void OperatorStation::closeTcp() { link_->closeTcp(); }

void OperatorStation::forgetDownloads()
{
    station().poll.downloadStarted = false;
    station().report.Rep_LinkNo = 0;
}

void OperatorStation::enableMainWindow()
{
    // A window or a download that holds the main window keeps it disabled until it lets go.
    if (ModalWindow::holds(window_.get()) == 0)
        window_->setEnabled(true);
}

void OperatorStation::setCaption(const QString &caption) { window_->setWindowTitle(caption); }

void OperatorStation::layoutPageArea()
{
    window_->hideLogo();
    mimic_->show();
}

void OperatorStation::setPollTimer(bool enabled)
{
    // Values on the pages stay current for three polling cycles of this project's link.
    if (enabled)
        mimic_->setStaleAfter(mimic::staleAfterForLink(station().project.linkTimingFactor));
    if (enabled && !window_->Timer_05()->isActive())
        window_->Timer_05()->start();
    else if (!enabled)
        window_->Timer_05()->stop();
}

void OperatorStation::showProjectMenus()
{
    for (const char *name : {"mnuReport", "mnuGRAFIK", "mnuJurnalOpen", "mnu12", "mnu13"})
        if (QAction *a = window_->action(QString::fromLatin1(name)))
            a->setVisible(true);
}

void OperatorStation::showMessage(const QString &text) { announce(errorTitle, text, QMessageBox::Critical); }

void OperatorStation::parameterError(const QString &text) { announce(errorTitle, text, QMessageBox::Critical); }

void OperatorStation::netlistError(const QString &text) { announce(errorTitle, text, QMessageBox::Warning); }

void OperatorStation::announce(const QString &title, const QString &text, int icon)
{
    notices_.show(static_cast<QMessageBox::Icon>(icon), title, text);
}

std::vector<QMessageBox *> OperatorStation::openMessages() const { return notices_.open(); }

// ----- display controls ----------------------------------------------------------------------

QWidget *OperatorStation::createControl(const QString &progId, QWidget *parent)
{
    QWidget *w = controls_->create(progId, parent);
    if (!w && !reportedPlugins_.contains(progId)) {
        // Once per control and run; the pages load without these elements.
        reportedPlugins_.insert(progId);
        if (pendingPluginFailures_.isEmpty())
            QTimer::singleShot(0, this, &OperatorStation::showPluginFailures);
        pendingPluginFailures_ << controls_->errorString();
        // Also for whoever started the program from a terminal (and for install checks).
        std::fprintf(stderr, "tablo: %s\n", qPrintable(controls_->errorString()));
    }
    return w;
}

void OperatorStation::showPluginFailures()
{
    if (pendingPluginFailures_.isEmpty())
        return;
    announce(errorTitle,
             QStringLiteral("Елементи відображення не завантажено:\n%1\n\nСторінки показано без цих елементів.")
                 .arg(pendingPluginFailures_.join(QLatin1Char('\n'))),
             QMessageBox::Warning);
    pendingPluginFailures_.clear();
}

// ----- polling cycle -------------------------------------------------------------------------

void OperatorStation::pollTick()
{
    const int ms = poll_->tick();
    recorder_->watch(station().write);
    if (!poll_->stopped()) {
        window_->Timer_05()->setInterval(ms);
        return;
    }
    window_->Timer_05()->stop();
    // A background page leaves the operator's screen as it is.
    if (poll_->downloadTaken() && !poll_->backgroundTaken() && !downloadHold_) {
        downloadHold_ = true;
        ModalWindow::hold(window_.get());
    }
}

void OperatorStation::setDownloadStarter(DownloadStarter *downloads)
{
    poll_->setDownloadStarter(downloads ? downloads : &downloads_);
}

void OperatorStation::resumePolling()
{
    if (downloadHold_) {
        downloadHold_ = false;
        ModalWindow::release(window_.get());
    }
    station().poll.pollStep = 0;
    window_->Timer_05()->start(poll_->interval());
}

// ----- link indicator ------------------------------------------------------------------------

OperatorStation::LinkState OperatorStation::linkState() const { return linkModel_.state(link_->reconnecting()); }

QString OperatorStation::linkIndicatorText() const
{
    return LinkIndicator::text(linkState(), LinkIndicator::figures(station(), *link_));
}

void OperatorStation::refreshLinkIndicator()
{
    const LinkIndicator::View v = LinkIndicator::view(linkState(), LinkIndicator::figures(station(), *link_));
    if (!v.visible) {
        linkIndicatorTimer_->stop();
        linkIndicator_->hide();
        return;
    }
    const QString badge = collection_->badgeText();
    linkIndicator_->setText(badge.isEmpty() ? v.richText
                                            : v.richText + QStringLiteral(" &nbsp;·&nbsp; ") + badge.toHtmlEscaped());
    // The menu bar sizes its corner only when the corner widget is set: a longer text would be
    // cut off.
    if (linkIndicator_->sizeHint() != linkIndicatorHint_) {
        linkIndicatorHint_ = linkIndicator_->sizeHint();
        const bool shown = linkIndicator_->isVisible();
        window_->menuBar()->setCornerWidget(linkIndicator_, Qt::TopRightCorner);
        linkIndicator_->setVisible(shown);
    }
    linkIndicator_->setToolTip(v.toolTip + QStringLiteral("\n") + historyStatus());
    linkIndicator_->show();
    if (!linkIndicatorTimer_->isActive())
        linkIndicatorTimer_->start();
}

// ----- windows -------------------------------------------------------------------------------

ConfigProject *OperatorStation::projectSettings() const { return settings_.data(); }

void OperatorStation::openProjectSettings()
{
    if (!settings_) {
        settings_ = new ConfigProject(station().project);
        // The main window's enabled state follows the modal helper, which also covers the
        // window frame and deletion; the dialog's own enable requests are not needed.
        connect(settings_, &ConfigProject::captionChanged, window_.get(), &QWidget::setWindowTitle);
        connect(settings_, &ConfigProject::blockSchemaRequested, this, [this] { showSchema(); });
        // The link kind or address may have changed.
        connect(settings_, &QDialog::finished, this, &OperatorStation::refreshLinkIndicator);
        connect(settings_, &QDialog::finished, this, [this](int result) {
            if (result != QDialog::Accepted)
                return;
            const ProjectModel &m = station().project;
            recorder_->action(QStringLiteral("settings"),
                              QStringLiteral("link %1, address %2").arg(m.linkKind).arg(m.controllerAddress));
        });
        window_->registerWindow(QStringLiteral("Config_Project"), settings_);
    }
    settings_->showSettings();
    window_->openModal(settings_);
}

void OperatorStation::showSchema()
{
    window_->hideLogo();
    mimic_->mnuSchema_Click();
}

void OperatorStation::showScada()
{
    window_->hideLogo();
    mimic_->mnuSCADA_Click();
}

void OperatorStation::openInspector()
{
    // The inspector shows live values while the main window is disabled.
    window_->openModal(mimic_->inspector());
}

// The set-point's name: the set-point block's own text for the pin, the pin's label otherwise.
QString OperatorStation::setPointName(int block, int pin)
{
    const mimic::InspectorPins pins = mimic::inspectorPins(station().catalogue, station().project, block);
    return pin >= 0 && pin < pins.outputs.size() ? pins.outputs[pin].trimmed() : QString();
}

// The value a set-point block was given in the netlist; empty for other blocks.
QString OperatorStation::netlistSetPoint(int block, int pin)
{
    const ProjectModel &m = station().project;
    if (block < 1 || block >= ProjectModel::Blocks || m.blockType[static_cast<std::size_t>(block)] != 25 || pin < 0
        || pin > 7)
        return QString();
    const long long i = static_cast<long long>(m.blockParamBase[static_cast<std::size_t>(block)])
        + station().catalogue.paramSlot(2 * pin + 2, 25);
    if (i < 0 || i >= static_cast<long long>(m.blockParams.size()))
        return QString();
    return QString::number(m.blockParams[static_cast<std::size_t>(i)]);
}

void OperatorStation::openSetPoint(int block, int pin, const QString &startText)
{
    Set_SP_US1 *dialog = Set_SP_US1::openFor(station(), block, pin, window_.get());
    if (!dialog)
        return;
    if (!startText.isEmpty())
        dialog->Text_SP_US1->setText(startText);
    const QString current = startText.isEmpty() ? netlistSetPoint(block, pin) : startText;
    dialog->setTarget(setPointName(block, pin), current);
    connect(dialog, &Set_SP_US1::written, this,
            [this, block, pin, current] { recorder_->setPointWritten(block, pin, current, station().write.value); });
    window_->registerWindow(QStringLiteral("Set_SP_US1"), dialog);
}

// ----- reports -------------------------------------------------------------------------------

Report *OperatorStation::reportWindow() const { return report_.data(); }

void OperatorStation::openReportWindow()
{
    if (!report_) {
        report_ = new Report(station(), *link_);
        connect(report_, &Report::linkHandedBack, this, &OperatorStation::resumePolling);
        connect(report_, &Report::workbookWritten, this, [this](const QString &path) {
            recorder_->reportDownloaded();
            recorder_->action(QStringLiteral("download"), QStringLiteral("report archive"));
            recorder_->action(QStringLiteral("export"), QStringLiteral("report xlsx %1").arg(path));
        });
        window_->registerWindow(QStringLiteral("Report"), report_);
    }
    window_->openModal(report_);
}

void OperatorStation::startReportAutomatically()
{
    // A report block asked for its report: the window opens and downloads as if Load_Q7 had
    // been pressed; it closes itself once the workbook is written.
    openReportWindow();
    report_->Load_Q7_Click();
}

// ----- history window ------------------------------------------------------------------------

history::HistoryWindow *OperatorStation::historyWindow() const { return history_.data(); }

history::HistoryWindow *OperatorStation::openHistoryWindow()
{
    if (!history_) {
        history_ = new history::HistoryWindow;
        window_->registerWindow(QStringLiteral("HistoryWindow"), history_);
    }
    const ProjectModel &m = station().project;
    const QString target = historyTarget();
    if (!ModalWindow::isOpen(history_)) {
        if (history_->path() == target)
            history_->reload();
        else
            history_->open(target, history::controllerKey(m.projectName, m.controllerAddress));
    }
    window_->openModal(history_);
    return history_;
}

// ----- trend window --------------------------------------------------------------------------

GRAFIK_sheet *OperatorStation::trendWindow() const { return trends_.data(); }

GRAFIK_sheet *OperatorStation::ensureTrendWindow()
{
    if (trends_)
        return trends_;
    trends_ = new GRAFIK_sheet(station(), *link_);
    window_->registerWindow(QStringLiteral("GRAFIK_sheet"), trends_);
    QPointer<GRAFIK_sheet> w = trends_;
    // The polling cycle hands the link to the window's download at the end of a cycle.
    downloads_.trendDownload = [w] { return w && w->startDownload(); };
    downloads_.trendSearch = [w] { return w && w->startSearch(); };
    // Polling that never stopped (the window opened between two downloads) goes on as it is.
    const auto resume = [this] {
        if (station().project.projectLoaded && !window_->Timer_05()->isActive())
            resumePolling();
    };
    trends_->pollingActive = [this] { return window_->Timer_05()->isActive(); };
    connect(trends_, &GRAFIK_sheet::windowCreated, window_.get(), &ConfigScada::registerWindow);
    connect(trends_, &GRAFIK_sheet::resumePollingRequested, this, resume);
    connect(trends_, &GRAFIK_sheet::unloaded, this, resume);
    connect(trends_, &GRAFIK_sheet::pageDownloaded, this, [this](int group, int page) {
        recorder_->trendPageDownloaded(group, page);
        recorder_->action(QStringLiteral("download"),
                          page == archive::CurrentPage
                              ? QStringLiteral("trend group %1, current page").arg(group + 1)
                              : QStringLiteral("trend group %1, page %2").arg(group + 1).arg(page + 1));
    });
    connect(trends_, &GRAFIK_sheet::fileWritten, this, [this](const QString &kind, const QString &path) {
        recorder_->action(QStringLiteral("export"), QStringLiteral("trend %1 %2").arg(kind, path));
    });
    return trends_;
}

GRAFIK_sheet *OperatorStation::openTrendWindow(int group)
{
    GRAFIK_sheet *w = ensureTrendWindow();
    w->load();
    w->showGroup(group);
    window_->openModal(w);
    return w;
}

void OperatorStation::openTrendFile()
{
    GRAFIK_sheet *w = ensureTrendWindow();
    w->load();
    window_->openModal(w);
    w->openFile();
}
