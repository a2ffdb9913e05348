// Messages posted between windows and worker threads.
#include "platform/posted_message.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

class Receiver : public QObject {
public:
    int number = 0;
    qintptr wParam = 0, lParam = 0;
    QString path;
    QThread* deliveredOn = nullptr;

protected:
    void customEvent(QEvent* e) override
    {
        auto* m = static_cast<PostedMessage*>(e);
        number = m->number();
        wParam = m->wParam();
        lParam = m->lParam();
        if (const QString* p = m->payload<QString>())
            path = *p;
        deliveredOn = QThread::currentThread();
    }
};

}  // namespace

TEST(PostedMessage, FromAWorkerThreadArrivesOnTheReceiversThreadWithItsPayload)
{
    Receiver receiver;
    std::unique_ptr<QThread> worker(QThread::create(
        [&receiver] { postMessage(&receiver, msg::FileSaved, 1, 2, QStringLiteral("/pics/20261208101500.jpg")); }));
    worker->start();
    worker->wait();
    EXPECT_EQ(receiver.number, 0);  // not before the receiver's loop runs
    QCoreApplication::sendPostedEvents(&receiver);
    EXPECT_EQ(receiver.number, 1133);
    EXPECT_EQ(receiver.wParam, 1);
    EXPECT_EQ(receiver.lParam, 2);
    EXPECT_EQ(receiver.path, QStringLiteral("/pics/20261208101500.jpg"));
    EXPECT_EQ(receiver.deliveredOn, QThread::currentThread());
}

TEST(PostedMessage, PayloadOfAMessageNeverDeliveredIsFreed)
{
    auto record = std::make_shared<int>(5);
    std::weak_ptr<int> watch = record;
    {
        auto* receiver = new Receiver;
        ASSERT_TRUE(postMessage(receiver, msg::StillDue, 0, 0, std::move(record)));
        delete receiver;  // the window closed before the message was handled
    }
    EXPECT_TRUE(watch.expired());
}

TEST(PostedMessage, RejectsNumbersOutsideTheUserRangeAndMissingReceivers)
{
    Receiver receiver;
    EXPECT_FALSE(postMessage(&receiver, 12));
    EXPECT_FALSE(postMessage(&receiver, 70000));
    EXPECT_FALSE(postMessage(nullptr, msg::StillDue));
    EXPECT_TRUE(postMessage(&receiver, msg::StillDue));
    QCoreApplication::sendPostedEvents(&receiver);
    EXPECT_EQ(receiver.number, msg::StillDue);
}
