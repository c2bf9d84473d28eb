// The wait-cursor counter of the record-grid tests (the application header stays out of the
// fixture, which includes the controls' definitions).

#include <memory>

#include "platform/ui/winapp.h"

class WaitCursorCounter {
public:
    WaitCursorCounter();
    ~WaitCursorCounter();
    int Count() const;
    void Reset();

private:
    struct App;
    std::unique_ptr<App> m_pApp;
};

struct WaitCursorCounter::App : CWinApp {
    void DoWaitCursor(int nCode) override
    {
        if (nCode > 0)
            ++m_nWaits;
    }
    int m_nWaits = 0;
};

WaitCursorCounter::WaitCursorCounter() : m_pApp(std::make_unique<App>()) {}
WaitCursorCounter::~WaitCursorCounter() = default;
int WaitCursorCounter::Count() const { return m_pApp->m_nWaits; }
void WaitCursorCounter::Reset() { m_pApp->m_nWaits = 0; }
