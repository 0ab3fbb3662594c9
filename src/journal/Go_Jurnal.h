#pragma once
// "Перехід": the go-to-page window. Ok takes the number typed (rounded), clamps it to 1..32
// showing the clamped number in the box, and reports page number - 1.
#include <QDialog>

class QLineEdit;
class QPushButton;

class Go_Jurnal : public QDialog {
    Q_OBJECT
public:
    explicit Go_Jurnal(QWidget *parent = nullptr);

    QLineEdit *Text1 = nullptr;
    QPushButton *Ok = nullptr;
    QPushButton *Cancel = nullptr;

public Q_SLOTS:
    void Ok_Click();

Q_SIGNALS:
    void pageChosen(int page);   // 0..31
};
