#include "link/Set_SP_US1.h"
#include "station/Station.h"
#include "support/QtTestApp.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

QMessageBox *openMessageBox()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            return box;
    return nullptr;
}

class SetPointDialog : public ::testing::Test {
protected:
    ~SetPointDialog() override
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
    }
    QApplication &application = qtApp();   // before any widget
    std::unique_ptr<Station> st = std::make_unique<Station>();
    QWidget mainWindow;
};

TEST_F(SetPointDialog, ShowsItsCaptionControlsAndInitialValue)
{
    Set_SP_US1 d(*st, 7, 3);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Встановлення завдання"));
    EXPECT_EQ(d.Text_SP_US1->text(), QStringLiteral("0"));
    EXPECT_TRUE(d.Text_SP_US1->font().fixedPitch());
    EXPECT_EQ(d.Command2->text(), QStringLiteral("Ok"));
    EXPECT_EQ(d.Command1->text(), QStringLiteral("Відміна"));
    EXPECT_EQ(d.Timer1.interval(), 10);
    EXPECT_TRUE(d.Timer1.isActive());
}

TEST_F(SetPointDialog, FirstTimerTickPutsTheFocusInTheValueBoxAndStopsTheTimer)
{
    mainWindow.show();
    Set_SP_US1 *d = Set_SP_US1::openFor(*st, 7, 3, &mainWindow);
    st->project.blockType[7] = 26;
    ASSERT_EQ(d, nullptr);   // type 0: no set-point
    d = Set_SP_US1::openFor(*st, 7, 3, &mainWindow);
    ASSERT_NE(d, nullptr);
    d->activateWindow();
    ASSERT_TRUE(spinUntil([&] { return !d->Timer1.isActive(); }));
    EXPECT_EQ(d->focusWidget(), d->Text_SP_US1);
    EXPECT_EQ(d->Text_SP_US1->selectedText(), QStringLiteral("0"));
    EXPECT_EQ(d->windowModality(), Qt::ApplicationModal);
    d->close();
}

TEST_F(SetPointDialog, OkStoresThePendingWriteForItsBlockAndPin)
{
    Set_SP_US1 d(*st, 7, 3);
    int written = 0;
    QObject::connect(&d, &Set_SP_US1::written, [&] { ++written; });
    d.show();
    d.Text_SP_US1->setText(QStringLiteral("-1.5"));
    d.Command2->click();
    EXPECT_EQ(written, 1);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(st->write.flag, 1);
    EXPECT_EQ(st->write.block, 7);
    EXPECT_EQ(st->write.pin, 3);
    EXPECT_EQ(st->write.bytes, (std::array<std::uint8_t, 4>{0xDC, 0x05, 0x00, 0x80}));
}

TEST_F(SetPointDialog, CancelAfterAnEarlierOkLeavesThatWritePendingAndAimedWhereItWas)
{
    {
        Set_SP_US1 first(*st, 7, 3);
        first.Text_SP_US1->setText(QStringLiteral("2"));
        first.Command2->click();
    }
    Set_SP_US1 second(*st, 9, 1);
    second.show();
    second.Text_SP_US1->setText(QStringLiteral("55"));
    second.Command1->click();
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(st->write.flag, 1);
    EXPECT_EQ(st->write.block, 7);
    EXPECT_EQ(st->write.pin, 3);
    EXPECT_EQ(st->write.value, 2.0f);
}

