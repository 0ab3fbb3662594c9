#include "trends/GRAFIK_sheet.h"

#include "app/Colors.h"
#include "app/Messages.h"
#include "app/ModalWindow.h"
#include "app/DesktopOpen.h"
#include "app/PdfFile.h"
#include "link/Link.h"
#include "trends/GrfFile.h"
#include "trends/TrendDialogs.h"
#include "trends/TrendNavigation.h"
#include "trends/TrendReadout.h"
#include "trends/TrendExport.h"
#include "trends/TrendFastProbe.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include "app/FileDialogs.h"
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &text, const QString &tip = {})
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip.isEmpty() ? text : tip);
    b->setAutoDefault(false);
    return b;
}

QTimer *timer(QObject *parent, const char *name, int ms)
{
    auto *t = new QTimer(parent);
    t->setObjectName(QLatin1String(name));
    // The timers pace the protocol: a coarse timer fires up to 5 % early or late.
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(ms);
    t->setTimerType(Qt::PreciseTimer);   // they pace the link
    return t;
}

}   // namespace

GRAFIK_sheet::GRAFIK_sheet(TrendStation station, Link &link, QWidget *parent)
    : QWidget(parent, Qt::Window),
      station_(station),
      link_(link),
      chart_(station, chartState_),
      engine_(std::make_unique<TrendDownload>(station, link, this)),
      fast_(QStringLiteral("trend"), this),
      canvas_(TrendChart::Width, TrendChart::Height, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("GRAFIK_sheet"));
    setWindowTitle(QStringLiteral("Графік"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    // The surface keeps the screen's 96 dots per inch, so font sizes in points come out as
    // the chart's layout expects them.
    canvas_.setDotsPerMeterX(3780);
    canvas_.setDotsPerMeterY(3780);
    canvas_.fill(Qt::white);

    downloadDriver_ = std::make_unique<ArchiveDriver>(*engine_, this);
    searchDriver_ = std::make_unique<ArchiveDriver>(engine_->search(), this);
    Timer_Opros_GRAFIK = downloadDriver_->timer();
    Timer_Opros_GRAFIK->setObjectName(QStringLiteral("Timer_Opros_GRAFIK"));
    Timer_Opros_GRAFIK->setInterval(150);
    Timer_ProgressBar_GRAFIK = timer(this, "Timer_ProgressBar_GRAFIK", 60);
    Timer_PUSK_Timer_05 = timer(this, "Timer_PUSK_Timer_05", 1000);
    Timer_PUSK_Timer_05->setSingleShot(true);
    Timer1 = searchDriver_->timer();
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    downloadDriver_->beforeStep = [this] { engine_->setPollText(Text1->text()); };
    connect(Timer_ProgressBar_GRAFIK, &QTimer::timeout, this, [this] {
        setProgressValue(station_.trend.Graf_PageCount);
        if (ProgressBar_GRAFIK->value() >= 33) {
            ProgressBar_GRAFIK->setValue(0);
            Timer_ProgressBar_GRAFIK->stop();
        }
    });
    connect(Timer_PUSK_Timer_05, &QTimer::timeout, this, [this] {
        // While a download (or the fast-mode check before it) runs the link is its own; it
        // arms this timer again when it ends.
        if (engine_->running() || fast_.checking())
            return;
        if (station_.trend.Graf_PageCount == 0)
            hideProgress();   // a page asked for and waiting for the link keeps its bar
        downloadDriver_->stop();
        Q_EMIT resumePollingRequested();
    });

    buildControls();
}

GRAFIK_sheet::~GRAFIK_sheet()
{
    delete go_.data();
    delete find_.data();
}

void GRAFIK_sheet::buildControls()
{
    view_ = new TrendChartView(*this, this);

    Frame1 = new QGroupBox(QStringLiteral("Сторінка"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Command_Tekus = button(Frame1, "Command_Tekus", QStringLiteral("Поточна"));
    Image4 = button(Frame1, "Image4", QStringLiteral("Знайти"));
    Grafik_DEC = button(Frame1, "Grafik_DEC", QStringLiteral("Сторінка -1"));
    Grafik_INC = button(Frame1, "Grafik_INC", QStringLiteral("Сторінка +1"));
    Grafik_GO = button(Frame1, "Grafik_GO", QStringLiteral("Перейти"));
    auto *f1 = new QHBoxLayout(Frame1);
    for (QPushButton *b : {Command_Tekus, Grafik_DEC, Grafik_INC, Grafik_GO, Image4})
        f1->addWidget(b);

    Frame2 = new QGroupBox(QStringLiteral("Група"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Image2 = button(Frame2, "Image2", QStringLiteral("Група -1"));
    Image3 = button(Frame2, "Image3", QStringLiteral("Група +1"));
    auto *f2 = new QHBoxLayout(Frame2);
    f2->addWidget(Image2);
    f2->addWidget(Image3);

    Frame3 = new QGroupBox(QStringLiteral("Архів"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    SAVE = button(Frame3, "SAVE", QStringLiteral("Зберегти"));
    LOAD = button(Frame3, "LOAD", QStringLiteral("Завантажити"));
    EXCEL = button(Frame3, "EXCEL", QStringLiteral("Excel"));
    CSV = button(Frame3, "CSV", QStringLiteral("CSV"));
    PRINT_ON = button(Frame3, "PRINT_ON", QStringLiteral("Друк"));
    auto *f3 = new QHBoxLayout(Frame3);
    for (QPushButton *b : {SAVE, LOAD, EXCEL, CSV, PRINT_ON})
        f3->addWidget(b);

    Text1 = new QLineEdit(QStringLiteral("200"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaximumWidth(60);
    auto *text1Label = new QLabel(QStringLiteral("Час опитування (100-500)"), this);
    monitorBox = new QCheckBox(QStringLiteral("Монітор"), this);
    monitorBox->setObjectName(QStringLiteral("Check1"));
    fastBox = new QCheckBox(QStringLiteral("Швидко"), this);
    fastBox->setObjectName(QStringLiteral("fastBox"));
    speedLabel = new QLabel(this);
    speedLabel->setObjectName(QStringLiteral("speedLabel"));
    tekst = new QPlainTextEdit(this);
    tekst->setObjectName(QStringLiteral("tekst"));
    tekst->setReadOnly(true);
    tekst->setMaximumHeight(60);
    tekst->hide();
    ProgressBar_GRAFIK = new QProgressBar(this);
    ProgressBar_GRAFIK->setObjectName(QStringLiteral("ProgressBar_GRAFIK"));
    ProgressBar_GRAFIK->setRange(0, 34);
    ProgressBar_GRAFIK->setTextVisible(false);
    ProgressBar_GRAFIK->hide();
    packetLabel = new QLabel(this);
    packetLabel->setObjectName(QStringLiteral("packetLabel"));
    packetLabel->hide();
    fileStatus = new QLabel(this);
    fileStatus->setObjectName(QStringLiteral("fileStatus"));
    {
        QPalette red = fileStatus->palette();
        red.setColor(QPalette::WindowText, QColor(0xC0, 0, 0));
        fileStatus->setPalette(red);
    }
    fileStatus->hide();

    // The archive buttons take a second row beside the status line, so that the window fits
    // a 1024 x 768 screen.
    auto *frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame2);
    frames->addWidget(fastBox);
    frames->addWidget(speedLabel);
    frames->addStretch();
    auto *status = new QHBoxLayout;
    status->addWidget(Frame3);
    status->addWidget(text1Label);
    status->addWidget(Text1);
    status->addWidget(monitorBox);
    status->addWidget(ProgressBar_GRAFIK, 1);
    status->addWidget(packetLabel);
    status->addWidget(fileStatus);
    status->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(view_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(frames);
    layout->addLayout(status);
    layout->addWidget(tekst);

    connect(monitorBox, &QCheckBox::toggled, tekst, &QWidget::setVisible);
    connect(fastBox, &QCheckBox::toggled, this, &GRAFIK_sheet::fastToggled);
    connect(Command_Tekus, &QPushButton::clicked, this, [this] { requestDownload(trendnav::Command_Tekus); });
    connect(Grafik_INC, &QPushButton::clicked, this, [this] { requestDownload(trendnav::Grafik_INC); });
    connect(Grafik_DEC, &QPushButton::clicked, this, [this] { requestDownload(trendnav::Grafik_DEC); });
    connect(Image2, &QPushButton::clicked, this, [this] { requestDownload(trendnav::Image2); });
    connect(Image3, &QPushButton::clicked, this, [this] { requestDownload(trendnav::Image3); });
    connect(Grafik_GO, &QPushButton::clicked, this, &GRAFIK_sheet::openGo);
    connect(Image4, &QPushButton::clicked, this, &GRAFIK_sheet::openFind);
    connect(SAVE, &QPushButton::clicked, this, &GRAFIK_sheet::save);
    connect(LOAD, &QPushButton::clicked, this, [this] { openFile(); });
    connect(EXCEL, &QPushButton::clicked, this, [this] { exportTo(true); });
    connect(CSV, &QPushButton::clicked, this, [this] { exportTo(false); });
    connect(PRINT_ON, &QPushButton::clicked, this, &GRAFIK_sheet::print);
}

void GRAFIK_sheet::load()
{
    if (link_.isTcp()) {
        Timer_ProgressBar_GRAFIK->setInterval(250);
    } else if (link_.isSerial()) {
        Timer_ProgressBar_GRAFIK->setInterval(170);
        Timer_Opros_GRAFIK->setInterval(100);
        Text1->setText(QStringLiteral("100"));
    }
    engine_->loadPalette();
    const bool linkUp = station_.poll.linkFault == 0 && station_.project.projectLoaded;
    Frame1->setEnabled(linkUp);
    Frame2->setEnabled(linkUp);
    Frame3->setEnabled(true);
    canvas_.fill(Qt::white);
    {
        QPainter p(&canvas_);
        chart_.GRAFIK_NEW(p);
    }
    refresh();
    Timer_PUSK_Timer_05->start();
}

void GRAFIK_sheet::refresh()
{
    if (view_)
        view_->update();
}

void GRAFIK_sheet::showGroup(int group)
{
    // A navigation label has normally asked for the group already; while a download runs
    // nothing else is asked for.
    if (station_.trend.Graf_PageCount == 0 && group >= 0 && group <= 7) {
        station_.trend.Graf_Group = static_cast<std::int16_t>(group);
        station_.trend.Graf_Page = trendnav::CurrentPage;
        trendnav::requestDownload(station_);
    }
    showRequested();
}

void GRAFIK_sheet::showRequested()
{
    Timer_ProgressBar_GRAFIK->start();
    ProgressBar_GRAFIK->show();
    packetLabel->show();
    showProgress(0);
}

void GRAFIK_sheet::requestDownload(void (*handler)(TrendStation))
{
    handler(station_);
    showRequested();
}

bool GRAFIK_sheet::startDownload()
{
    // Not under an open file dialog: the request waits for the next offer of the link.
    if (FileDialogs::isOpen(this) || fast_.checking() || engine_->running() || station_.trend.Graf_PageCount != 1)
        return false;
    if (fastBox->isChecked() && fast_.verdict(station_.project) == FastVerdict::Unknown) {
        // The first fast download from this controller: the check goes first, on the link
        // handed over now, and the download follows it.
        const bool checking = fast_.check(
            station_.project,
            [this] { return std::make_unique<TrendFastProbe>(station_, link_, station_.trend.Graf_Group); },
            [this](FastVerdict v) {
                if (v != FastVerdict::Accepted) {
                    fastBox->setChecked(false);
                    message(v == FastVerdict::Refused ? fastmsg::Refused : fastmsg::Unchecked);
                }
                if (!beginDownload())
                    Q_EMIT resumePollingRequested();
            });
        if (checking) {
            packetLabel->setText(QStringLiteral("Перевірка швидкого режиму…"));
            packetLabel->show();
            return true;
        }
    }
    return beginDownload();
}

bool GRAFIK_sheet::beginDownload()
{
    const bool fast = fastBox->isChecked() && fast_.verdict(station_.project) == FastVerdict::Accepted;
    engine_->setAnswerPaced(fast);
    downloadDriver_->setAnswerPaced(fast);
    if (!engine_->start())
        return false;
    startedAt_ = link_.now();
    chartState_.Graf_ScaleFromProject = 1;
    return true;
}

void GRAFIK_sheet::fastToggled(bool on)
{
    if (on && fast_.verdict(station_.project) == FastVerdict::Refused) {
        fastBox->setChecked(false);
        message(fastmsg::Refused);
        return;
    }
    if (!on)
        speedLabel->clear();
    // Also for the download that a find-by-date request starts by itself.
    if (!engine_->running()) {
        const bool fast = on && fast_.verdict(station_.project) == FastVerdict::Accepted;
        engine_->setAnswerPaced(fast);
        downloadDriver_->setAnswerPaced(fast);
    }
}

void GRAFIK_sheet::archiveProgress(int done, int total)
{
    if (!engine_->answerPaced() || done <= 0)
        return;
    speedLabel->setText(
        QStringLiteral("%1 стор./хв").arg(pagesPerMinute(done, total, link_.now() - startedAt_), 0, 'f', 0));
}

bool GRAFIK_sheet::startSearch()
{
    handingOver_ = true;
    const bool started = engine_->startSearch();
    handingOver_ = false;
    // A search asked for while the polling cycle ran waits for this hand-over to send.
    if (started && !searchDriver_->active())
        searchDriver_->drive(TrendDownload::FindStartInterval);
    return started;
}

// ----- dialogs ------------------------------------------------------------------------------

GO *GRAFIK_sheet::goDialog() const { return go_.data(); }
Find_GRAFIK_DATA *GRAFIK_sheet::findDialog() const { return find_.data(); }

void GRAFIK_sheet::openGo()
{
    if (!go_) {
        go_ = new GO(station_, this);
        Q_EMIT windowCreated(QStringLiteral("GO"), go_);
        connect(go_, &GO::accepted, this, &GRAFIK_sheet::goAccepted);
    }
    go_->prepare();
    ModalWindow::show(this, go_);
}

void GRAFIK_sheet::goAccepted(const QString &group, const QString &page)
{
    if (!trendnav::GO(station_, group, page)) {
        announce(msg::BadGroupNumber, QMessageBox::Warning);
        return;
    }
    showRequested();
    go_->close();
}

void GRAFIK_sheet::openFind()
{
    if (!find_) {
        find_ = new Find_GRAFIK_DATA(this);
        Q_EMIT windowCreated(QStringLiteral("Find_GRAFIK_DATA"), find_);
        connect(find_, &Find_GRAFIK_DATA::findRequested, this,
                [this](int hour, int day, int month, int year) { engine_->requestFind(hour, day, month, year); });
        // Closed before the frame went out ("Відміна", the frame): the find is dropped and
        // does not go out later when the link hands over.
        connect(find_, &QDialog::finished, this, [this] { engine_->cancelFind(); });
    }
    ModalWindow::show(this, find_);
}

void GRAFIK_sheet::findFinished()
{
    if (find_)
        find_->close();
}

// ----- files, export, printing ---------------------------------------------------------------

void GRAFIK_sheet::openFile()
{
    FileDialogs::open(this, QStringLiteral("Відкрити графік"), QStringLiteral("file (*.grf)"),
                      [this](const QString &path) {
                          if (!path.isEmpty())
                              loadFile(path);
                      });
}

bool GRAFIK_sheet::loadFile(const QString &path)
{
    chartState_.Graf_ScaleFromProject = 0;
    grf::ChartScale scale;
    scale.zeroY = chartState_.Graf_ZeroY;
    scale.lo = chartState_.Graf_ScaleLo;
    scale.hi = chartState_.Graf_ScaleHi;
    const grf::LoadResult r = grf::load(path, station_, scale);
    chartState_.Graf_ZeroY = scale.zeroY;
    chartState_.Graf_ScaleLo = scale.lo;
    chartState_.Graf_ScaleHi = scale.hi;
    afterFileLoaded();
    // A short or damaged file shows what it held over what the page before left: the operator
    // is told on the window how far it was read.
    if (r.opened && !r.complete()) {
        fileStatus->setText(QStringLiteral("Файл прочитано лише до рядка %1 з %2").arg(r.linesRead).arg(grf::Lines));
        fileStatus->show();
    } else if (r.opened) {
        fileStatus->hide();
    }
    return r.opened;
}

void GRAFIK_sheet::afterFileLoaded()
{
    canvas_.fill(Qt::white);
    {
        QPainter p(&canvas_);
        chart_.DRAW_GRAFIK_1_4(p);
        chart_.drawTimeAxis(p);
    }
    unsetCursor();
    if (station_.project.projectLoaded) {
        Frame1->setEnabled(true);
        Frame2->setEnabled(true);
    }
    refresh();
}

bool GRAFIK_sheet::saveFile(const QString &path)
{
    grf::ChartScale scale;
    scale.zeroY = chartState_.Graf_ZeroY;
    scale.lo = chartState_.Graf_ScaleLo;
    scale.hi = chartState_.Graf_ScaleHi;
    if (grf::save(path, station_, scale)) {
        Q_EMIT fileWritten(QStringLiteral("grf"), path);
        return true;
    }
    announce(grf::saveFailedMessage(), QMessageBox::Critical);
    return false;
}

void GRAFIK_sheet::save()
{
    FileDialogs::save(this, QStringLiteral("Зберегти графік"), grf::defaultFileName(station_) + QStringLiteral(".grf"),
                      QStringLiteral("file (*.grf)"), [this](const QString &path) {
                          if (!path.isEmpty())
                              saveFile(path);
                      });
}

void GRAFIK_sheet::exportTo(bool xlsx)
{
    const QString suffix = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    const QString filter = xlsx ? QStringLiteral("Excel (*.xlsx)") : QStringLiteral("CSV (*.csv)");
    FileDialogs::save(this, xlsx ? QStringLiteral("Зберегти таблицю Excel") : QStringLiteral("Зберегти CSV"),
                      grf::defaultFileName(station_) + suffix, filter, [this, xlsx](const QString &path) {
                          if (!path.isEmpty())
                              exportFile(xlsx, path);
                      });
}

bool GRAFIK_sheet::exportFile(bool xlsx, const QString &path)
{
    const TrendExportResult result = xlsx ? writeTrendXlsx(station_, path) : writeTrendCsv(station_, path);
    if (!result.ok) {
        announce(result.error.isEmpty() ? grf::saveFailedMessage() : result.error, QMessageBox::Critical);
        return false;
    }
    Q_EMIT fileWritten(xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv"), path);
    // Polling goes on whatever happens here; the file is opened for the operator.
    if (!desktop::openForOperator(path))
        announce(msg::FileSaved.arg(QDir::toNativeSeparators(path)), QMessageBox::Information);
    return true;
}

bool GRAFIK_sheet::printOn(QPagedPaintDevice &device) { return chart_.print(device); }

void GRAFIK_sheet::print()
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setDocName(QStringLiteral("Графік"));
    printer->setCopyCount(1);
    FileDialogs::print(this, printer.get(), [this, printer](bool accepted) {
        if (!accepted)
            return;
        // Printed to a file, the page is written whole or the file is left as it was.
        if (const auto toFile = printToChosenFile(*printer, [this](QPagedPaintDevice &d) { return printOn(d); })) {
            if (!*toFile)
                announce(grf::saveFailedMessage(), QMessageBox::Critical);
            else
                Q_EMIT fileWritten(QStringLiteral("pdf"), printer->outputFileName());
            return;
        }
        // A failed job is ended without a message.
        printOn(*printer);
    });
}

// ----- listener ------------------------------------------------------------------------------

void GRAFIK_sheet::archiveEnded(const ArchiveOutcome &outcome)
{
    if (outcome.ok())
        Q_EMIT pageDownloaded(station_.trend.Graf_Group, station_.trend.Graf_Page);
}

void GRAFIK_sheet::drawChart()
{
    QPainter p(&canvas_);
    chart_.DRAW_GRAFIK_1_4(p);
    refresh();
}

void GRAFIK_sheet::clearChart()
{
    // A downloaded page replaces whatever a file left.
    fileStatus->hide();
    canvas_.fill(Qt::white);
    refresh();
}

void GRAFIK_sheet::drawTimeLabel(const trend::TimeLabel &label)
{
    QPainter p(&canvas_);
    QFont f = p.font();
    f.setPointSize(8);
    p.setFont(f);
    for (const trend::LabelText &t : label.texts()) {
        p.setPen(colorFromBgr(t.colour & 0xFFFFFF));
        p.drawText(QPointF(t.x, t.y + QFontMetricsF(f, &canvas_).ascent()), t.text);
    }
    refresh();
}

void GRAFIK_sheet::beep() { QApplication::beep(); }

void GRAFIK_sheet::message(const QString &text) { announce(text, QMessageBox::Critical); }

void GRAFIK_sheet::setProgressValue(int value)
{
    ProgressBar_GRAFIK->setValue(std::clamp(value, 0, 34));
    packetLabel->setText(value >= 1 && value <= 32 ? QStringLiteral("Пакет %1 з 32").arg(value)
                                                   : QStringLiteral("Запит сторінки…"));
}

void GRAFIK_sheet::showProgress(int value)
{
    setProgressValue(value);
    ProgressBar_GRAFIK->show();
    packetLabel->show();
}

void GRAFIK_sheet::hideProgress()
{
    Timer_ProgressBar_GRAFIK->stop();
    ProgressBar_GRAFIK->hide();
    packetLabel->hide();
}

void GRAFIK_sheet::clearMonitor() { tekst->clear(); }

void GRAFIK_sheet::appendMonitor(const QString &text)
{
    tekst->moveCursor(QTextCursor::End);
    tekst->insertPlainText(text);
}

void GRAFIK_sheet::setFramesEnabled(bool enabled)
{
    Frame1->setEnabled(enabled);
    Frame2->setEnabled(enabled);
    Frame3->setEnabled(enabled);
}

void GRAFIK_sheet::setBusy(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void GRAFIK_sheet::pollTextReset(const QString &text) { Text1->setText(text); }

void GRAFIK_sheet::startDownloadTimer(int ms) { downloadDriver_->drive(ms); }
void GRAFIK_sheet::stopDownloadTimer() { downloadDriver_->stop(); }
void GRAFIK_sheet::armPollRestart() { Timer_PUSK_Timer_05->start(1000); }
void GRAFIK_sheet::startFindTimer(int ms)
{
    // The find frame must not go out between a polling request and its answer: while the
    // polling cycle runs, the search starts when the cycle hands over the link at its end.
    // A link that cannot carry the frame (the port gone, the connection down) has no polling
    // request in flight and the cycle cannot reach its end: the search goes on now and ends
    // with its message.
    const bool linkUp = link_.isSerial() ? link_.serialOpen() : link_.isTcp() && link_.tcp().isConnected();
    if (!handingOver_ && pollingActive && pollingActive() && station_.trend.Find_State == 1 && linkUp)
        return;
    searchDriver_->drive(ms);
}
void GRAFIK_sheet::stopFindTimer() { searchDriver_->stop(); }

void GRAFIK_sheet::Skal_GRAF_label_Click()
{
    QPainter p(&canvas_);
    chart_.nextScale(p);
    refresh();
}

// ----- unload --------------------------------------------------------------------------------

void GRAFIK_sheet::closeEvent(QCloseEvent *event)
{
    station_.trend.Graf_PageCount = 0;
    downloadDriver_->stop();
    Timer_ProgressBar_GRAFIK->stop();
    Timer_PUSK_Timer_05->stop();
    searchDriver_->stop();
    if (fast_.checking()) {
        fast_.cancel();
        station_.trend.Graf_PageCount = 0;
    }
    hideProgress();
    unsetCursor();
    if (engine_->running() || engine_->findRunning()) {
        // A download cut short by the close: the next one starts afresh.
        engine_->cancel();
        setFramesEnabled(true);
    }
    if (go_)
        go_->close();
    if (find_)
        find_->close();
    Q_EMIT unloaded();
    QWidget::closeEvent(event);
}

void GRAFIK_sheet::announce(const QString &text, int icon)
{
    notices_.show(static_cast<QMessageBox::Icon>(icon), QStringLiteral("Графік"), text);
}

std::vector<QMessageBox *> GRAFIK_sheet::openMessages() const { return notices_.open(); }

// ----- chart view ----------------------------------------------------------------------------

TrendChartView::TrendChartView(GRAFIK_sheet &sheet, QWidget *parent) : QWidget(parent), sheet_(sheet)
{
    setObjectName(QStringLiteral("chartView"));
    setMouseTracking(true);
    setFixedSize(TrendChart::Width, TrendChart::Height);
}

QSize TrendChartView::sizeHint() const { return {TrendChart::Width, TrendChart::Height}; }

void TrendChartView::setCursorX(int x)
{
    const int at = TrendReadout::cursorAt(x);
    if (at != cursorX_) {
        cursorX_ = at;
        update();
    }
}

QStringList TrendChartView::readoutLines() const
{
    return TrendReadout::texts(sheet_.chart(), sheet_.station(), cursorX_);
}

void TrendChartView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, sheet_.canvas());
    const std::vector<TrendReadout::Line> lines = TrendReadout::lines(sheet_.chart(), sheet_.station(), cursorX_);
    if (lines.empty())
        return;
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1, Qt::DashLine));
    p.drawLine(cursorX_, TrendChart::PlotTop, cursorX_, TrendChart::PlotBottom);

    QFont f = font();
    f.setPointSize(8);
    p.setFont(f);
    const QFontMetrics fm(f);
    int w = 0;
    for (const TrendReadout::Line &l : lines)
        w = std::max(w, fm.horizontalAdvance(l.text));
    const int h = fm.height() * int(lines.size()) + 6;
    w += 10;
    int x = cursorX_ + 8;
    if (x + w > TrendChart::PlotRight)
        x = cursorX_ - 8 - w;
    const QRect box(x, TrendChart::PlotTop + 4, w, h);
    p.fillRect(box, QColor(255, 255, 240));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    int y = box.top() + 3 + fm.ascent();
    for (const TrendReadout::Line &l : lines) {
        p.setPen(l.colour);
        p.drawText(box.left() + 5, y, l.text);
        y += fm.height();
    }
}

void TrendChartView::mouseMoveEvent(QMouseEvent *event) { setCursorX(event->position().toPoint().x()); }

void TrendChartView::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    // The scale column is the label the operator clicks to see the next channel's scale.
    if (event->button() == Qt::LeftButton && at.x() >= 100 && at.x() <= 148 && at.y() >= 15 && at.y() <= 450)
        sheet_.Skal_GRAF_label_Click();
}

void TrendChartView::leaveEvent(QEvent *) { setCursorX(-1); }
