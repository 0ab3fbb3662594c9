#include "journal/Jurnal_ALARM_ON.h"
#include "journal/JournalStation.h"
#include "journal/AlarmCheck.h"
#include "journal/JournalPage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// KCC's picture: a loudspeaker struck through.
QIcon silenceIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(5, 12, 6, 8);
    p.drawPolygon(QPolygon({QPoint(11, 12), QPoint(19, 5), QPoint(19, 27), QPoint(11, 20)}));
    p.setPen(QPen(QColor(200, 0, 0), 3));
    p.drawLine(4, 4, 28, 28);
    return QIcon(pm);
}

}   // namespace

Jurnal_ALARM_ON::Jurnal_ALARM_ON(JournalStation station, std::unique_ptr<journal::SoundSink> sink, QWidget *parent)
    : QWidget(parent, Qt::Window), station_(station), sink_(std::move(sink))
{
    setObjectName(QStringLiteral("Jurnal_ALARM_ON"));
    setWindowTitle(QStringLiteral("Аварійне повідомлення"));
    auto *layout = new QVBoxLayout(this);
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 1);
    for (int i = 0; i < Lines; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("Alarm_%1").arg(i));
        l->setFont(bold);
        l->setAutoFillBackground(true);
        l->setStyleSheet(QStringLiteral("QLabel { color: rgb(255,0,0); background: rgb(255,255,0); padding: 3px; }"));
        l->setMinimumWidth(420);
        l->hide();
        layout->addWidget(l);
        alarm_[static_cast<std::size_t>(i)] = l;
    }
    layout->addStretch(1);
    auto *row = new QHBoxLayout;
    sound_ = new QCheckBox(QStringLiteral("Звукова сигналізація"), this);
    sound_->setObjectName(QStringLiteral("Alarm_Sound"));
    kcc_ = new QToolButton(this);
    kcc_->setObjectName(QStringLiteral("KCC"));
    kcc_->setIcon(silenceIcon());
    kcc_->setIconSize(QSize(32, 32));
    kcc_->setToolTip(QStringLiteral("Вимкнути звук"));
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok"));
    row->addWidget(sound_);
    row->addStretch(1);
    row->addWidget(kcc_);
    row->addWidget(ok_);
    layout->addLayout(row);

    zummer_ = new QTimer(this);
    zummer_->setObjectName(QStringLiteral("Zummer"));
    zummer_->setInterval(ZummerInterval);
    connect(zummer_, &QTimer::timeout, this, &Jurnal_ALARM_ON::Zummer_Timer);
    connect(kcc_, &QToolButton::clicked, zummer_, &QTimer::stop);
    connect(ok_, &QPushButton::clicked, this, &Jurnal_ALARM_ON::Ok_Click);
    // Enter acknowledges, wherever the focus is in the window (Ok is its default button).
    ok_->setDefault(true);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WindowShortcut);
        connect(enter, &QShortcut::activated, ok_, &QPushButton::click);
    }
}

void Jurnal_ALARM_ON::alarmWord(const std::array<std::uint8_t, 4> &bytes)
{
    const bool fresh = station_.alarm.Alarm_Lines == 0;
    const journal::AlarmNews news = journal::alarmCheck(station_, bytes);
    if (!news.show)
        return;   // all clear: the window keeps its lines
    if (!isVisible()) {
        sound_->setChecked(station_.alarm.Sound_On != 0);
        lines_.clear();
        show();
    } else if (fresh && !news.events.empty()) {
        lines_.clear();   // a new round after all alarms had cleared
    }
    for (int n : news.events) {
        const QString name = journal::eventName(station_, n);
        addLine(name);
        unacknowledged_.emplace_back(n, name);
        Q_EMIT announced(n, name);
        if (sound_->isChecked() && !zummer_->isActive())
            zummer_->start();
    }
    if (!news.events.empty()) {
        raise();
        activateWindow();
    }
}

void Jurnal_ALARM_ON::addLine(const QString &text)
{
    lines_ << WallClock::dateTime(clock->nowMs()).toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("   ") + text;
    while (lines_.size() > Lines)
        lines_.removeFirst();
    showLines();
}

void Jurnal_ALARM_ON::showLines()
{
    for (int i = 0; i < Lines; ++i) {
        QLabel *l = alarm_[static_cast<std::size_t>(i)];
        if (i < lines_.size()) {
            l->setText(lines_[i]);
            l->show();
        } else {
            l->clear();
            l->hide();
        }
    }
}

QStringList Jurnal_ALARM_ON::lineTexts() const { return lines_; }

void Jurnal_ALARM_ON::Zummer_Timer()
{
    if (sound_->isChecked() && sink_)
        sink_->play();
}

void Jurnal_ALARM_ON::acknowledge()
{
    station_.alarm.Sound_On = sound_->isChecked() ? 1 : 0;
    journal::alarmAcknowledged(station_);
    zummer_->stop();
    lines_.clear();
    showLines();
    const auto events = std::exchange(unacknowledged_, {});
    for (const auto &[n, name] : events)
        Q_EMIT acknowledged(n, name);
}

void Jurnal_ALARM_ON::Ok_Click()
{
    acknowledge();
    hide();
}

void Jurnal_ALARM_ON::closeEvent(QCloseEvent *event)
{
    acknowledge();
    event->accept();
}
