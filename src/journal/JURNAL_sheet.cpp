#include "journal/JURNAL_sheet.h"
#include "app/Messages.h"
#include "app/ModalWindow.h"
#include "app/DesktopOpen.h"
#include "app/PdfFile.h"
#include "app/Station.h"
#include "journal/Find_JURNAL_DATA.h"
#include "journal/Go_Jurnal.h"
#include "journal/JournalCsv.h"
#include "journal/JournalExport.h"
#include "journal/JournalFile.h"
#include "journal/JournalPage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace {

const QColor writtenColor(0, 0, 255);     // 0xFF0000 as 0x00BBGGRR
const QColor otherColor(128, 128, 128);
const QColor eventColor(255, 0, 0);
const QColor highlightColor(255, 192, 192);

constexpr int twips(int t) { return t / 15; }

QToolButton *toolButton(QWidget *parent, const char *name, const QString &tip, const QString &textOrEmpty,
                        QStyle::StandardPixmap icon = QStyle::SP_CustomBase)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    if (icon != QStyle::SP_CustomBase) {
        b->setIcon(parent->style()->standardIcon(icon));
        b->setIconSize(QSize(20, 20));
    }
    if (!textOrEmpty.isEmpty()) {
        b->setText(textOrEmpty);
        b->setToolButtonStyle(icon != QStyle::SP_CustomBase ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
    }
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// Seconds since 2000 of a record with a plausible date and time; -1 otherwise.
long long stamp(const journal::Record &r)
{
    if (r.day < 1 || r.day > 31 || r.month < 1 || r.month > 12 || r.year > 99 || r.hour > 23 || r.minute > 59
        || r.second > 59)
        return -1;
    return ((((r.year * 12LL + r.month) * 31 + r.day) * 24 + r.hour) * 60 + r.minute) * 60 + r.second;
}

} // namespace

