#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <unistd.h>

#include "platform/ui/SingleInstance.h"
#include "tests/support/QtTestApplication.h"

using platform::ui::SingleInstance;

namespace {

// A name of this test's own, so parallel test programs never meet.
QString UniqueName() {
    static int counter = 0;
    return QStringLiteral("kandor_event_test_%1_%2").arg(getpid()).arg(++counter);
}

// Runs the event loop until the condition holds or 5 s have passed.
template <typename Condition>
bool WaitFor(Condition condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 5000)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// The peer program's first line, or everything it printed once it ended.
QString ReadLine(QProcess& peer) {
    WaitFor([&] { return peer.canReadLine() || peer.state() == QProcess::NotRunning; });
    return QString::fromLocal8Bit(peer.readLine()).trimmed();
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
    void StartPeer(QProcess& peer) {
        peer.setProgram(QStringLiteral(SINGLE_INSTANCE_PEER));
        peer.setArguments({name});
        peer.start();
        ASSERT_TRUE(peer.waitForStarted(5000));
    }
    const QString name = UniqueName();
};

} // namespace

TEST_F(SingleInstanceTest, SecondProcessRaisesTheFirst) {
    SingleInstance first(name);
    ASSERT_TRUE(first.registerInstance());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raised, [&] { ++raised; });

    QProcess second;
    StartPeer(second);
    // The first copy answers from its event loop, which only the wait turns.
    EXPECT_TRUE(WaitFor([&] { return raised == 1 && second.state() == QProcess::NotRunning; }));
    EXPECT_EQ(QString::fromLocal8Bit(second.readAllStandardOutput()).trimmed(), "second");
    EXPECT_EQ(raised, 1);
}

TEST_F(SingleInstanceTest, LaterCopyInThisProcessFindsTheFirstProcess) {
    QProcess first;
    StartPeer(first);
    ASSERT_EQ(ReadLine(first), "first");

    SingleInstance later(name);
    EXPECT_FALSE(later.registerInstance());
    later.notify();
    EXPECT_EQ(ReadLine(first), "raised");
    EXPECT_TRUE(WaitFor([&] { return first.state() == QProcess::NotRunning; })) << "a raised first copy ends";
}

TEST_F(SingleInstanceTest, KilledFirstInstanceLeavesNoLock) {
    QProcess first;
    StartPeer(first);
    ASSERT_EQ(ReadLine(first), "first");
    first.kill(); // SIGKILL: its socket file stays behind
    ASSERT_TRUE(first.waitForFinished(5000));

    SingleInstance next(name);
    EXPECT_TRUE(next.registerInstance()) << "the stale name is taken over";
    EXPECT_TRUE(next.listening());

    QProcess second;
    StartPeer(second);
    int raised = 0;
    QObject::connect(&next, &SingleInstance::raised, [&] { ++raised; });
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
}
