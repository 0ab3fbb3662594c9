#include "reports/Name_sobytie.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {
// Twips of the window's design, 15 to a pixel.
constexpr int px(int twips) { return twips / 15; }
}   // namespace

Name_sobytie::Name_sobytie(ReportStation station, QWidget *parent) : QDialog(parent), station_(station)
{
    setObjectName(QStringLiteral("Name_sobytie"));
    setWindowTitle(QStringLiteral("Назва події"));
    for (int i = 0; i < 16; ++i) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Name_Sob_%1").arg(i));
        box->setGeometry(px(400), px(300 * i + 300), 300, px(285));
        Name_Sob[size_t(i)] = box;
    }
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (int n = 1; n <= 32; ++n)
        Combo1->addItem(QString::number(n));
    Combo1->setGeometry(px(400) + 320, px(300), 70, px(285));

    auto *ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("Command2"));
    ok->setGeometry(px(400) + 320, px(300 * 14 + 300) - 14, 90, 26);
    auto *cancel = new QPushButton(QStringLiteral("Відміна"), this);
    cancel->setObjectName(QStringLiteral("Command1"));
    cancel->setGeometry(px(400) + 320, px(300 * 15 + 300) - 2, 90, 26);
    connect(ok, &QPushButton::clicked, this, &Name_sobytie::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &Name_sobytie::Command1_Click);

    setFixedSize(px(400) + 430, px(300 * 16 + 300) + 20);
    showNames();
}

void Name_sobytie::showNames()
{
    for (int i = 0; i < 16; ++i)
        Name_Sob[size_t(i)]->setText(station_.report.Rep_Names[size_t(i + 1)]);
    Combo1->setCurrentIndex(std::clamp<int>(station_.report.Rep_TriggerElement, 0, 31));
}

void Name_sobytie::Command2_Click()
{
    for (int i = 0; i < 16; ++i)
        station_.report.Rep_Names[size_t(i + 1)] = Name_Sob[size_t(i)]->text();
    station_.report.Rep_TriggerElement = static_cast<std::int16_t>(std::max(0, Combo1->currentIndex()));
    accept();
}

void Name_sobytie::Command1_Click() { reject(); }

void Name_sobytie::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(Qt::black);
    for (int i = 0; i < 16; ++i)
        p.drawText(QPoint(px(100), px(300 * i + 330) + 12), QString::number(i + 1));
}
