#include "reports/Report.h"

#include "app/DesktopOpen.h"
#include "app/Messages.h"
#include "app/ModalWindow.h"
#include "link/Link.h"
#include "reports/ReportFastProbe.h"
#include "reports/Name_sobytie.h"
#include "reports/ReportExport.h"
#include "reports/ReportFile.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include "app/FileDialogs.h"
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

Report::Report(ReportStation station, Link &link, QWidget *parent)
    : QMainWindow(parent),
      station_(station),
      link_(link),
      download_(station, link, this),
      fast_(QStringLiteral("report"), this)
{
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(QStringLiteral("Звіт EXCEL Q7"));

    QMenu *file = menuBar()->addMenu(QStringLiteral("&Файл"));
    auto add = [&](QAction *&a, const char *name, const QString &caption) {
        a = file->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
    };
    add(mnuLoad, "mnuLoad", QStringLiteral("&Відкрити"));
    add(mnuSave, "mnuSave", QStringLiteral("&Зберегти"));
    add(mnuCOM, "mnuCOM", QStringLiteral("&Налаштування"));
    add(mnuName, "mnuName", QStringLiteral("&Назва події"));
    add(mnuRapWiew, "mnuRapWiew", QStringLiteral("&Архів"));
    add(mnuCSV, "mnuCSV", QStringLiteral("CSV"));
    mnuRapWiew->setCheckable(true);
    mnuRapWiew->setChecked(station_.report.Rep_Archive);
    connect(mnuLoad, &QAction::triggered, this, &Report::mnuLoad_Click);
    connect(mnuSave, &QAction::triggered, this, &Report::mnuSave_Click);
    connect(mnuName, &QAction::triggered, this, &Report::mnuName_Click);
    connect(mnuCSV, &QAction::triggered, this, &Report::mnuCSV_Click);
    connect(mnuRapWiew, &QAction::toggled, this, [this](bool on) { station_.report.Rep_Archive = on; });

    auto *area = new QWidget(this);
    auto *grid = new QGridLayout(area);
    Load_Q7 = new QPushButton(QStringLiteral("Завантажити з Ж7"), area);
    Load_Q7->setObjectName(QStringLiteral("Load_Q7"));
    Paket_Num = new QLabel(QStringLiteral("Пакет № 0"), area);
    Paket_Num->setObjectName(QStringLiteral("Paket_Num"));
    auto *rounding = new QLabel(QStringLiteral("Округлення"), area);
    Tocnost_EXC = new QComboBox(area);
    Tocnost_EXC->setObjectName(QStringLiteral("Tocnost_EXC"));
    Tocnost_EXC->addItems(
        {QStringLiteral("0"), QStringLiteral("0.0"), QStringLiteral("0.00"), QStringLiteral("0.000")});
    Tocnost_EXC->setCurrentIndex(std::clamp<int>(station_.report.Rep_Precision, 0, 3));
    LabelQ7 = new QLabel(QStringLiteral("Q7 №%1").arg(station_.project.controllerAddress), area);
    LabelQ7->setObjectName(QStringLiteral("LabelQ7"));
    LabelCOM = new QLabel(QStringLiteral("COM7"), area);
    LabelCOM->setObjectName(QStringLiteral("LabelCOM"));
    deviceLabel = new QLabel(area);
    deviceLabel->setObjectName(QStringLiteral("deviceLabel"));
    elapsedLabel = new QLabel(area);
    elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    ProgressBar_REPORT = new QProgressBar(area);
    ProgressBar_REPORT->setObjectName(QStringLiteral("ProgressBar_REPORT"));
    ProgressBar_REPORT->setRange(0, ReportDownload::ProgressMax);
    ProgressBar_REPORT->setTextVisible(false);
    fastBox = new QCheckBox(QStringLiteral("Швидко"), area);
    fastBox->setObjectName(QStringLiteral("fastBox"));

    grid->addWidget(LabelQ7, 0, 0);
    grid->addWidget(LabelCOM, 0, 1);
    grid->addWidget(deviceLabel, 0, 2);
    grid->addWidget(rounding, 1, 0);
    grid->addWidget(Tocnost_EXC, 1, 1);
    grid->addWidget(fastBox, 1, 2);
    grid->addWidget(Load_Q7, 2, 0, 1, 2);
    grid->addWidget(Paket_Num, 2, 2);
    grid->addWidget(ProgressBar_REPORT, 3, 0, 1, 3);
    grid->addWidget(elapsedLabel, 4, 0, 1, 3);
    setCentralWidget(area);
    // The bar keeps its room while hidden, so the window does not jump.
    QSizePolicy keep = ProgressBar_REPORT->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ProgressBar_REPORT->setSizePolicy(keep);
    ProgressBar_REPORT->hide();

    connect(Load_Q7, &QPushButton::clicked, this, &Report::Load_Q7_Click);
    connect(fastBox, &QCheckBox::toggled, this, &Report::fastToggled);
    connect(Tocnost_EXC, &QComboBox::currentIndexChanged, this,
            [this](int i) { station_.report.Rep_Precision = static_cast<std::int16_t>(std::max(0, i)); });

    driver_ = std::make_unique<ArchiveDriver>(download_, this);
    driver_->afterStep = [this] { showElapsed(); };

    opener_ = [](const QString &path) { return desktop::openForOperator(path); };
    showPort();
}

