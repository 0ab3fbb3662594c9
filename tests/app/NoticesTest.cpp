#include "app/Notices.h"
#include "support/QtTestApp.h"

#include <QAbstractButton>
#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

// Every notice behaves alike: OK only, shown at once without a nested event loop,
// application-modal, free of any window that might be held disabled, gone when answered, and
// gone with its owner when still open.
TEST(Notices, ShowAtOnceModalOverEverythingAndGoWhenAnsweredOrWithTheirOwner)
{
    qtApp();
    QWidget heldWindow;
    heldWindow.setEnabled(false);
    heldWindow.show();

    auto notices = std::make_unique<Notices>();
    struct Case {
        QMessageBox::Icon icon;
        const char *title;
        const char *text;
    };
    const Case cases[] = {
        {QMessageBox::Critical, "Помилка", "Файл заблоковано!!!"},
        {QMessageBox::Warning, "Графік", "Невірний номер групи!!!"},
        {QMessageBox::Information, "Журнал", "Файл збережено: /tmp/a.xlsx"},
    };
    std::vector<QPointer<QMessageBox>> shown;
    for (const Case &c : cases) {
        QMessageBox *box = notices->show(c.icon, QString::fromUtf8(c.title), QString::fromUtf8(c.text));
        ASSERT_NE(box, nullptr);
        // Returned with the box already up: no event loop ran to wait for the answer.
        EXPECT_TRUE(box->isVisible());
        EXPECT_TRUE(box->isEnabled());
        EXPECT_EQ(box->parentWidget(), nullptr);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(box->text(), QString::fromUtf8(c.text));
        shown.emplace_back(box);
    }
    ASSERT_EQ(notices->open().size(), 3u);
    EXPECT_EQ(notices->open()[0], shown[0].data());
    EXPECT_EQ(notices->open()[2], shown[2].data());

    // Answered: closed and deleted, no longer listed.
    shown[1]->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(spinUntil([&] { return shown[1].isNull(); }));
    ASSERT_EQ(notices->open().size(), 2u);
    EXPECT_EQ(notices->open()[1], shown[2].data());

    // The owner goes: so do its boxes.
    notices.reset();
    EXPECT_TRUE(shown[0].isNull());
    EXPECT_TRUE(shown[2].isNull());
}