TEST_F(SetPointDialog, AValueTooLargeToSendShowsParameterErrorAndChangesNothing)
{
    {
        Set_SP_US1 first(*st, 7, 3);
        first.Text_SP_US1->setText(QStringLiteral("2"));
        first.Command2->click();
    }
    const PendingWrite before = st->write;
    Set_SP_US1 d(*st, 9, 1);
    d.show();
    d.Text_SP_US1->setText(QStringLiteral("3000000"));
    d.Command2->click();
    QMessageBox *box = nullptr;
    ASSERT_TRUE(spinUntil([&] { return (box = openMessageBox()) != nullptr; }));
    EXPECT_EQ(box->text(), QStringLiteral("Помилка параметра"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Помилка"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_TRUE(d.isVisible());   // the operator may correct the value
    EXPECT_EQ(st->write.block, before.block);
    EXPECT_EQ(st->write.pin, before.pin);
    EXPECT_EQ(st->write.value, before.value);
    EXPECT_EQ(st->write.bytes, before.bytes);
    EXPECT_EQ(st->write.flag, 1);
    QPointer<QMessageBox> guard(box);
    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(spinUntil([&] { return guard.isNull(); }));
}

// Typed as an operator types: the value, then Enter.
TEST_F(SetPointDialog, NamesItsSetPointAndTakesTheTypedValueOnEnterOrRefusesIt)
{
    Set_SP_US1 named(*st, 12, 3);
    named.setTarget(QStringLiteral("Тиск"), QStringLiteral("42.5"));
    EXPECT_EQ(named.Target_Label->text(), QStringLiteral("Блок U12, вихід 3: Тиск"));
    EXPECT_EQ(named.Current_Label->text(), QStringLiteral("Поточне значення: 42.5"));
    named.setTarget(QString(), QString());
    EXPECT_EQ(named.Target_Label->text(), QStringLiteral("Блок U12, вихід 3"));
    EXPECT_EQ(named.Current_Label->text(), QStringLiteral("Поточне значення: невідоме"));

    struct Case {
        const char *typed;
        bool taken;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {{"1,4", true, {0x78, 0x05, 0x00, 0x00}},
                          {"-0,5", true, {0xF4, 0x01, 0x00, 0x80}},
                          {"1,4,5", false, {}},
                          {"", false, {}}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        st->write = {};
        mainWindow.show();
        QPointer<Set_SP_US1> d = Set_SP_US1::openFor(*st, 12, 3, &mainWindow);
        if (!d) {
            st->project.blockType[12] = 25;
            d = Set_SP_US1::openFor(*st, 12, 3, &mainWindow);
        }
        ASSERT_FALSE(d.isNull());
        d->activateWindow();
        ASSERT_TRUE(spinUntil([&] { return !d->Timer1.isActive(); }));
        QWidget *box = QApplication::focusWidget();
        ASSERT_EQ(box, d->Text_SP_US1);
        QTest::keyClick(box, Qt::Key_Backspace);   // the selected "0"
        QTest::keyClicks(box, QString::fromUtf8(c.typed));
        QTest::keyClick(box, Qt::Key_Return);
        if (c.taken) {
            EXPECT_TRUE(spinUntil([&] { return d.isNull(); }));
            EXPECT_EQ(st->write.flag, 1);
            EXPECT_EQ(st->write.block, 12);
            EXPECT_EQ(st->write.pin, 3);
            EXPECT_EQ(st->write.bytes, c.bytes);
        } else {
            QMessageBox *message = nullptr;
            ASSERT_TRUE(spinUntil([&] { return (message = openMessageBox()) != nullptr; }));
            EXPECT_EQ(message->text(), QStringLiteral("Помилка параметра"));
            EXPECT_EQ(message->windowTitle(), QStringLiteral("Помилка"));
            EXPECT_EQ(st->write.flag, 0);
            QPointer<QMessageBox> guard(message);
            message->button(QMessageBox::Ok)->click();
            EXPECT_TRUE(spinUntil([&] { return guard.isNull(); }));
            ASSERT_FALSE(d.isNull());
            d->close();
            EXPECT_TRUE(spinUntil([&] { return d.isNull(); }));
        }
    }
}

TEST_F(SetPointDialog, OnlySettableBlocksOpenTheDialog)
{
    st->project.blockType[4] = 1;    // A_I
    st->project.blockType[5] = 38;   // OSC
    EXPECT_EQ(Set_SP_US1::openFor(*st, 4, 0, &mainWindow), nullptr);
    EXPECT_EQ(Set_SP_US1::openFor(*st, 0, 0, &mainWindow), nullptr);
    EXPECT_EQ(Set_SP_US1::openFor(*st, 100, 0, &mainWindow), nullptr);
    QPointer<Set_SP_US1> d = Set_SP_US1::openFor(*st, 5, 2, &mainWindow);
    ASSERT_FALSE(d.isNull());
    EXPECT_EQ(d->block(), 5);
    EXPECT_EQ(d->pin(), 2);
    d->close();
    EXPECT_TRUE(spinUntil([&] { return d.isNull(); }));   // deletes itself
}

}   // namespace
