#include "grid/controls/gxctlfactory.h"

#include "grid/features/gxcopymove.h"
#include "grid/features/gxcovered.h"
#include "grid/features/gxspancells.h"
#include "grid/features/gxspanpool.h"

#include "grid/controls/gxcheckbox.h"
#include "grid/controls/gxchklist.h"
#include "grid/controls/gxcombo.h"
#include "grid/controls/gxcombownd.h"
#include "grid/controls/gxcurrency.h"
#include "grid/controls/gxdaobitmap.h"
#include "grid/controls/gxdatetime.h"
#include "grid/controls/gxedit.h"
#include "grid/controls/gxlistbox.h"
#include "grid/controls/gxmaskctl.h"
#include "grid/controls/gxolepreview.h"
#include "grid/controls/gxprogress.h"
#include "grid/controls/gxpushbtn.h"
#include "grid/controls/gxradio.h"
#include "grid/controls/gxrichedit.h"
#include "grid/controls/gxhotspot.h"
#include "grid/controls/gxpassword.h"
#include "grid/controls/gxspin.h"
#include "grid/controls/gxvscredit.h"
#include "grid/controls/gxstatic.h"
#include "grid/controls/gxtabcombo.h"
#include "grid/controls/gxtabcombownd.h"
#include "grid/core/gxctrl.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/core/gxwnd.h"
#include "grid/features/gxlongopimp.h"
#include "grid/features/gxparamcopy.h"
#include "grid/features/gxprint.h"
#include "grid/features/gxprintdev.h"
#include "grid/features/gxprofile.h"
#include "grid/features/gxserialcompat.h"
#include "grid/widgets/gxtabbeam.h"
#include "grid/widgets/gxtabwnd.h"
#include "platform/base/CString.h"

namespace {

const UINT kRegisteredIds[] = {
    52512, 52520, 52527, 52517, 52526, 52525, 52531, 52532, 52528, 52529, 52522, 52513, 52514,
    52515, 52524, 52516, 52523, 20130, 20131, 20137, 20136, 52535, 52536, 52537, 52539, 52540,
    52541, 52534, 52542, 52519, 52518, 52521, 52543, 52544, 52545, 20128, 20132,
};

// Controls that draw no text of their own get no text cell tip.
bool TakesTextCellTip(UINT nID)
{
    switch (nID) {
    case GX_IDS_CTRL_RADIOBTN:
    case GX_IDS_CTRL_RADIOBTN3D:
    case GX_IDS_CTRL_RADIOBTN_EX:
    case GX_IDS_CTRL_RADIOBTN3D_EX:
    case GX_IDS_CTRL_CHECKBOX:
    case GX_IDS_CTRL_CHECKBOX3D:
    case GX_IDS_CTRL_CHECKBOX_EX:
    case GX_IDS_CTRL_CHECKBOX3D_EX:
    case GX_IDS_CTRL_PROGRESS:
    case GX_IDS_CTRL_DAOBITMAP:
    case GX_IDS_CTRL_OLEPREVIEW:
        return false;
    default:
        return true;
    }
}

}  // namespace

const UINT* CGXControlFactory::GetRegisteredIds(int& nCount)
{
    nCount = int(sizeof(kRegisteredIds) / sizeof(kRegisteredIds[0]));
    return kRegisteredIds;
}

