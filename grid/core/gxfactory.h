#pragma once
// The abstract control factory (control ids to cell controls, registration of controls and
// user attributes, feature objects, window classes) and the control ids. The standard factory
// lives with the controls (grid/controls/gxctlfactory.h).

#include "platform/base/pvdefs.h"

class CGXControl;
class CGXGridCore;
class CGXStylesMap;

// Control ids of the factory.
enum : UINT {
    GX_IDS_CTRL_EDIT = 52512,
    GX_IDS_CTRL_STATIC = 52513,
    GX_IDS_CTRL_PUSHBTN = 52514,
    GX_IDS_CTRL_RADIOBTN = 52515,
    GX_IDS_CTRL_CHECKBOX = 52516,
    GX_IDS_CTRL_COMBOBOX = 52517,
    GX_IDS_CTRL_HOTSPOT = 52518,
    GX_IDS_CTRL_SPINEDIT = 52519,
    GX_IDS_CTRL_HEADER = 52520,
    GX_IDS_CTRL_SCROLLEDIT = 52521,
    GX_IDS_CTRL_LISTBOX = 52522,
    GX_IDS_CTRL_CHECKBOX3D = 52523,
    GX_IDS_CTRL_RADIOBTN3D = 52524,
    GX_IDS_CTRL_ZEROBASED = 52525,
    GX_IDS_CTRL_ONEBASED = 52526,
    GX_IDS_CTRL_TEXTFIT = 52527,
    GX_IDS_CTRL_CBS_DROPDOWN = 52528,
    GX_IDS_CTRL_CBS_DROPDOWNLIST = 52529,
    GX_IDS_CTRL_ARROWHEADER = 52530,
    GX_IDS_CTRL_ONEBASED_EX = 52531,
    GX_IDS_CTRL_ZEROBASED_EX = 52532,
    GX_IDS_CTRL_ROWHEADER = 52533,
    GX_IDS_CTRL_RICHEDIT = 52534,
    GX_IDS_CTRL_MASKEDIT = 52535,
    GX_IDS_CTRL_PROGRESS = 52536,
    GX_IDS_CTRL_PASSWORD = 52537,
    GX_IDS_CTRL_COLORWELL = 52538,
    GX_IDS_CTRL_CBS_TABBED_DROPDOWN = 52539,
    GX_IDS_CTRL_CBS_TABBED_DROPDOWNLIST = 52540,
    GX_IDS_CTRL_TABBED_COMBOBOX = 52541,
    GX_IDS_CTRL_CHECKLIST_COMBOBOX = 52542,
    GX_IDS_CTRL_DATETIME = 52543,
    GX_IDS_CTRL_DATETIMENOCAL = 52544,
    GX_IDS_CTRL_CURRENCY = 52545,
    GX_IDS_CTRL_DAOBITMAP = 20128,
    GX_IDS_CTRL_CHECKBOX_EX = 20130,
    GX_IDS_CTRL_CHECKBOX3D_EX = 20131,
    GX_IDS_CTRL_OLEPREVIEW = 20132,
    GX_IDS_CTRL_RADIOBTN3D_EX = 20136,
    GX_IDS_CTRL_RADIOBTN_EX = 20137,
};

// User attributes the factory registers itself.
enum : WORD {
    GX_IDS_UA_TOOLTIPTEXT = 51022,
    GX_IDS_UA_ELLIPSISTYPE = 52792,
};
// String id of the ellipsis choices ("No ellipse", "Dotted....", "Pound###").
constexpr UINT GX_IDS_ELLIPSIS_CHOICES = 20126;

class CGXAbstractControlFactory {
public:
    virtual ~CGXAbstractControlFactory() = default;
    virtual CGXControl* CreateControl(UINT nID, CGXGridCore* pGrid) = 0;
    virtual void RegisterControls(CGXStylesMap* pStylesMap) = 0;
    virtual void RegisterUserAttributes(CGXStylesMap* pStylesMap) = 0;
    virtual void InstallGridFeatures(CGXGridCore* pGrid) = 0;
    virtual void InstallSupportFeatures() = 0;
    virtual void RegisterWindowClasses(HINSTANCE hInstance) = 0;
    virtual void UnregisterWindowClasses(HINSTANCE hInstance) = 0;
};