Report::~Report()
{
    if (fast_.checking()) {
        fast_.cancel();
        station_.poll.Rep_Mode = 0;
    }
    download_.setEvents(nullptr);
    download_.abandon();
}

// ----- download ------------------------------------------------------------------------------

void Report::Load_Q7_Click()
{
    if (!download_.loadAccepted() || fast_.checking())
        return;
    elapsed_.start();
    elapsedLabel->clear();
    if (fastBox->isChecked() && fast_.verdict(station_.project) == FastVerdict::Unknown && download_.openPort()) {
        // The first fast download from this controller: the check goes first, the polling
        // cycle kept off the port meanwhile, and the download follows it.
        station_.poll.Rep_Mode = 1;
        Load_Q7->setEnabled(false);
        Paket_Num->setText(QStringLiteral("Перевірка швидкого режиму…"));
        const bool checking = fast_.check(
            station_.project, [this] { return std::make_unique<ReportFastProbe>(station_, link_); },
            [this](FastVerdict v) {
                station_.poll.Rep_Mode = 0;
                if (v != FastVerdict::Accepted) {
                    fastBox->setChecked(false);
                    message(QStringLiteral("Звіт"), v == FastVerdict::Refused ? fastmsg::Refused : fastmsg::Unchecked,
                            false);
                }
                beginDownload();
                if (!download_.running() && station_.poll.Rep_Mode == 0)
                    Q_EMIT linkHandedBack();
            });
        if (checking)
            return;
        station_.poll.Rep_Mode = 0;
        Load_Q7->setEnabled(true);
    }
    beginDownload();
}

void Report::beginDownload()
{
    const bool fast = fastBox->isChecked() && fast_.verdict(station_.project) == FastVerdict::Accepted;
    download_.setAnswerPaced(fast);
    driver_->setAnswerPaced(fast);
    driver_->start();
    showPort();
}

void Report::fastToggled(bool on)
{
    if (on && fast_.verdict(station_.project) == FastVerdict::Refused) {
        fastBox->setChecked(false);
        message(QStringLiteral("Звіт"), fastmsg::Refused, false);
    }
}

void Report::showPort()
{
    const int n = download_.portNumber();
    LabelCOM->setText(QStringLiteral("COM%1").arg(n));
    deviceLabel->setText(download_.portOpen() ? station_.poll.comDevice(n)
                                              : station_.poll.comDevice(n) + QStringLiteral(" (не відкрито)"));
    LabelQ7->setText(QStringLiteral("Q7 №%1").arg(station_.project.controllerAddress));
}

void Report::showElapsed()
{
    if (elapsed_.isValid())
        elapsedLabel->setText(QStringLiteral("Час: %1 с").arg(double(elapsed_.elapsed()) / 1000.0, 0, 'f', 1));
}

void Report::packetLabel(const QString &text) { Paket_Num->setText(text); }

void Report::progressChanged(int value, bool visible)
{
    ProgressBar_REPORT->setValue(value);
    ProgressBar_REPORT->setVisible(visible);
}

void Report::loadEnabled(bool enabled) { Load_Q7->setEnabled(enabled); }

void Report::beep() { QApplication::beep(); }

