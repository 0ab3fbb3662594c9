#pragma once
// The report window `Report` ("Звіт EXCEL Q7"): downloads the controller's report archive
// (`Load_Q7`), keeps the report settings in *.rep files, edits the parameter names
// (`Name_sobytie`) and, when the fourth packet is in, writes the workbook into the current
// folder and closes. It also shows the serial device it uses and how long the download took.
//
// The window is thin: the download is ReportDownload, driven by one single-shot timer; the
// files and the workbook are plain functions of the report module.
#include "app/Notices.h"
#include "reports/ReportStation.h"
#include "reports/Name_sobytie.h"
#include "link/ArchiveDriver.h"
#include "link/FastVerdict.h"
#include "reports/ReportDownload.h"
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class Link;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMessageBox;
class QProgressBar;
class QPushButton;
class QTimer;

class Report : public QMainWindow, private ReportEvents {
    Q_OBJECT
public:
    Report(ReportStation station, Link &link, QWidget *parent = nullptr);
    ~Report() override;

    ReportDownload &download() { return download_; }

    QPushButton *Load_Q7 = nullptr;
    QLabel *Paket_Num = nullptr;
    QLabel *LabelQ7 = nullptr;
    QLabel *LabelCOM = nullptr;
    QLabel *deviceLabel = nullptr;    // the serial device behind LabelCOM
    QLabel *elapsedLabel = nullptr;   // how long the download has taken
    QComboBox *Tocnost_EXC = nullptr;
    QProgressBar *ProgressBar_REPORT = nullptr;
    // "Швидко": each packet taken as soon as it is in, once the controller passed the check
    // (off at start).
    QCheckBox *fastBox = nullptr;
    FastGate &fastGate() { return fast_; }
    QAction *mnuLoad = nullptr, *mnuSave = nullptr, *mnuCOM = nullptr, *mnuName = nullptr, *mnuRapWiew = nullptr,
            *mnuCSV = nullptr;

    // `Load_Q7`, also pressed by the polling cycle's automatic start.
    void Load_Q7_Click();
    // The report file through the open / save dialogs.
    void mnuLoad_Click();
    void mnuSave_Click();
    void mnuName_Click();
    void mnuCSV_Click();
    bool loadSettingsFile(const QString &path);
    bool saveSettingsFile(const QString &path);
    bool saveCsvFile(const QString &path);

    Name_sobytie *nameWindow() const { return names_; }

    // The folder the workbook goes to (empty: the program's current folder), and what shows it
    // to the operator when "&Архів" is not ticked (default: the desktop's spreadsheet program).
    void setExportFolder(const QString &folder) { exportFolder_ = folder; }
    void setWorkbookOpener(std::function<bool(const QString &)> opener) { opener_ = std::move(opener); }
    QString lastWorkbook() const { return lastWorkbook_; }

    // Message boxes currently open, oldest first (shown without a nested event loop).
    std::vector<QMessageBox *> openMessages() const;

Q_SIGNALS:
    // `Rep_Mode` went back to 0: the polling cycle restarts.
    void linkHandedBack();
    void workbookWritten(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // ReportEvents
    void packetLabel(const QString &text) override;
    void progressChanged(int value, bool visible) override;
    void loadEnabled(bool enabled) override;
    void beep() override;
    void failed(const QString &message) override;
    void completed() override;
    void linkReturned() override;

    void showPort();
    void showElapsed();
    void beginDownload();
    void fastToggled(bool on);
    void message(const QString &title, const QString &text, bool error);

    ReportStation station_;
    Link &link_;
    ReportDownload download_;
    std::unique_ptr<ArchiveDriver> driver_;
    FastGate fast_;
    QPointer<Name_sobytie> names_;
    QElapsedTimer elapsed_;
    QString exportFolder_;
    std::function<bool(const QString &)> opener_;
    QString lastWorkbook_;
    bool closeAfterExport_ = false;
    Notices notices_;
};