JURNAL_sheet::JURNAL_sheet(Station &station, Link &link, QWidget *parent)
    : QWidget(parent, Qt::Window), station_(station), engine_(station, link, this)
{
    setObjectName(QStringLiteral("JURNAL_sheet"));
    setWindowTitle(QStringLiteral("Журнал"));
    auto *layout = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    Frame1 = new QGroupBox(QStringLiteral("Сторінка"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *f1 = new QHBoxLayout(Frame1);
    Command_Tekus = new QPushButton(QStringLiteral("Поточна"), Frame1);
    Command_Tekus->setObjectName(QStringLiteral("Command_Tekus"));
    Command_Tekus->setFocusPolicy(Qt::NoFocus);
    Jurnal_DEC = toolButton(Frame1, "Jurnal_DEC", QStringLiteral("Сторінка -1"), {}, QStyle::SP_ArrowLeft);
    Num_STR_Jurnal = new QLabel(QStringLiteral("1"), Frame1);
    Num_STR_Jurnal->setObjectName(QStringLiteral("Num_STR_Jurnal"));
    Num_STR_Jurnal->setAlignment(Qt::AlignCenter);
    Num_STR_Jurnal->setMinimumWidth(36);
    QFont big = Num_STR_Jurnal->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    Num_STR_Jurnal->setFont(big);
    Jurnal_INC = toolButton(Frame1, "Jurnal_INC", QStringLiteral("Сторінка +1"), {}, QStyle::SP_ArrowRight);
    Jurnal_GO = toolButton(Frame1, "Jurnal_GO", QStringLiteral("Перейти"), QStringLiteral("№"));
    Image4 = toolButton(Frame1, "Image4", QStringLiteral("Знайти"), {}, QStyle::SP_FileDialogContentsView);
    for (QWidget *w : std::initializer_list<QWidget *>{Command_Tekus, Jurnal_DEC, Num_STR_Jurnal, Jurnal_INC, Jurnal_GO,
                                                       Image4})
        f1->addWidget(w);
    Frame3 = new QGroupBox(QStringLiteral("Архів"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto *f3 = new QHBoxLayout(Frame3);
    SAVE = toolButton(Frame3, "SAVE", QStringLiteral("Зберегти"), QStringLiteral("Зберегти"), QStyle::SP_DialogSaveButton);
    LOAD = toolButton(Frame3, "LOAD", QStringLiteral("Відкрити"), QStringLiteral("Відкрити"), QStyle::SP_DialogOpenButton);
    EXCEL = toolButton(Frame3, "EXCEL", QStringLiteral("Excel"), QStringLiteral("Excel"));
    CSV = toolButton(Frame3, "CSV", QStringLiteral("CSV"), QStringLiteral("CSV"));
    PRINT_ON = toolButton(Frame3, "PRINT_ON", QStringLiteral("Друкувати"), QStringLiteral("Друкувати"));
    for (QWidget *w : std::initializer_list<QWidget *>{SAVE, LOAD, EXCEL, CSV, PRINT_ON})
        f3->addWidget(w);
    top->addWidget(Frame1);
    top->addWidget(Frame3);
    top->addStretch(1);
    layout->addLayout(top);

    spanLabel = new QLabel(this);
    spanLabel->setObjectName(QStringLiteral("spanLabel"));
    layout->addWidget(spanLabel);

    MSFlexGrid1 = new QTableWidget(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    layout->addWidget(MSFlexGrid1, 1);
    setUpGrid();

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2 = new QTimer(this);
    Timer2->setInterval(3000);
    Timer2->setSingleShot(true);
    // The steps keep their timeline (send +600, wait +1200, read +1800 ms) even when a tick
    // comes late.
    driver_ = std::make_unique<ArchiveDriver>(engine_, this, ArchiveDriver::Schedule::OnTimeline);
    Timer_Opros_JURNAL = driver_->timer();
    Timer_Opros_JURNAL->setObjectName(QStringLiteral("Timer_Opros_JURNAL"));
    Timer_Opros_JURNAL->setInterval(JournalEngine::StepInterval);
    connect(Timer1, &QTimer::timeout, this, &JURNAL_sheet::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &JURNAL_sheet::Timer2_Timer);

    connect(Command_Tekus, &QPushButton::clicked, this, &JURNAL_sheet::Command_Tekus_Click);
    connect(Jurnal_INC, &QToolButton::clicked, this, &JURNAL_sheet::Jurnal_INC_Click);
    connect(Jurnal_DEC, &QToolButton::clicked, this, &JURNAL_sheet::Jurnal_DEC_Click);
    connect(Jurnal_GO, &QToolButton::clicked, this, &JURNAL_sheet::Jurnal_GO_Click);
    connect(Image4, &QToolButton::clicked, this, &JURNAL_sheet::Image4_Click);
    connect(SAVE, &QToolButton::clicked, this, &JURNAL_sheet::SAVE_Click);
    connect(LOAD, &QToolButton::clicked, this, [this] { LOAD_Click(); });
    connect(EXCEL, &QToolButton::clicked, this, &JURNAL_sheet::EXCEL_Click);
    connect(CSV, &QToolButton::clicked, this, &JURNAL_sheet::CSV_Click);
    connect(PRINT_ON, &QToolButton::clicked, this, &JURNAL_sheet::PRINT_ON_Click);

    // Separate windows: the journal window is disabled while they are open.
    go_ = new Go_Jurnal;
    find_ = new Find_JURNAL_DATA(station_);
    connect(go_, &Go_Jurnal::pageChosen, this, &JURNAL_sheet::requestPage);
    connect(find_, &Find_JURNAL_DATA::findRequested, this, [this] {
        Jurnal_Sel_Row = 1;
        waitCursor();
    });

    // Arrow keys are tracked wherever the focus is inside the window.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    // All 32 rows in view on a 1024 x 768 screen, with room for the frame and a panel.
    resize(twips(700 + 1300 + 1300 + 6070) + 60, 680);
}

JURNAL_sheet::~JURNAL_sheet()
{
    delete go_.data();
    delete find_.data();
}

void JURNAL_sheet::setUpGrid()
{
    QTableWidget *g = MSFlexGrid1;
    // The grid's 8-point font: the narrow number column's heading fits its 700 twips.
    QFont small = g->font();
    small.setPointSizeF(8);
    g->setFont(small);
    g->horizontalHeader()->setFont(small);
    g->setRowCount(journal::Records);
    g->setColumnCount(4);
    g->setHorizontalHeaderLabels({QStringLiteral("№ події"), QStringLiteral("Дата"), QStringLiteral("Час"),
                                  QStringLiteral("Аварійне повідомлення")});
    const int widths[4] = {700, 1300, 1300, 6070};
    for (int c = 0; c < 4; ++c)
        g->setColumnWidth(c, twips(widths[c]));
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(17);
    g->verticalHeader()->setMinimumSectionSize(10);
    g->horizontalHeader()->setStretchLastSection(true);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    QFont bold = g->font();
    bold.setBold(true);
    for (int r = 0; r < journal::Records; ++r) {
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            item->setFont(bold);
            item->setBackground(Qt::white);
            g->setItem(r, c, item);
        }
        g->item(r, 0)->setText(QString::number(r + 1));
    }
}

QString JURNAL_sheet::cell(int row, int col) const
{
    if (row == 0)
        return MSFlexGrid1->horizontalHeaderItem(col) ? MSFlexGrid1->horizontalHeaderItem(col)->text() : QString();
    const QTableWidgetItem *item = MSFlexGrid1->item(row - 1, col);
    return item ? item->text() : QString();
}

// ----- download ----------------------------------------------------------------------------

bool JURNAL_sheet::startDownload()
{
    // Not while a file dialog is open: the page it is about must stay. The request stays
    // raised and the polling cycle offers the link again.
    if (engine_.active() || FileDialogs::isOpen(this))
        return false;
    driver_->start();
    journalControls(false);
    return true;
}

void JURNAL_sheet::journalControls(bool enabled)
{
    Frame1->setEnabled(enabled);
    Frame3->setEnabled(enabled);
    updateArchiveButtons();
}

void JURNAL_sheet::updateArchiveButtons()
{
    // Save, Excel, CSV and Print work on the page on show; without one there is nothing.
    for (QToolButton *b : {SAVE, EXCEL, CSV, PRINT_ON})
        b->setEnabled(pageShown_);
}

void JURNAL_sheet::journalRequestSent()
{
    if (find_ && find_->isVisible())
        find_->hide();
}

void JURNAL_sheet::journalShow() { JURNAL_SCREEN(); }

void JURNAL_sheet::journalCrcMismatch() { QApplication::beep(); }

void JURNAL_sheet::journalEnded()
{
    driver_->stop();
    Timer_Opros_JURNAL->setInterval(JournalEngine::StepInterval);
    Q_EMIT pollingResumed();
}

void JURNAL_sheet::prepareForRequest()
{
    // A page shown before the window was last closed may be hours old: not on show now.
    pageShown_ = false;
    setUpGrid();
    Num_STR_Jurnal->setText(QStringLiteral("1"));
    spanLabel->clear();
    Jurnal_Sel_Row = 1;
    Jurnal_Lit_Row = 1;
    updateArchiveButtons();
    waitCursor();
}

// ----- page display ------------------------------------------------------------------------

void JURNAL_sheet::paintRecordCells(int row)
{
    const int page = journal::pageOnShow(station_.Jurnal_Buf);
    const QColor text = journal::written(page, row - 1, station_.Jurnal_Pointer) ? writtenColor : otherColor;
    for (int c = 1; c <= 2; ++c)
        MSFlexGrid1->item(row - 1, c)->setForeground(text);
}

void JURNAL_sheet::setHighlight(int row, bool on)
{
    if (row < 1 || row > journal::Records)
        return;
    for (int c = 1; c <= 2; ++c)
        MSFlexGrid1->item(row - 1, c)->setBackground(on ? highlightColor : QColor(Qt::white));
}

void JURNAL_sheet::listEvents(int row)
{
    const int r = row >= 1 && row <= journal::Records ? row - 1 : 0;
    const std::vector<int> flagged = journal::events(journal::record(station_.Jurnal_Buf, r));
    for (int i = 0; i < journal::Records; ++i) {
        QTableWidgetItem *item = MSFlexGrid1->item(i, 3);
        item->setForeground(eventColor);
        item->setText(i < static_cast<int>(flagged.size()) ? journal::eventName(station_, flagged[static_cast<std::size_t>(i)])
                                                             : QString());
    }
}

void JURNAL_sheet::JURNAL_SCREEN()
{
    const Station &st = station_;
    const int page = journal::pageOnShow(st.Jurnal_Buf);
    pageShown_ = true;
    updateArchiveButtons();
    Num_STR_Jurnal->setText(QString::number(page + 1));
    Jurnal_Event_Count = journal::eventCount(st.Jurnal_Buf);
    long long first = -1, last = -1;
    journal::Record firstRec, lastRec;
    for (int r = 0; r < journal::Records; ++r) {
        const journal::Record rec = journal::record(st.Jurnal_Buf, r);
        MSFlexGrid1->item(r, 0)->setText(QString::number(32 * page + r + 1));
        MSFlexGrid1->item(r, 1)->setText(journal::dateText(rec));
        MSFlexGrid1->item(r, 2)->setText(journal::timeText(rec));
        paintRecordCells(r + 1);
        setHighlight(r + 1, false);
        const long long s = stamp(rec);
        if (s >= 0 && (first < 0 || s < first)) {
            first = s;
            firstRec = rec;
        }
        if (s >= 0 && s > last) {
            last = s;
            lastRec = rec;
        }
    }
    spanLabel->setText(first < 0 ? QStringLiteral("Записи сторінки: немає дат")
                                 : QStringLiteral("Записи сторінки: %1 — %2")
                                       .arg(journal::dateTimeText(firstRec), journal::dateTimeText(lastRec)));
    const int cur = std::clamp<int>(st.Jurnal_Cur_Rec, 1, journal::Records);
    listEvents(cur);
    setHighlight(cur, true);
    Jurnal_Lit_Row = cur;
    Jurnal_Sel_Row = cur;
}

void JURNAL_sheet::Jurnal_Up_Down()
{
    setHighlight(Jurnal_Sel_Row, true);
    if (Jurnal_Lit_Row != Jurnal_Sel_Row)
        setHighlight(Jurnal_Lit_Row, false);
    listEvents(Jurnal_Sel_Row);
    Jurnal_Lit_Row = Jurnal_Sel_Row;
}

// ----- page requests -----------------------------------------------------------------------

void JURNAL_sheet::waitCursor()
{
    setCursor(Qt::WaitCursor);
    MSFlexGrid1->viewport()->setCursor(Qt::WaitCursor);
    Timer2->start();
}

void JURNAL_sheet::Timer2_Timer()
{
    Timer2->stop();
    unsetCursor();
    MSFlexGrid1->viewport()->unsetCursor();
}

void JURNAL_sheet::requestPage(int page)
{
    station_.Jurnal_Find = 0;
    station_.Jurnal_Page = static_cast<std::int16_t>(page);
    station_.Jurnal_Request = 1;
    Jurnal_Sel_Row = 1;
    waitCursor();
}

void JURNAL_sheet::Command_Tekus_Click() { requestPage(journal::CurrentPage); }

int JURNAL_sheet::stepBase() const
{
    // Once a request has ended without a page (failed), step from the page on show, not from
    // the one that never came; requests still waiting add up.
    return pageShown_ && station_.Jurnal_Request == 0 ? journal::pageOnShow(station_.Jurnal_Buf)
                                                      : station_.Jurnal_Page;
}

void JURNAL_sheet::Jurnal_INC_Click()
{
    // Before any page has arrived there is nothing to step from: ask for the current one.
    const int p = stepBase();
    requestPage(p >= 0 && p < journal::Pages ? std::min(p + 1, journal::Pages - 1) : journal::CurrentPage);
}

void JURNAL_sheet::Jurnal_DEC_Click()
{
    const int p = stepBase();
    requestPage(p >= 0 && p < journal::Pages ? std::max(p - 1, 0) : journal::CurrentPage);
}

void JURNAL_sheet::Jurnal_GO_Click() { ModalWindow::show(this, go_); }

void JURNAL_sheet::Image4_Click()
{
    find_->prepare();
    ModalWindow::show(this, find_);
}

// ----- keyboard and mouse ------------------------------------------------------------------

void JURNAL_sheet::Timer1_Timer()
{
    if (Timer1->interval() == 1000)
        Timer1->setInterval(100);
    // Under an open file dialog the page stays as it is.
    if (FileDialogs::isOpen(this))
        return;
    // A key acts when held, or once for each tap not yet taken.
    const auto take = [this](int key) {
        if (const auto t = tapped_.find(key); t != tapped_.end() && *t > 0) {
            if (--*t == 0)
                tapped_.erase(t);
            return true;
        }
        return held_.contains(key);
    };
    if (Jurnal_Sel_Row > 1 && take(Qt::Key_Up)) {
        --Jurnal_Sel_Row;
        Jurnal_Up_Down();
    }
    if (Jurnal_Sel_Row < journal::Records && take(Qt::Key_Down)) {
        ++Jurnal_Sel_Row;
        Jurnal_Up_Down();
    }
    // Page keys wait while a page is on its way; taps made meanwhile are kept for later.
    if (engine_.active())
        return;
    if (take(Qt::Key_Left)) {
        Timer1->setInterval(1000);
        Jurnal_DEC_Click();
    } else if (take(Qt::Key_Right)) {
        Timer1->setInterval(1000);
        Jurnal_INC_Click();
    }
}

bool JURNAL_sheet::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::KeyPress || t == QEvent::KeyRelease) {
        auto *k = static_cast<QKeyEvent *>(event);
        const int key = k->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right) {
            if (!k->isAutoRepeat()) {
                if (t == QEvent::KeyPress) {
                    held_.insert(key);
                    int &taps = tapped_[key];
                    taps = std::min(taps + 1, journal::Records);
                } else {
                    held_.remove(key);
                }
            }
            return true;
        }
    }
    if (t == QEvent::MouseButtonPress && watched == MSFlexGrid1->viewport()) {
        auto *m = static_cast<QMouseEvent *>(event);
        const int row = MSFlexGrid1->rowAt(static_cast<int>(m->position().y()));
        if (row >= 0) {
            if (m->button() == Qt::LeftButton)
                Jurnal_Sel_Row = row + 1;
            Jurnal_Up_Down();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void JURNAL_sheet::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        held_.clear();   // the releases go elsewhere now; taps already made still count
    QWidget::changeEvent(event);
}

void JURNAL_sheet::showEvent(QShowEvent *event)
{
    Timer1->setInterval(100);
    Timer1->start();
    QWidget::showEvent(event);
}

void JURNAL_sheet::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        Timer1->stop();
        held_.clear();
        tapped_.clear();
    }
    QWidget::hideEvent(event);
}

void JURNAL_sheet::closeEvent(QCloseEvent *event)
{
    // A dialog still open over the window is cancelled first, so that nothing answers it
    // after the window has gone.
    FileDialogs::cancelAll(this);
    station_.Jurnal_Request = 0;
    station_.Jurnal_Find = 0;
    if (go_)
        go_->hide();
    if (find_)
        find_->hide();
    if (engine_.active()) {
        engine_.cancel();
        driver_->stop();
        journalControls(true);
        Q_EMIT pollingResumed();
    }
    event->accept();
}

// ----- archive -----------------------------------------------------------------------------

void JURNAL_sheet::askSavePath(const QString &title, const QString &proposed, const QString &filter,
                               FileDialogs::PathDone done)
{
    FileDialogs::save(this, title, proposed, filter, std::move(done));
}

void JURNAL_sheet::askOpenPath(const QString &filter, FileDialogs::PathDone done)
{
    FileDialogs::open(this, QStringLiteral("Відкрити журнал"), filter, std::move(done));
}

bool JURNAL_sheet::openDocument(const QString &path)
{
    return desktop::openForOperator(path);
}

void JURNAL_sheet::choosePrinter(QPrinter *printer, FileDialogs::PrintDone done)
{
    FileDialogs::print(this, printer, std::move(done));
}

namespace {

QString withSuffix(QString path, const QString &suffix)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return path;
}

} // namespace

