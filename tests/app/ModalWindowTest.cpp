#include "app/ModalWindow.h"
#include "support/QtTestApp.h"
#include <gtest/gtest.h>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <memory>

namespace {

class RefusingWindow : public QWidget {
public:
    bool refuse = true;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (refuse)
            event->ignore();
        else
            event->accept();
    }
};

class ModalWindowTest : public ::testing::Test {
protected:
    ModalWindowTest()
    {
        qtApp();
        owner = std::make_unique<QWidget>();
        owner->resize(200, 100);
        owner->show();
    }

    // Closing through the window frame: the window system sends a close event to the
    // native window.
    static void closeByFrame(QWidget *w)
    {
        ASSERT_NE(w->windowHandle(), nullptr);
        QCloseEvent event;
        QCoreApplication::sendEvent(w->windowHandle(), &event);
    }

    std::unique_ptr<QWidget> owner;
};

TEST_F(ModalWindowTest, OwnerIsDisabledWhileOpenAndEnabledAfterTheWindowsOwnButton)
{
    QWidget window;
    auto *ok = new QPushButton(QStringLiteral("Ok"), &window);
    QObject::connect(ok, &QPushButton::clicked, &window, &QWidget::close);

    ModalWindow::show(owner.get(), &window);
    EXPECT_FALSE(owner->isEnabled());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(ModalWindow::isOpen(&window));

    ok->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(owner->isEnabled());
    EXPECT_FALSE(ModalWindow::isOpen(&window));
}

TEST_F(ModalWindowTest, ClosingByTheWindowFrameEnablesTheOwner)
{
    QWidget window;
    ModalWindow::show(owner.get(), &window);
    ASSERT_FALSE(owner->isEnabled());
    closeByFrame(&window);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(ModalWindowTest, WindowThatRefusesToCloseKeepsTheOwnerDisabled)
{
    RefusingWindow window;
    ModalWindow::show(owner.get(), &window);
    closeByFrame(&window);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(owner->isEnabled());
    window.refuse = false;
    window.close();
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(ModalWindowTest, HidingOrDeletingTheWindowEnablesTheOwner)
{
    QWidget hidden;
    ModalWindow::show(owner.get(), &hidden);
    hidden.hide();
    EXPECT_TRUE(owner->isEnabled());

    auto *deleted = new QWidget;
    ModalWindow::show(owner.get(), deleted);
    EXPECT_FALSE(owner->isEnabled());
    delete deleted;
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(ModalWindowTest, ReopeningWorksAndShowingAnOpenWindowTwiceHoldsOnce)
{
    QWidget window;
    ModalWindow::show(owner.get(), &window);
    window.close();
    ASSERT_TRUE(owner->isEnabled());

    ModalWindow::show(owner.get(), &window);
    ModalWindow::show(owner.get(), &window);
    EXPECT_FALSE(owner->isEnabled());
    EXPECT_EQ(ModalWindow::holds(owner.get()), 1);
    window.close();
    EXPECT_TRUE(owner->isEnabled());
    EXPECT_EQ(ModalWindow::holds(owner.get()), 0);
}

TEST_F(ModalWindowTest, OwnerStaysDisabledUntilTheLastHolderLetsGo)
{
    QWidget window;
    ModalWindow::show(owner.get(), &window);
    ModalWindow::hold(owner.get());   // e.g. a download starts while the window is open
    window.close();
    EXPECT_FALSE(owner->isEnabled());
    ModalWindow::release(owner.get());
    EXPECT_TRUE(owner->isEnabled());
    ModalWindow::release(owner.get());   // an extra release neither enables nor underflows
    EXPECT_EQ(ModalWindow::holds(owner.get()), 0);
    ModalWindow::hold(owner.get());
    EXPECT_FALSE(owner->isEnabled());
    ModalWindow::release(owner.get());
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(ModalWindowTest, ChildOfTheOwnerBecomesAUsableWindowDeletedWithTheOwner)
{
    QPointer<QWidget> child = new QWidget(owner.get());
    auto *button = new QPushButton(QStringLiteral("Ok"), child);
    ModalWindow::show(owner.get(), child);
    EXPECT_FALSE(owner->isEnabled());
    EXPECT_TRUE(child->isWindow());
    EXPECT_TRUE(child->isEnabled()) << "the opened window must accept input";
    EXPECT_TRUE(button->isEnabled());
    owner.reset();
    EXPECT_TRUE(child.isNull());
}

TEST_F(ModalWindowTest, WindowOwnedByAWidgetOfTheOwnerIsNotDisabledWithIt)
{
    // A dialog-style window whose parent sits inside the owner (as the block inspector does).
    auto *inner = new QWidget(owner.get());
    QPointer<QWidget> window = new QWidget(inner, Qt::Window);
    ModalWindow::show(owner.get(), window);
    EXPECT_FALSE(owner->isEnabled());
    EXPECT_TRUE(window->isEnabled()) << "the opened window must accept input";
    window->close();
    EXPECT_TRUE(owner->isEnabled());
    owner.reset();
    EXPECT_TRUE(window.isNull());
}

}   // namespace
