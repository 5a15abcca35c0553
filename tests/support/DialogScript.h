#pragma once
#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>

#include <functional>
#include <vector>

// Plays the operator's part in a modal dialog: each step runs inside the
// dialog's own loop once it is shown and the step before has returned. A
// dialog still open after the last step is cancelled, so a test never
// hangs, and the test fails.
template <class Call>
auto Play(QDialog& dialog, std::vector<std::function<void()>> steps, Call call) {
    std::size_t next = 0;
    bool shown = false;
    QTimer timer;
    timer.callOnTimeout([&] {
        if (!dialog.isVisible()) {
            if (shown)
                timer.stop();
            return;
        }
        shown = true;
        if (next < steps.size()) {
            steps[next++]();
            return;
        }
        ADD_FAILURE() << "the dialog is still open after the last step";
        dialog.reject();
    });
    timer.start(0);
    auto result = call();
    timer.stop();
    EXPECT_EQ(next, steps.size()) << "the dialog closed before every step ran";
    return result;
}
