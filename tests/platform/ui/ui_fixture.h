#pragma once
// Shared pieces of the framework tests: a headless desktop per test, stand-in BUTTON and EDIT
// classes (the real controls live in another library), and a small application.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/ui.h"

// Minimal BUTTON and EDIT window classes: enough for dialog navigation and data exchange.
void RegisterStandInControls();

class UiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        RegisterStandInControls();
    }
    void TearDown() override
    {
        PvResetWindowSystem();
        PvUiPumpMessages();
    }
    static void Pump()
    {
        for (int i = 0; i < 8 && PvUiPumpMessages() > 0; ++i) {
        }
    }
};

inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
