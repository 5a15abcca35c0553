#include <gtest/gtest.h>

#include "core/Komunikaty.h"
#include "core/Objects_globals.h"
#include "tests/support/ModelSupport.h"
#include "tests/support/RecordingWindow.h"

namespace {

TEST(ObiektyUstawOkno, MessagesReachTheWindowOnlyWhileOneIsSet) {
    GlobalModel model;
    PostujDoOkna(WM_ZDARZENIE, 5, 1); // no window yet: dropped
    EXPECT_EQ(WyslijDoOkna(WM_BRAMA, 0, 0), 0);
    {
        RecordingWindow okno;
        PostujDoOkna(WM_ZDARZENIE, 5, 1);
        WyslijDoOkna(WM_BRAMA, 0, 0);
        EXPECT_EQ(okno.messages(), (std::vector<RecordingWindow::Message>{{WM_ZDARZENIE, 5, 1, false}, {WM_BRAMA, 0, 0, true}}));
    }
    PostujDoOkna(WM_ZDARZENIE, 5, 1); // the window is gone: dropped again
}

} // namespace
