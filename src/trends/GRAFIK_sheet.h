#pragma once
// The trend window GRAFIK_sheet ("Графік"): the chart of one page of one trend group, the page,
// group and archive buttons, the download's timers and progress, the monitor, and the cursor
// readout. The window owns the download engine and its timers and forwards their ticks; the
// chart is drawn on a persistent surface by TrendChart.
#include "app/Notices.h"
#include "link/ArchiveDriver.h"
#include "link/FastVerdict.h"
#include "trends/TrendChart.h"
#include "trends/TrendDownload.h"

#include <QPointer>
#include <functional>
#include <QWidget>
#include <memory>
#include <vector>

class GO;
class Find_GRAFIK_DATA;
class Link;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class TrendChartView;

class GRAFIK_sheet : public QWidget, public TrendListener {
    Q_OBJECT
public:
    GRAFIK_sheet(TrendStation station, Link &link, QWidget *parent = nullptr);
    ~GRAFIK_sheet() override;

    // Form_Load: timer intervals by link kind, palette, frames, the empty chart, and the
    // polling cycle's restart one second later.
    void load();
    // Shows group `group` (0..7) with its current page asked for, unless a navigation label
    // has asked already or a download runs.
    void showGroup(int group);
    // The polling cycle's hand-over: start the download asked for / the find-by-date request.
    bool startDownload();
    bool startSearch();

    // LOAD "Завантажити" without the dialog: reads `path` and shows it. False when the file
    // could not be opened.
    bool loadFile(const QString &path);
    // SAVE "Зберегти" without the dialog; a failure shows "Файл заблоковано!!!".
    bool saveFile(const QString &path);
    // EXCEL / CSV without the dialog: writes the page to `path` and opens it for the operator
    // (a message names the file when no program opens it); a failure shows a message.
    bool exportFile(bool xlsx, const QString &path);
    // LOAD with the open dialog (also the main menu's trend entry); false when cancelled.
    void openFile();   // the dialog answers later

    TrendDownload &engine() { return *engine_; }
    TrendChart &chart() { return chart_; }
    TrendChartState &chartState() { return chartState_; }
    const QImage &canvas() const { return canvas_; }
    TrendChartView *chartView() const { return view_; }
    TrendStation &station() { return station_; }

    // Message boxes open now, oldest first.
    std::vector<QMessageBox *> openMessages() const;

    // Whether the polling cycle runs (it owns the link until it hands it over at its end).
    std::function<bool()> pollingActive;

    // Controls by their names.
    QTimer *Timer_Opros_GRAFIK = nullptr;
    QTimer *Timer_ProgressBar_GRAFIK = nullptr;
    QTimer *Timer_PUSK_Timer_05 = nullptr;
    QTimer *Timer1 = nullptr;   // of the find dialog
    QProgressBar *ProgressBar_GRAFIK = nullptr;
    QLabel *packetLabel = nullptr;
    // How far a short or damaged trend file was read; hidden otherwise.
    QLabel *fileStatus = nullptr;
    QLineEdit *Text1 = nullptr;
    QCheckBox *monitorBox = nullptr;
    // "Швидко": downloads answer-paced, once the controller passed the check (off at start).
    QCheckBox *fastBox = nullptr;
    // The speed of the last fast download, in pages a minute.
    QLabel *speedLabel = nullptr;
    FastGate &fastGate() { return fast_; }
    QPlainTextEdit *tekst = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QPushButton *Command_Tekus = nullptr, *Image4 = nullptr, *Grafik_DEC = nullptr, *Grafik_INC = nullptr,
                *Grafik_GO = nullptr;
    QPushButton *Image3 = nullptr, *Image2 = nullptr;
    QPushButton *SAVE = nullptr, *LOAD = nullptr, *EXCEL = nullptr, *CSV = nullptr, *PRINT_ON = nullptr;
    GO *goDialog() const;
    Find_GRAFIK_DATA *findDialog() const;

    // The scale label was clicked.
    void Skal_GRAF_label_Click();
    // Prints the chart page on `printer`'s device (PRINT_ON after its dialog).
    bool printOn(class QPagedPaintDevice &device);

Q_SIGNALS:
    // Timer_PUSK_Timer_05 ran out: the polling cycle restarts at step 0.
    void resumePollingRequested();
    // The window closed: the polling cycle restarts.
    void unloaded();
    // A dialog of the window was made ("GO", "Find_GRAFIK_DATA"), for the shut-down order.
    void windowCreated(const QString &name, QWidget *window);
    // A download brought `page` (200 current, 0..101) of `group` (0..7) into the station.
    void pageDownloaded(int group, int page);
    // The page on show was written to `path`: "grf", "xlsx", "csv" or "pdf".
    void fileWritten(const QString &kind, const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

    // TrendListener
    void drawChart() override;
    void clearChart() override;
    void drawTimeLabel(const trend::TimeLabel &label) override;
    void beep() override;
    void message(const QString &text) override;
    void showProgress(int value) override;
    void hideProgress() override;
    void clearMonitor() override;
    void appendMonitor(const QString &text) override;
    void setFramesEnabled(bool enabled) override;
    void setBusy(bool busy) override;
    void pollTextReset(const QString &text) override;
    void startDownloadTimer(int ms) override;
    void stopDownloadTimer() override;
    void armPollRestart() override;
    void startFindTimer(int ms) override;
    void stopFindTimer() override;
    void findFinished() override;
    void archiveEnded(const ArchiveOutcome &outcome) override;
    void archiveProgress(int done, int total) override;

private:
    void buildControls();
    // The download itself, answer-paced when "Швидко" is ticked and the controller passed.
    bool beginDownload();
    void fastToggled(bool on);
    void requestDownload(void (*handler)(TrendStation));
    void showRequested();
    void openGo();
    void openFind();
    void goAccepted(const QString &group, const QString &page);
    void save();
    void exportTo(bool xlsx);
    void print();
    void announce(const QString &text, int icon);
    void afterFileLoaded();
    void setProgressValue(int value);
    void refresh();

    TrendStation station_;
    Link &link_;
    TrendChartState chartState_;
    TrendChart chart_;
    std::unique_ptr<TrendDownload> engine_;
    // `Timer_Opros_GRAFIK` and `Timer1` are theirs.
    std::unique_ptr<ArchiveDriver> downloadDriver_;
    std::unique_ptr<ArchiveDriver> searchDriver_;
    FastGate fast_;
    qint64 startedAt_ = 0;
    QImage canvas_;
    TrendChartView *view_ = nullptr;
    QPointer<GO> go_;
    QPointer<Find_GRAFIK_DATA> find_;
    Notices notices_;
    bool handingOver_ = false;
};

// The drawing surface of the window with the cursor readout on top of it.
class TrendChartView : public QWidget {
    Q_OBJECT
public:
    TrendChartView(GRAFIK_sheet &sheet, QWidget *parent);
    QSize sizeHint() const override;
    // The readout at chart x (the hair line), or none.
    void setCursorX(int x);
    int cursorX() const { return cursorX_; }
    // What the readout shows for the cursor position: time, then one line per shown channel.
    QStringList readoutLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    GRAFIK_sheet &sheet_;
    int cursorX_ = -1;
};
