#pragma once
// The real main frame over a small sample installation (one per test suite, a registry per test),
// built by a document template with the viewer's document, as the program's start-up builds it.

#include "tests/app/frame_fixture.h"

#include "app/Config.h"
#include "app/History.h"
#include "app/MediaView.h"
#include "app/ViewerDoc.h"
#include "platform/sys/shell.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleWriter.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

inline std::string readWholeTestFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SampleFrameTest : public FrameTest {
protected:
    static constexpr int kPeople = 40;
    // The frame class the template builds: CMainFrame or a test's own kind of it.
    virtual CRuntimeClass* FrameClass() const { return RUNTIME_CLASS(CMainFrame); }

    static void SetUpTestSuite()
    {
        namespace fs = std::filesystem;
        const std::string suite = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
        s_root = new fs::path(fs::temp_directory_path() / ("pv_" + suite + "_" + std::to_string(::getpid())));
        fs::remove_all(*s_root);
        pvsample::SampleOptions options;
        options.dir = (*s_root / "sample").string();
        options.people = kPeople;
        s_paths = new pvsample::SamplePaths(pvsample::WriteSampleDirectory(options));
    }
    static void TearDownTestSuite()
    {
        std::filesystem::remove_all(*s_root);
        delete s_paths;
        delete s_root;
        s_paths = nullptr;
        s_root = nullptr;
    }
    void SetUp() override
    {
        FrameTest::SetUp();
        PvResetStartupAbandoned();
        registry = *s_root / ("registry_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(registry);
        ::setenv("PV_REGISTRY_DIR", registry.c_str(), 1);
        pvsample::RegisterSampleDirectory(*s_paths);
        ResetConfiguration();
        ASSERT_TRUE(LoadConfiguration());
        HistoryInit();
        if (OpensAtSetUp())
            OpenFrame();
    }
    // A test that prepares the installation further first opens the frame itself.
    virtual bool OpensAtSetUp() const { return true; }
    void OpenFrame()
    {
        m_template = std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(CViewerDoc),
                                                          FrameClass(), RUNTIME_CLASS(CDaoqueryView));
        CDocument* doc = m_template->OpenDocumentFile(nullptr);
        ASSERT_NE(doc, nullptr);
        POSITION pos = doc->GetFirstViewPosition();
        frame = static_cast<CMainFrame*>(doc->GetNextView(pos)->GetParentFrame());
        Pump();
        view = frame->m_pMediaView;
        ASSERT_NE(view, nullptr);
        ASSERT_NE(view->GetBrowser(), nullptr);
    }
    void TearDown() override
    {
        PvSetShellOpener(nullptr);
        // Closed as the user does: the directory view keeps its layout before its document goes.
        if (frame && ::IsWindow(frame->GetSafeHwnd()))
            frame->SendMessage(WM_CLOSE);
        Pump();
        FrameTest::TearDown();
        HistoryFree();
        ::unsetenv("PV_REGISTRY_DIR");
        std::filesystem::remove_all(registry);
        ResetConfiguration();
    }
    void command(UINT nID)
    {
        frame->SendMessage(WM_COMMAND, nID);
        Pump();
    }
    BOOL enabled(UINT nID) { return enabledIn(frame, nID); }

    static inline std::filesystem::path* s_root = nullptr;
    static inline pvsample::SamplePaths* s_paths = nullptr;
    std::filesystem::path registry;
    CMainFrame* frame = nullptr;
    CMediaView* view = nullptr;
    MsgBoxLog boxes;
};
