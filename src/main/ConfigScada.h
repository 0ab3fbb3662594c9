#pragma once
// The main window Config_SCADA: menu, clock, panel-key repeat, the cycle timers, the start-up
// logo, and the registry of the windows it owns and unloads at shut-down.
#include "link/KeyRepeat.h"
#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMessageBox;
class QTimer;
class Logo;
struct Station;

class ConfigScada : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int TwipsPerPixel = 15;
    static constexpr int WidthTwips = 12150;
    static constexpr int HeightTwips = 8250;

    explicit ConfigScada(Station &station, QWidget *parent = nullptr);
    ~ConfigScada() override;

    Station &station() { return station_; }
    const Station &station() const { return station_; }

    // Menu items by their names ("mnuFile", "mnuLoad", ..., "mnuHelp2"). For a submenu this is
    // its menu action (visibility, caption); menu() gives the QMenu itself. nullptr if unknown.
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    static QStringList menuItemNames();   // every item, in menu order

    // Timers, by their names. Timer_05 and Timer_Vent are wired by the polling cycle and the
    // animation; Timer1 and Timer_Key_Pause are driven here.
    QTimer *Timer1() const { return timer1_; }
    QTimer *Timer_Key_Pause() const { return timerKeyPause_; }
    QTimer *Timer_05() const { return timer05_; }
    QTimer *Timer_Transport45() const { return timerTransport45_; }
    QTimer *Timer_Vent() const { return timerVent_; }

    // The area below the menu bar; the mimic pages and the block schema live in it.
    QWidget *clientArea() const { return clientArea_; }

    Logo *logo() const { return logo_; }
    // The logo and, below it, how to start (open a project or run the demo); both go when a
    // project is opened.
    QLabel *startHint() const { return startHint_; }
    static QString startHintText();
    void hideLogo();

    // "&Про програму": the version, the controller family and protocol versions, the licence,
    // where the data and the history live.
    QString aboutText() const;
    void showAbout();
    QWidget *aboutWindow() const;

    // Clock labels Real_Clock(k) / Real_Time(k), k = 1..8, of page k-1 (created by the mimic
    // pages). Null labels unregister; deleted labels are simply skipped.
    void setClockLabels(int k, QLabel *clock, QLabel *date);
    void clearClockLabels();
    // One clock tick at `now`: the labels of the page on show, and the logo's clock.
    void tickClock(const QDateTime &now);

    // Panel keys (Control_Image mouse press/release); the timer follows KeyRepeat's state.
    KeyRepeat &keyRepeat() { return keyRepeat_; }
    void pressKey(int elementIndex);
    void releaseKey();

    // Windows owned by the main window, by name (e.g. "GRAFIK_sheet"); shut-down closes and
    // deletes them in shutdownOrder(), then any others in registration order. Registering a
    // name again replaces the entry (the old window is not touched).
    void registerWindow(const QString &name, QWidget *window);
    QWidget *registeredWindow(const QString &name) const;
    static QStringList shutdownOrder();

    // Opens `window` from the menu: the main window stays disabled until it closes.
    void openModal(QWidget *window);

    QString requestedProjectPath() const { return requestedProjectPath_; }

public Q_SLOTS:
    // The tab strip's click: 0..7; other values are ignored.
    void setCurrentPage(int page);
    // A project file is opened (from the menu or the command line): the logo goes.
    void loadProject(const QString &path);
    // Close every owned window in shut-down order (also done when the main window closes).
    void unloadWindows();

Q_SIGNALS:
    // The main window has closed and unloaded its windows: the program ends.
    void shutDown();

    // Menu items whose windows belong to other subsystems; the station connects them.
    void projectSettingsRequested();   // mnuNastrojki
    void trendFileRequested();         // mnuGRAFIK
    void journalFileRequested();       // mnuJurnalOpen
    void reportWindowRequested();      // mnuReportEXCEL
    void journalWindowRequested();     // mnuJurnal
    void historyRequested();           // mnuIstorija
    void schemaRequested();            // mnuSchema
    void scadaRequested();             // mnuSCADA

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void runStartup();
    void buildMenu();
    void buildTimers();
    void chooseProjectFile();
    void syncKeyTimer();

    Station &station_;
    KeyRepeat keyRepeat_;

    QHash<QString, QAction *> actions_;
    QHash<QString, QMenu *> menus_;

    QTimer *timer1_ = nullptr;
    QTimer *timerKeyPause_ = nullptr;
    QTimer *timer05_ = nullptr;
    QTimer *timerTransport45_ = nullptr;
    QTimer *timerVent_ = nullptr;

    QWidget *clientArea_ = nullptr;
    Logo *logo_ = nullptr;
    QLabel *startHint_ = nullptr;
    QPointer<QMessageBox> about_;

    struct ClockPair {
        QPointer<QLabel> clock;
        QPointer<QLabel> date;
    };
    std::map<int, ClockPair> clocks_;

    std::vector<std::pair<QString, QPointer<QWidget>>> windows_;
    std::vector<QPointer<QWidget>> unloaded_;
    QString requestedProjectPath_;
};
