#include "ui/WorkProgress.h"
#include "core/Error.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwick {
namespace {

QProgressDialog* visibleProgress(QWidget& window) {
    auto* dialog = window.findChild<QProgressDialog*>("WorkProgress");
    return dialog && dialog->isVisible() ? dialog : nullptr;
}

// Work that goes on until told to stop shows the progress dialog with its percent; Cancel stops
// it, and input to the window meanwhile is dropped.
TEST(WorkProgress, CancelStopsTheWorkAndTheWindowTakesNoInput) {
    QMainWindow window;
    window.show();
    int keysSeen = 0;
    struct KeyCounter : QObject {
        int& seen;
        explicit KeyCounter(int& s) : seen(s) {}
        bool eventFilter(QObject*, QEvent* event) override {
            seen += event->type() == QEvent::KeyPress;
            return false;
        }
    } counter(keysSeen);
    window.installEventFilter(&counter);
    int percentShown = -1;
    QTimer::singleShot(WindowWorkRunner::kShowAfterMs + 300, [&] {
        QTest::keyClick(&window, Qt::Key_A);
        if (auto* dialog = visibleProgress(window)) {
            percentShown = dialog->value();
            dialog->cancel();
        }
    });
    WindowWorkRunner runner(&window);
    const bool finished = runner.run("Comparing", [](const GoOn& goOn) {
        while (goOn(1, 4))
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(percentShown, 25);
    EXPECT_EQ(keysSeen, 0);
    EXPECT_EQ(visibleProgress(window), nullptr);
}

// Quick work shows no dialog; the work's own error reaches the caller.
TEST(WorkProgress, QuickWorkShowsNothingAndErrorsPassThrough) {
    QMainWindow window;
    window.show();
    bool shown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { shown = shown || visibleProgress(window); });
    watch.start(5);
    WindowWorkRunner runner(&window);
    int calls = 0;
    EXPECT_TRUE(runner.run("Writing", [&](const GoOn& goOn) { calls += goOn(0, 0); }));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(shown);
    EXPECT_THROW(runner.run("Writing", [](const GoOn&) { throw Error("disk full"); }), Error);
}

// Work that cannot be stopped (freeing memory) shows its phase without a button that would do
// nothing; Escape and the window's close box wait for it.
TEST(WorkProgress, WorkThatCannotStopOffersNoCancel) {
    QMainWindow window;
    window.show();
    bool shown = false;
    qsizetype buttons = -1;
    QTimer::singleShot(WindowWorkRunner::kShowAfterMs + 200, [&] {
        if (auto* dialog = visibleProgress(window)) {
            shown = true;
            buttons = 0;
            for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                buttons += button->isVisible();
            QTest::keyClick(dialog, Qt::Key_Escape);
            window.close();
        }
    });
    bool ended = false;
    WindowWorkRunner runner(&window);
    runner.runToEnd("Freeing memory", [&] {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(WindowWorkRunner::kShowAfterMs + 500));
        ended = true;
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(buttons, 0);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(visibleProgress(window), nullptr);
}

} // namespace
} // namespace tarnwick