void JURNAL_sheet::message(const QString &text, bool error)
{
    auto *box = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Information,
                                error ? msg::ErrorTitle : windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    messages_.append(box);
    box->show();
}

QList<QMessageBox *> JURNAL_sheet::messages() const
{
    QList<QMessageBox *> open;
    for (const QPointer<QMessageBox> &b : messages_)
        if (b && b->isVisible())
            open.append(b);
    return open;
}

void JURNAL_sheet::SAVE_Click()
{
    if (!pageShown_)
        return;
    askSavePath(QStringLiteral("Зберегти журнал"), QStringLiteral("Журнал подій "), QStringLiteral("file (*.jur)"),
                [this](const QString &path) {
                    if (path.isEmpty())
                        return;
                    if (!journal::saveJur(withSuffix(path, QStringLiteral("jur")),
                                          journal::pageOnShow(station_.Jurnal_Buf), station_.Jurnal_Buf))
                        message(msg::FileLocked, true);
                });
}

void JURNAL_sheet::LOAD_Click()
{
    askOpenPath(QStringLiteral("file (*.jur)"), [this](const QString &path) {
        if (!path.isEmpty())
            loadFile(path);
    });
}

bool JURNAL_sheet::loadFile(const QString &path)
{
    QString why;
    const auto content = journal::loadJur(path, &why);
    if (!content) {
        // The page on show and the buffer behind it stay as they were.
        message(msg::JournalFileUnread.arg(QDir::toNativeSeparators(path), why), true);
        return false;
    }
    station_.Jurnal_Buf = content->buf;
    station_.Jurnal_Page = static_cast<std::int16_t>(content->page);
    journal::takePage(station_, false);
    JURNAL_SCREEN();
    return true;
}

