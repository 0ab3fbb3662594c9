#include "journal/Go_Jurnal.h"
#include "text/Numbers.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

Go_Jurnal::Go_Jurnal(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Go_Jurnal"));
    setWindowTitle(QStringLiteral("Перехід"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Введіть № сторінки (1-32)"), this), 0, 0, 1, 2);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    grid->addWidget(Text1, 1, 0, 1, 2);
    Ok = new QPushButton(QStringLiteral("Ok"), this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Ok->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    grid->addWidget(Ok, 2, 0);
    grid->addWidget(Cancel, 2, 1);
    connect(Ok, &QPushButton::clicked, this, &Go_Jurnal::Ok_Click);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Go_Jurnal::Ok_Click()
{
    const double v = text::val(Text1->text());
    long long n = std::isfinite(v) ? std::llround(std::clamp(v, -1e9, 1e9)) : 1;
    if (n > 32) {
        n = 32;
        Text1->setText(QStringLiteral("32"));
    } else if (n < 1) {
        n = 1;
        Text1->setText(QStringLiteral("1"));
    }
    Q_EMIT pageChosen(static_cast<int>(n) - 1);
    accept();
}
