#include "link/Set_SP_US1.h"

#include "app/Messages.h"
#include "link/SetPoint.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

Set_SP_US1::Set_SP_US1(LinkStation station, std::uint8_t block, std::uint8_t pin, QWidget *parent)
    : QDialog(parent), station_(station), block_(block), pin_(pin)
{
    setObjectName(QStringLiteral("Set_SP_US1"));
    setWindowTitle(QStringLiteral("Встановлення завдання"));

    Target_Label = new QLabel(this);
    Target_Label->setObjectName(QStringLiteral("Target_Label"));
    Current_Label = new QLabel(this);
    Current_Label->setObjectName(QStringLiteral("Current_Label"));
    setTarget(QString(), QString());

    Text_SP_US1 = new QLineEdit(QStringLiteral("0"), this);
    Text_SP_US1->setObjectName(QStringLiteral("Text_SP_US1"));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    Text_SP_US1->setFont(fixed);
    Command2 = new QPushButton(QStringLiteral("Ok"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1 = new QPushButton(QStringLiteral("Відміна"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    // Enter in the value box is Ok.
    Command2->setDefault(true);
    Command2->setAutoDefault(false);
    Command1->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Target_Label);
    layout->addWidget(Current_Label);
    layout->addWidget(Text_SP_US1);
    layout->addLayout(buttons);

    connect(Command2, &QPushButton::clicked, this, &Set_SP_US1::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &QDialog::reject);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(10);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &Set_SP_US1::Timer1_Timer);
    Timer1.start();
}

Set_SP_US1 *Set_SP_US1::openFor(LinkStation station, int block, int pin, QWidget *mainWindow)
{
    if (block < 1 || block >= ProjectModel::Blocks || pin < 0 || pin > 255)
        return nullptr;
    if (!setpoint::typeAccepts(station.project.blockType[block]))
        return nullptr;
    auto *dialog =
        new Set_SP_US1(station, static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(pin), mainWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Blocks the main window the way the dialog's caller expects, without running a nested
    // event loop inside the click that opened it.
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}

void Set_SP_US1::setTarget(const QString &name, const QString &current)
{
    QString target = QStringLiteral("Блок U%1, вихід %2").arg(block_).arg(pin_);
    if (!name.trimmed().isEmpty())
        target += QStringLiteral(": ") + name.trimmed();
    Target_Label->setText(target);
    Current_Label->setText(QStringLiteral("Поточне значення: ")
                           + (current.trimmed().isEmpty() ? QStringLiteral("невідоме") : current.trimmed()));
}

void Set_SP_US1::Timer1_Timer()
{
    // The operator types at once: the value box takes the focus with its text selected.
    Timer1.stop();
    Text_SP_US1->setFocus();
    Text_SP_US1->selectAll();
}

void Set_SP_US1::Command2_Click()
{
    if (!setpoint::accept(station_.write, block_, pin_, Text_SP_US1->text())) {
        // The dialog stays open so the operator can correct the value or cancel.
        notices_.show(QMessageBox::Critical, msg::ErrorTitle, msg::ParameterError);
        return;
    }
    Q_EMIT written();
    accept();
}