void Report::failed(const QString &message)
{
    showElapsed();
    elapsed_.invalidate();
    this->message(QStringLiteral("Звіт"), message, true);
}

void Report::linkReturned() { Q_EMIT linkHandedBack(); }

void Report::completed()
{
    showElapsed();
    elapsed_.invalidate();
    const QString folder = exportFolder_.isEmpty() ? QDir::currentPath() : exportFolder_;
    const QString path = QDir(folder).filePath(
        report::workbookName(station_.report.Rep_Names[0], QDate::currentDate(), QLocale::system()));
    const report::ExportResult r = report::exportWorkbook(station_, path);
    if (!r.ok) {
        // The window stays open; the download engine hands the link back after this.
        message(QStringLiteral("Звіт"), QStringLiteral("Error nr %1: %2").arg(r.errorNumber).arg(r.description), true);
        return;
    }
    lastWorkbook_ = path;
    Q_EMIT workbookWritten(path);
    if (!station_.report.Rep_Archive && !(opener_ && opener_(path)))
        message(QStringLiteral("Звіт"), msg::ReportSaved.arg(QDir::toNativeSeparators(path)), false);
    // Closed once the engine has finished this tick.
    QTimer::singleShot(0, this, [this] { close(); });
}

// ----- window --------------------------------------------------------------------------------

void Report::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Opening the window takes the report port at once, as pressing Load_Q7 would; a port that
    // will not open is reported when the download starts.
    download_.openPort();
    showPort();
}

void Report::closeEvent(QCloseEvent *event)
{
    if (fast_.checking()) {
        fast_.cancel();
        station_.poll.Rep_Mode = 0;
        Q_EMIT linkHandedBack();
    }
    driver_->stop();
    download_.abandon();
    if (names_)
        names_->reject();
    QMainWindow::closeEvent(event);
}

void Report::message(const QString &title, const QString &text, bool error)
{
    notices_.show(error ? QMessageBox::Critical : QMessageBox::Information, title, text);
}

std::vector<QMessageBox *> Report::openMessages() const { return notices_.open(); }

// ----- files and names -----------------------------------------------------------------------

bool Report::loadSettingsFile(const QString &path)
{
    QString error;
    if (!report::loadSettings(path, station_, &error)) {
        message(QStringLiteral("Звіт"), error, true);
        return false;
    }
    Tocnost_EXC->setCurrentIndex(std::clamp<int>(station_.report.Rep_Precision, 0, 3));
    showPort();
    if (names_)
        names_->showNames();
    return true;
}

bool Report::saveSettingsFile(const QString &path)
{
    QString error;
    if (!report::saveSettings(path, station_, &error)) {
        message(QStringLiteral("Звіт"), error, true);
        return false;
    }
    return true;
}

bool Report::saveCsvFile(const QString &path)
{
    QString error;
    if (!report::exportCsv(station_, path, &error)) {
        message(QStringLiteral("Звіт"), error, true);
        return false;
    }
    return true;
}

void Report::mnuLoad_Click()
{
    FileDialogs::open(this, QStringLiteral("Відкрити налаштування звіту"), QStringLiteral("report file (*.rep)"),
                      [this](const QString &path) {
                          if (!path.isEmpty())
                              loadSettingsFile(path);
                      });
}

void Report::mnuSave_Click()
{
    QString proposed = station_.project.projectName.trimmed();
    if (!proposed.isEmpty())
        proposed += QStringLiteral(".rep");
    FileDialogs::save(this, QStringLiteral("Зберегти налаштування звіту"), proposed,
                      QStringLiteral("report file (*.rep)"), [this](const QString &path) {
                          if (!path.isEmpty())
                              saveSettingsFile(path);
                      });
}

void Report::mnuCSV_Click()
{
    const QString proposed =
        report::workbookName(station_.report.Rep_Names[0], QDate::currentDate(), QLocale::system()).chopped(5)
        + QStringLiteral(".csv");
    FileDialogs::save(this, QStringLiteral("Зберегти CSV"), proposed, QStringLiteral("CSV (*.csv)"),
                      [this](const QString &path) {
                          if (!path.isEmpty())
                              saveCsvFile(path);
                      });
}

void Report::mnuName_Click()
{
    if (!names_) {
        names_ = new Name_sobytie(station_, this);
    }
    names_->showNames();
    ModalWindow::show(this, names_);
}
