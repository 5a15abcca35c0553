#include "platform/messages/WindowHandle.h"

namespace platform {

WindowHandle::~WindowHandle() = default;

} // namespace platform
