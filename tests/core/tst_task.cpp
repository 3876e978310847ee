// Background work: stop wakes paused work, results of a cancelled generation never arrive, and
// an owner destroyed before its work ends is simply not called.
#include "Task.h"

#include <QSemaphore>
#include <QTest>
#include <chrono>
#include <future>
#include <thread>

using namespace tv;

class TaskTest : public QObject {
    Q_OBJECT
private slots:
    // Stop meets work held by Pause at any moment of its wait; none may sleep through it.
    void stopAlwaysWakesPausedWork() {
        for (int round = 0; round < 20000; ++round) {
            auto control = std::make_shared<TaskControl>();
            control->pause();
            std::promise<bool> answered;
            std::future<bool> answer = answered.get_future();
            std::thread work([control, &answered]() { answered.set_value(control->proceed()); });
            control->cancel();
            if (answer.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                work.detach(); // it would never return; the failure is what matters
                QFAIL(qPrintable(QString("paused work missed the stop in round %1").arg(round)));
            }
            work.join();
            QVERIFY(!answer.get());
        }
    }

    void progressComesBeforeTheResultAndCancelledWorkIsNeverDelivered() {
        QObject owner;
        QThreadPool pool;
        TaskRunner runner(&owner, &pool);
        QSemaphore release;
        QStringList heard;

        // The first piece of work is held until after the cancel; it sees the stop switch.
        std::atomic_bool sawStop{false};
        runner.start(
            [&](TaskControl &control, const TaskProgress &progress) {
                progress(1, 2);
                release.acquire();
                sawStop = !control.proceed();
                return 1;
            },
            [&](int value) { heard << QString("old result %1").arg(value); },
            [&](qint64, qint64) { heard << "old progress"; });
        runner.cancel();
        release.release();
        pool.waitForDone();

        runner.start(
            [](TaskControl &control, const TaskProgress &progress) {
                progress(1, 3);
                progress(3, 3);
                return control.proceed() ? 7 : -1;
            },
            [&](int value) { heard << QString("result %1").arg(value); },
            [&](qint64 done, qint64 total) { heard << QString("%1/%2").arg(done).arg(total); });
        QTRY_COMPARE(heard, QStringList({"1/3", "3/3", "result 7"}));
        QVERIFY(sawStop);
        QCOMPARE(runner.generation(), 1);
    }

    void anOwnerGoneBeforeItsWorkEndsIsNotCalled() {
        QThreadPool pool;
        QSemaphore release;
        bool called = false;
        {
            QObject owner;
            TaskRunner runner(&owner, &pool);
            runner.start([&](TaskControl &, const TaskProgress &) { release.acquire(); },
                         [&]() { called = true; });
        }
        release.release();
        pool.waitForDone();
        QCoreApplication::processEvents();
        QVERIFY(!called);
    }
};

QTEST_GUILESS_MAIN(TaskTest)
#include "tst_task.moc"
