#include "tests/support/RecordingWindow.h"

#include <algorithm>

#include "core/Objects_globals.h"

RecordingWindow::RecordingWindow() { ObiektyUstawOkno(this); }

RecordingWindow::~RecordingWindow() { ObiektyUstawOkno(nullptr); }

void RecordingWindow::Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    record({message, wParam, lParam, false});
}

std::intptr_t RecordingWindow::Send(unsigned message, std::intptr_t wParam, std::intptr_t lParam) {
    record({message, wParam, lParam, true});
    return 0;
}

void RecordingWindow::record(Message m) {
    std::lock_guard lock(mutex_);
    messages_.push_back(m);
}

std::vector<RecordingWindow::Message> RecordingWindow::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

int RecordingWindow::count(unsigned message) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(messages_.begin(), messages_.end(), [&](const Message& m) { return m.message == message; }));
}

void RecordingWindow::clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}
