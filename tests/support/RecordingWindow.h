#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/messages/WindowHandle.h"

// A main window that records every message it is posted or sent, from any
// thread; installed as the model's window for as long as it lives.
class RecordingWindow : public platform::WindowHandle {
public:
    struct Message {
        unsigned message;
        std::intptr_t wParam;
        std::intptr_t lParam;
        bool sent;
        bool operator==(const Message&) const = default;
    };

    RecordingWindow();
    ~RecordingWindow() override;

    void Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t Send(unsigned message, std::intptr_t wParam, std::intptr_t lParam) override;

    std::vector<Message> messages() const;
    int count(unsigned message) const;
    void clear();

private:
    void record(Message m);
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};
