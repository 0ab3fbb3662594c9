#pragma once
// The start-up picture of the empty main window: a gauge mark, the program's name and version,
// and the current time and date.
#include <QDateTime>
#include <QWidget>

class QPainter;

class Logo : public QWidget {
    Q_OBJECT
public:
    explicit Logo(QWidget *parent = nullptr);

    void setDateTime(const QDateTime &now);
    QDateTime dateTime() const { return now_; }

    // The program's icon: the gauge mark on a rounded dark card, filling `box` (square).
    static void paintIcon(QPainter &p, const QRectF &box);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QDateTime now_;
};