CGXControl* CGXControlFactory::CreateControl(UINT nID, CGXGridCore* pGrid)
{
    // The object preview belongs to record-browser grids only.
    if (nID == GX_IDS_CTRL_OLEPREVIEW)
        return pGrid && pGrid->IsRecordBrowserGrid() ? new CGXOlePreview(pGrid) : nullptr;
    // Each id gets its own control as the cell controls land; until then the edit cell serves
    // every id that has none, so such cells are still drawn and edited.
    CGXControl* pControl = nullptr;
    switch (nID) {
    case GX_IDS_CTRL_HEADER: pControl = new CGXHeader(pGrid); break;
    case GX_IDS_CTRL_STATIC: pControl = new CGXStatic(pGrid); break;
    case GX_IDS_CTRL_PASSWORD: pControl = new CGXPasswordControl(pGrid, nID); break;
    case GX_IDS_CTRL_SCROLLEDIT: pControl = new CGXVScrollEdit(pGrid, nID); break;
    case GX_IDS_CTRL_HOTSPOT: pControl = new CGXHotSpotEdit(pGrid, nID); break;
    case GX_IDS_CTRL_SPINEDIT: pControl = new CGXSpinEdit(pGrid, nID); break;
    case GX_IDS_CTRL_PUSHBTN: pControl = new CGXPushbutton(pGrid); break;
    case GX_IDS_CTRL_PROGRESS: pControl = new CGXProgressCtrl(pGrid); break;
    case GX_IDS_CTRL_DAOBITMAP: pControl = new CGXDaoBitmap(pGrid); break;
    case GX_IDS_CTRL_CHECKBOX: pControl = new CGXCheckBox(pGrid, FALSE); break;
    case GX_IDS_CTRL_CHECKBOX3D: pControl = new CGXCheckBox(pGrid, TRUE); break;
    case GX_IDS_CTRL_CHECKBOX_EX: pControl = new CGXCheckBoxEx(pGrid, FALSE); break;
    case GX_IDS_CTRL_CHECKBOX3D_EX: pControl = new CGXCheckBoxEx(pGrid, TRUE); break;
    case GX_IDS_CTRL_RADIOBTN: pControl = new CGXRadioButton(pGrid, FALSE); break;
    case GX_IDS_CTRL_RADIOBTN3D: pControl = new CGXRadioButton(pGrid, TRUE); break;
    case GX_IDS_CTRL_RADIOBTN_EX: pControl = new CGXRadioButtonEx(pGrid, FALSE); break;
    case GX_IDS_CTRL_RADIOBTN3D_EX: pControl = new CGXRadioButtonEx(pGrid, TRUE); break;
    case GX_IDS_CTRL_RICHEDIT: {
        auto* pRich = new CGXRichEditCtrl(pGrid, nID);
        pRich->CreateControl(ES_MULTILINE, nID);  // again on first use when the grid has no window yet
        pControl = pRich;
        break;
    }
    case GX_IDS_CTRL_LISTBOX: pControl = new CGXListBox(pGrid, nID); break;
    case GX_IDS_CTRL_CBS_DROPDOWN:
    case GX_IDS_CTRL_CBS_DROPDOWNLIST: {
        // The window again on first use when the grid has no window yet.
        auto* pCombo = new CGXComboBoxWnd(pGrid);
        pCombo->CreateControl(nID == GX_IDS_CTRL_CBS_DROPDOWN ? 0x200042 : 0x200003, nID);
        pCombo->m_bUseChoiceList = TRUE;
        pCombo->m_bKeepArrowKeys = FALSE;
        pControl = pCombo;
        break;
    }
    case GX_IDS_CTRL_COMBOBOX: pControl = new CGXComboBox(pGrid, nID, nID, GXCOMBO_NOTEXTFIT); break;
    case GX_IDS_CTRL_TEXTFIT: pControl = new CGXComboBox(pGrid, nID, nID, GXCOMBO_TEXTFIT); break;
    case GX_IDS_CTRL_ZEROBASED: pControl = new CGXComboBox(pGrid, nID, nID, GXCOMBO_ZEROBASED); break;
    case GX_IDS_CTRL_ONEBASED: pControl = new CGXComboBox(pGrid, nID, nID, GXCOMBO_ONEBASED); break;
    case GX_IDS_CTRL_ZEROBASED_EX:
        pControl = new CGXComboBox(pGrid, nID, nID, GXCOMBO_ZEROBASED | GXCOMBO_DISPLAYCHOICE);
        break;
    case GX_IDS_CTRL_ONEBASED_EX:
        pControl = new CGXComboBox(pGrid, nID, nID, GXCOMBO_ONEBASED | GXCOMBO_DISPLAYCHOICE);
        break;
    case GX_IDS_CTRL_CBS_TABBED_DROPDOWN:
    case GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST: {
        // Win32s had no owner-drawn combo boxes worth the name: the grid's own tabbed combo.
        if (GXGetLibraryState().m_bWin32s) {
            pControl = new CGXTabbedComboBox(pGrid, GX_IDS_CTRL_TABBED_COMBOBOX, GX_IDS_CTRL_TABBED_COMBOBOX,
                                             GXCOMBO_NOTEXTFIT);
            break;
        }
        auto* pTabbed = new CGXTabbedComboBoxWnd(pGrid);
        const BOOL bList = nID == GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST;
        pTabbed->CreateControl(bList ? 3 : 2, nID);
        if (bList)
            pTabbed->m_bDropOnClick = TRUE;
        pControl = pTabbed;
        break;
    }
    case GX_IDS_CTRL_TABBED_COMBOBOX: pControl = new CGXTabbedComboBox(pGrid, nID, nID, GXCOMBO_NOTEXTFIT); break;
    case GX_IDS_CTRL_CHECKLIST_COMBOBOX: pControl = new CGXCheckListComboBox(pGrid, 0, 0, GXCOMBO_NOTEXTFIT); break;
    case GX_IDS_CTRL_MASKEDIT: pControl = new CGXMaskControl(pGrid, nID); break;
    case GX_IDS_CTRL_CURRENCY: pControl = new CGXCurrencyEdit(pGrid, nID); break;
    case GX_IDS_CTRL_DATETIME:
    case GX_IDS_CTRL_DATETIMENOCAL: {
        auto* pDate = new CGXDateTimeCtrl(pGrid, nID, nID == GX_IDS_CTRL_DATETIME ? 3 : 2);
        pDate->CreateControl(WS_CHILD, CRect(0, 0, 0, 0));  // again on first use when the grid has no window yet
        pControl = pDate;
        break;
    }
    default: pControl = new CGXEditControl(pGrid, nID); break;
    }
    if (TakesTextCellTip(nID))
        pControl->SetCellTipProvider(new CGXCellTipStatic(pControl));
    return pControl;
}

