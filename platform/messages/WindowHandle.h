#pragma once
#include <cstdint>

namespace platform {

// The receiver of window messages (message, wParam, lParam). The main window
// implements it; tests record. A message sent from a thread other than the
// receiver's own is delivered as a posted one, so no thread waits on the main
// thread.
class WindowHandle {
public:
    virtual ~WindowHandle();
    virtual void Post(unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
    virtual std::intptr_t Send(unsigned message, std::intptr_t wParam, std::intptr_t lParam) = 0;
};

// The first user message number of the window system; the desk's own
// messages are counted from it.
constexpr unsigned WM_USER = 0x0400;

} // namespace platform
