#include "grid/controls/gxctlfactory.h"


#include <gtest/gtest.h>

#include <cstdio>

#include "grid/core/gxlibdata.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxuattr.h"
#include "platform/win/win.h"

namespace {



// The library state is the process's; leave the core's number slot as the other tests expect it.
struct LibraryScope {
    LibraryScope() : saved(GXGetAppData()->m_pNumberFormattingImp) {}
    ~LibraryScope() { GXGetAppData()->m_pNumberFormattingImp = saved; }
    CGXAbstractNumberFormattingImp* saved;
};

TEST(GXLibraryState, InitialisingTwiceRegistersNothingTwice)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    LibraryScope scope;
    CGXGridLibraryState& state = GXGetLibraryState();

    InitGridLibraryWithFactory();
    ASSERT_EQ(state.m_bInitialized, 1);
    CGXAbstractControlFactory* pFirst = state.m_pControlFactory;
    ASSERT_NE(pFirst, nullptr);
    const UINT nFormat = state.m_nStylesClipboardFormat;
    const CString strFormat = state.m_strStylesClipboardFormatName;
    const size_t nServices = state.GetDeleteListCount();
    char expected[64];
    snprintf(expected, sizeof(expected), "Grid Styles %08x",
             unsigned(reinterpret_cast<uintptr_t>(AfxGetInstanceHandle())));
    EXPECT_STREQ(strFormat, expected);
    EXPECT_NE(nFormat, 0u);

    WNDCLASS wc {};
    ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc));
    EXPECT_EQ(wc.style, 0x400Bu);
    ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXNDBLCLKSWND", &wc));
    EXPECT_EQ(wc.style, 0x4003u);
    ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GxMdiFrame", &wc));
    EXPECT_EQ(wc.style, 0x4008u);

    EXPECT_STREQ(state.m_astrTexts[gxTextRedoing], "Redoing %1 ...");
    EXPECT_STREQ(state.m_astrTexts[gxTextClipboardSize], "Clipboard size is different from selected range");
    EXPECT_STREQ(state.m_astrTexts[gxTextMove], "Move");
    EXPECT_STREQ(state.m_astrLongOpTexts[gxLongOpPressEsc], "Press ESC to cancel");
    EXPECT_FALSE(state.m_strPopupClassName.IsEmpty());
    EXPECT_EQ(state.m_bWin32s, 0);
    EXPECT_EQ(state.m_bNewLook, 1);

    EXPECT_NE(dynamic_cast<CGXOleDateTimeImp*>(GXGetDateTimeImp()), nullptr) << "the OLE variant keeps the slot";
    ASSERT_NE(GXGetNumberFormattingImp(), nullptr);
    EXPECT_EQ(GXGetAppData()->m_pNumberFormattingImp, GXGetNumberFormattingImp());
    EXPECT_NE(GXGetDrawRotatedTextImp(), nullptr);

    InitGridLibraryWithFactory();
    EXPECT_EQ(state.m_nStylesClipboardFormat, nFormat);
    EXPECT_STREQ(state.m_strStylesClipboardFormatName, strFormat);
    EXPECT_EQ(state.GetDeleteListCount(), nServices) << "services are installed once";
    EXPECT_NE(state.m_pControlFactory, nullptr);
    ASSERT_TRUE(GetClassInfo(AfxGetInstanceHandle(), "GXWND", &wc));

    SetGridLookDefaults(1, 2, 1);
    EXPECT_EQ(GXGetAppData()->m_nLookOptions[1], 2);
    SetGridPopupActive(TRUE);
    EXPECT_TRUE(GetGridPopupActive());
    SetGridPopupActive(FALSE);
}

TEST(GXControlFactory, CreateControl)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXControlFactory factory;
    struct Case {
        UINT id;
        bool cellTip;
    };
    const Case cases[] = {
        {52512, true}, {52513, true}, {52520, true}, {52530, true}, {52533, true}, {52538, true}, {12345, true},
        {52516, false}, {52524, false}, {52536, false}, {20128, false}, {20137, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CGXControl* p = factory.CreateControl(c.id, nullptr);
        ASSERT_NE(p, nullptr) << "every id gets a control";
        EXPECT_EQ(p->GetCellTipProvider() != nullptr, c.cellTip);
        delete p;
    }
    EXPECT_EQ(factory.CreateControl(20132, nullptr), nullptr) << "object preview only in a record-browser grid";
}

TEST(GXControlFactory, RegistersControlsAndUserAttributesOnce)
{
    GXRegisterLibraryStrings();  // the library\'s table, as its initialisation registers it
    CGXControlFactory factory;
    CGXStylesMap map;
    factory.RegisterControls(&map);
    factory.RegisterControls(&map);
    int nIds = 0;
    const UINT* ids = CGXControlFactory::GetRegisteredIds(nIds);
    EXPECT_EQ(nIds, 37);
    EXPECT_EQ(map.GetControlNames().size(), size_t(nIds));
    EXPECT_EQ(ids[0], 52512u);
    EXPECT_EQ(ids[nIds - 1], 20132u);
    EXPECT_STREQ(map.GetControlName(52541), "Tabbed ComboBox");

    factory.RegisterUserAttributes(&map);
    auto editStyle = [&map](WORD id) -> const CGXStyle* {
        auto it = map.GetUserAttributeMap().find(id);
        return it == map.GetUserAttributeMap().end() ? nullptr : it->second->pStyle.get();
    };
    // Validation (4, registered twice, kept once), the spin cells' 4, the check boxes' 2, the
    // radio buttons' 2, the progress bars' 3, the tabbed combo cells' 6 (not their widths), the
    // tooltip, the ellipsis, the masked edit's 2, the currency cell's 7 and the date-time cell's 8.
    EXPECT_EQ(map.GetUserAttributeMap().size(), 40u);
    ASSERT_NE(editStyle(51038), nullptr);
    EXPECT_EQ(editStyle(51038)->GetControl(), GX_IDS_CTRL_TABBED_COMBOBOX);
    ASSERT_NE(editStyle(51047), nullptr);
    EXPECT_EQ(editStyle(51047)->GetControl(), GX_IDS_CTRL_ZEROBASED_EX);
    ASSERT_NE(editStyle(51024), nullptr);
    EXPECT_EQ(editStyle(51024)->GetMaxLength(), 1u) << "the prompt is one character";
    EXPECT_EQ(map.GetUserAttributeMap().count(51032), 0u);
    ASSERT_NE(editStyle(51031), nullptr);
    EXPECT_EQ(editStyle(51031)->GetControl(), GX_IDS_CTRL_CHECKBOX3D);
    const CGXStyle* pWrap = editStyle(51016);
    ASSERT_NE(pWrap, nullptr);
    EXPECT_EQ(pWrap->GetControl(), GX_IDS_CTRL_CHECKBOX3D);
    const CGXStyle* pEllipsis = editStyle(GX_IDS_UA_ELLIPSISTYPE);
    ASSERT_NE(pEllipsis, nullptr);
    EXPECT_EQ(pEllipsis->GetControl(), GX_IDS_CTRL_CBS_DROPDOWNLIST);
    EXPECT_STREQ(pEllipsis->GetChoiceList(), "No ellipse\nDotted....\nPound###");
    const CGXStyle* pMax = editStyle(51012);
    ASSERT_NE(pMax, nullptr);
    EXPECT_EQ(pMax->GetControl(), GX_IDS_CTRL_SPINEDIT);
}

}  // namespace