void CGXControlFactory::RegisterControls(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    for (UINT nID : kRegisteredIds)
        pStylesMap->RegisterControl(nID);
}

void CGXControlFactory::RegisterUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXControl::AddValidationAttributes(pStylesMap);
    CGXControl::AddValidationAttributes(pStylesMap);
    CGXSpinEdit::AddUserAttributes(pStylesMap);
    CGXCheckBox::AddUserAttributes(pStylesMap);
    CGXRadioButtonEx::AddUserAttributes(pStylesMap);
    CGXProgressCtrl::AddUserAttributes(pStylesMap);
    CGXTabbedComboBox::AddUserAttributes(pStylesMap);
    CGXTabbedComboBoxWnd::AddUserAttributes(pStylesMap);
    CGXMaskControl::AddUserAttributes(pStylesMap);
    CGXCurrencyEdit::AddUserAttributes(pStylesMap);
    CGXDateTimeCtrl::AddUserAttributes(pStylesMap);

    CGXStyle tooltipStyle;
    tooltipStyle.SetWrapText(TRUE).SetAutoSize(TRUE);
    pStylesMap->AddUserAttribute(GX_IDS_UA_TOOLTIPTEXT, &tooltipStyle);

    CString strChoices;
    strChoices.LoadString(GX_IDS_ELLIPSIS_CHOICES);
    CGXStyle ellipsisStyle;
    ellipsisStyle.SetControl(WORD(GX_IDS_CTRL_CBS_DROPDOWNLIST)).SetChoiceList(strChoices);
    pStylesMap->AddUserAttribute(GX_IDS_UA_ELLIPSISTYPE, &ellipsisStyle);
}

void CGXControlFactory::InstallGridFeatures(CGXGridCore* pGrid)
{
    // In the standard order; the features still to come take their places between these.
    pGrid->InstallUpdateHintImp();
    pGrid->InstallCoveredCellsImp();
    GXInstallFloatCellsImp(pGrid);
    GXInstallMergeCellsImp(pGrid);
    GXInstallOldDrawingImp(pGrid);
    pGrid->InstallCommandFactory();
    pGrid->InstallOptimizedUpdateImp();
    pGrid->InstallSortImp();
    pGrid->InstallHideCellsImp();
    pGrid->InstallFindReplaceImp();
    pGrid->InstallUserResizeCellsImp();
    pGrid->InstallUserSelectRangeImp();
    pGrid->InstallUserDragSelectRangeImp();
    pGrid->InstallMarkEditHeaderImp();
    pGrid->InstallFreezeMenuHelperImp();
    pGrid->InstallExcelLikeFillImp();
    pGrid->InstallDirectCopyMoveCellsImp();
    pGrid->InstallTextDataExchangeImp();
    pGrid->InstallStyleDataExchangeImp();
    pGrid->InstallCutPasteImp();
    pGrid->InstallClearCellsImp();
    pGrid->InstallPrintImp();
    // Sizing to fit brings the cell-size feature, so text cells measure in every grid.
    pGrid->InstallResizeToFitImp();
    pGrid->InstallAutoScrollPlugin();
}

void CGXControlFactory::InstallSupportFeatures()
{
    GXInstallStyleSerializeImp();
    GXInstallDocSerializeImp();
    GXInstallSerializeGW5CompatibleImp();
    GXInstallProfileImp();
    GXInstallParamCopyOperatorImp();
    GXInstallStyleCompareSubsetImp();
    GXInstallPrintDeviceImp();
    GXInstallHeaderFooterImp();
    CGXDrawRotatedTextImp::ImplementDrawRotatedText();
    CGXNumberFormattingImp::ImplementNumberFormatting();
    CGXOleDateTimeImp::ImplementDateTime();
    // Finds the date-time slot taken by the OLE variant and installs nothing.
    CGXNoOleDateTimeImp::ImplementNoOleDateTime();
    GXInstallLongOperationImp();
    GXInstallCoveredCellPoolImp();
    GXInstallSpanCellPoolImp();
    GXInstallDelayedRangePoolImp();
    GXInstallDataCopyMoveCellsImp();
}

void CGXControlFactory::RegisterWindowClasses(HINSTANCE hInstance)
{
    // Grid controls, tab strips and tab windows in dialog templates.
    GXRegisterGridWndClass(hInstance);
    CGXRichEditCtrl::RegisterRtfClipboardFormat();
    CGXMaskControl::RegisterClipboardFormat();
    GXRegisterTabBeamClass(hInstance);
    GXRegisterTabWndClass(hInstance);
}

void CGXControlFactory::UnregisterWindowClasses(HINSTANCE hInstance)
{
    GXUnregisterGridWndClass(hInstance);
    GXUnregisterTabBeamClass(hInstance);
    GXUnregisterTabWndClass(hInstance);
}

void InitGridLibraryWithFactory() { InitGridLibrary(new CGXControlFactory); }