QString JURNAL_sheet::proposedName(const QString &suffix) const
{
    return QStringLiteral("Журнал подій %1.%2").arg(journal::pageOnShow(station_.Jurnal_Buf) + 1).arg(suffix);
}

void JURNAL_sheet::EXCEL_Click()
{
    if (!pageShown_)
        return;
    askSavePath(QStringLiteral("Зберегти таблицю Excel"), proposedName(QStringLiteral("xlsx")),
                QStringLiteral("Excel (*.xlsx)"), [this](const QString &chosen) {
                    if (chosen.isEmpty())
                        return;
                    const QString path = withSuffix(chosen, QStringLiteral("xlsx"));
                    QString why;
                    if (!journal::exportXlsx(path, station_, &why)) {
                        message(msg::FileLocked, true);
                        return;
                    }
                    if (!openDocument(path))
                        message(msg::SheetSavedNoViewer
                                    .arg(QDir::toNativeSeparators(path)),
                                false);
                });
}

void JURNAL_sheet::CSV_Click()
{
    if (!pageShown_)
        return;
    askSavePath(QStringLiteral("Зберегти CSV"), proposedName(QStringLiteral("csv")), QStringLiteral("CSV (*.csv)"),
                [this](const QString &chosen) {
                    if (chosen.isEmpty())
                        return;
                    if (!journal::saveCsv(withSuffix(chosen, QStringLiteral("csv")), station_))
                        message(msg::FileLocked, true);
                });
}

void JURNAL_sheet::PRINT_ON_Click()
{
    if (!pageShown_)
        return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);   // room for 60 lines
    choosePrinter(printer.get(), [this, printer](bool accepted) {
        if (!accepted)
            return;
        // Printed to a file, the pages are written whole or the file is left as it was.
        const auto draw = [this](QPagedPaintDevice &d) { return journal::printJournal(d, station_); };
        if (const auto toFile = printToChosenFile(*printer, draw)) {
            if (!*toFile)
                message(msg::FileLocked, true);
            return;
        }
        if (!journal::printJournal(*printer, station_))
            message(msg::PrintFailed, true);
    });
}
