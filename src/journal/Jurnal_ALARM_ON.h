#pragma once
// The alarm window "Аварійне повідомлення": eight alarm lines (newest eight kept, the oldest
// scrolls off), each with the time it was announced; the sound check box, KCC to silence the
// buzzer and Ok to acknowledge. The buzzer `Zummer` asks the sound sink for a playback every
// 500 ms while the sound box is checked; the sink never makes it wait.
#include "app/Clock.h"
#include "journal/AlarmSound.h"
#include <QDateTime>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "journal/JournalStation.h"
class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

class Jurnal_ALARM_ON : public QWidget {
    Q_OBJECT
public:
    static constexpr int Lines = 8;
    static constexpr int ZummerInterval = 500;

    Jurnal_ALARM_ON(JournalStation station, std::unique_ptr<journal::SoundSink> sink, QWidget *parent = nullptr);

    // Replaces the sound (tests record the plays).
    void setSoundSink(std::unique_ptr<journal::SoundSink> sink) { sink_ = std::move(sink); }

    // The polling cycle's alarm word (bytes most significant first).
    void alarmWord(const std::array<std::uint8_t, 4> &bytes);

    // The texts of the visible lines, oldest first.
    QStringList lineTexts() const;

    QLabel *Alarm(int i) const { return alarm_[static_cast<std::size_t>(i)]; }
    QCheckBox *Alarm_Sound() const { return sound_; }
    QToolButton *KCC() const { return kcc_; }
    QPushButton *Ok() const { return ok_; }
    QTimer *Zummer() const { return zummer_; }

    // The clock whose time of day is stamped on new lines (a wall clock; it must outlive the
    // window).
    const Clock *clock = &WallClock::instance();

Q_SIGNALS:
    // Event `event` (0..31) was announced on a new line.
    void announced(int event, const QString &name);
    // The operator acknowledged an event announced since the last acknowledgement.
    void acknowledged(int event, const QString &name);

public Q_SLOTS:
    void Zummer_Timer();
    void Ok_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void addLine(const QString &text);
    void showLines();
    void acknowledge();

    JournalStation station_;
    std::unique_ptr<journal::SoundSink> sink_;
    std::array<QLabel *, Lines> alarm_{};
    QStringList lines_;
    std::vector<std::pair<int, QString>> unacknowledged_;
    QCheckBox *sound_ = nullptr;
    QToolButton *kcc_ = nullptr;
    QPushButton *ok_ = nullptr;
    QTimer *zummer_ = nullptr;
};
