// The grid library's texts: control, user-attribute and base-style names, property texts and the
// texts of long operations. One table, registered by the library's initialisation, so that a
// program finds the names its styles maps register.

#include "grid/core/gxlibdata.h"
#include "platform/base/stringtable.h"

namespace {

const PvStringResource kGridLibraryTexts[] = {
    // Base styles.
    {52768, "Standard"}, {52769, "Row Header"}, {52770, "Column Header"},
    {52771, "Boolean Fields"}, {52772, "Numeric Fields"}, {52773, "Currency Fields"}, {52774, "Date Fields"},
    {52775, "Text fields"}, {52776, "Binary Fields"}, {52777, "Memo Fields"}, {52778, "GUID Fields"},
    {52779, "Deleted Rows Appearance"}, {52780, "Constraint Violation"},
    // Colour names and properties.
    {52232, "Grid Lines"}, {52233, "Fixed Lines"}, {52234, "Tracking Line"}, {52235, "Background"},
    {52236, "Dragging Line"},
    {51005, "Current Cell."}, {51006, "Invert Thin."}, {51007, "Invert Thick."}, {51008, "Thin Border."},
    {51009, "Thick Border."}, {20059, "No Border."},
    // Controls.
    {52512, "Edit Control"}, {52513, "Static Text"}, {52514, "Pushbutton"}, {52515, "Radio Buttons"},
    {52516, "Checkbox, 1/0"}, {52517, "ComboBox, no text-fit"}, {52518, "Hotspot Edit"}, {52519, "Spin Edit"},
    {52520, "Header"}, {52521, "Edit Control, Scrollbar"}, {52522, "Listbox"}, {52523, "Checkbox, 3d-Effect"},
    {52524, "Radio Buttons, 3d-Effect"}, {52525, "ComboBox, zero-based"}, {52526, "ComboBox, one-based"},
    {52527, "ComboBox, text-fit"}, {52528, "MFC ComboBox"}, {52529, "MFC DropDownList"}, {52530, "Arrow Header"},
    {52531, "Combo, disp.choice, 1-base"}, {52532, "Combo, disp.choice, 0-base"}, {52533, "Row Header"},
    {52534, "Rich Edit"}, {52535, "Masked Edit"}, {52536, "Progressbar"}, {52537, "Password Edit"},
    {52538, "Colorwell"}, {52539, "Tabbed MFC ComboBox"}, {52540, "Tabbed MFC DropDownList"},
    {52541, "Tabbed ComboBox"}, {52542, "Dropdown CheckListBox"}, {52543, "Date Time Control with popup calendar"},
    {52544, "Date time control without calendar"}, {52545, "Currency control"}, {20128, "Dao bitmap control"},
    {20130, "Checkbox with modify state"}, {20131, "3D Checkbox with modify state"},
    {20132, "Dao object preview control"}, {20136, "Radio Buttons, 3d-Effect and active state"},
    {20137, "Radio Buttons, with active state"}, {20133, "Binary"},
    // User attributes.
    {51011, "Valid: Min. Value"}, {51012, "Valid: Max. Value"}, {51013, "Valid: Warning Msg"},
    {51014, "SpinBound: Min. Value"}, {51015, "SpinBound: Max. Value"}, {51016, "SpinBound: Wrap Value"},
    {51019, "Checkbox: Checked Value"}, {51020, "Checkbox: Unchecked Value"}, {51021, "SpinEdit: start value"},
    {51022, "Tooltip-Text"}, {51023, "Maskedit: Input Mask"}, {51024, "Maskedit: Prompt Char"},
    {51025, "Progress: Lower Bound"}, {51026, "Progress: Upper Bound"}, {51027, "Progress: Caption"},
    {51028, "TabList: Key Column"}, {51029, "TabList: Text Column"}, {51030, "TabList: Show all columns"},
    {51031, "TabList: Display Column Titles"}, {51032, "TabList: Column Widths"}, {51033, "TabList: Sort Columns"},
    {51055, "TabList: Unique choicelist id"},
    {51034, "DateTime: Non editable fields"}, {51035, "DateTime: Minimum allowed date"},
    {51036, "DateTime: Maximum allowed date"}, {51037, "DateTime: Validation mode"},
    {51038, "DateTime: Date format type"}, {51039, "DateTime: Custom date format "}, {51044, "DateTime: Fast Input"},
    {51045, "Currency: Separators"}, {51046, "Currency: Attributes"}, {51047, "Currency: Positive Format"},
    {51048, "Currency: Negative Format"}, {51049, "Currency: Number of decimals"},
    {51050, "Currency: Number of fractional digits "}, {51051, "Currency: Enable calculator button"},
    {51054, "Currency: Monetary Symbol. "}, {51057, "RadioButton: Alignment"}, {52568, "RadioButton: Text Alignment"},
    {52569, "Pushbutton face color"}, {52570, "RTL Reading Value"}, {52571, "Force DateTime input as number"},
    {52792, "Type of ellipses that will be drawn"}, {52794, "Dao bitmap user attribute"},
    {52797, "Formatting color for negative numbers"}, {20126, "No ellipse\nDotted....\nPound###"},
    // Long operations and commands.
    {20139, "Redoing %1 ..."}, {20140, "Undoing %1 ..."}, {20141, "Generating undo information ..."},
    {20142, "Storing cells ...."}, {20143, "Restoring cells ..."}, {20144, "Cells."}, {20145, "Removing rows ..."},
    {20146, "Removing columns ..."}, {20162, "Move Rows"}, {20163, "Move Columns"}, {20164, "Insert Rows"},
    {20165, "Insert Columns"}, {20158, "Change Row Heights"}, {20159, "Change Column Widths"},
    {20160, "Change Default Row Height"}, {20161, "Change Default Column Width"}, {20166, "Cover Cells"},
    {20167, "Cells"}, {20170, "Hide Rows"}, {20171, "Hide Columns"}, {20181, "Sort Rows"}, {20182, "Sort Columns"},
    {20183, "Not enough memory"}, {20184, "Canceled"},
    {20185, "Styles Map Changes"}, {20186, "Property Settings"}, {20188, "Set Range Name"},
    {20189, "Delete Range Name"}, {20147, "Copying text format ..."}, {20148, "Copying internal format ..."},
    {20150, "Cut Data."}, {20180, "Clear Cells"}, {20151, "Cutting data ..."},
    {20152, "Pasting data from clipboard..."}, {20154, "Paste."}, {20155, "Replacing values ..."},
    {20156, "Replace All"}, {20157, "Searching values ..."}, {20172, "Resizing Rows"}, {20173, "Resizing Columns"},
    {20169, "Freeze Rows"}, {20168, "Freeze Columns"}, {20174, "Current Cell"},
    {20175, "Clipboard size is different from selected range"},
    {20149, "Range too big."}, {20153, "Pasting is not possible for multi-area selections."}, {20178, "Copy"}, {20179, "Move"},
    {20081, "Do you want to abort the operation?"}, {20075, "Processing..."}, {20076, "Done."},
    {20077, "Press ESC to cancel"},
    // Date-time cell settings.
    {20060, "No Edit\nFixed Year\nFixed Month\nFixed Day\nFixed Hour\nFixed Minute\nFixed Second"},
    {20061, "No Validation\t0\nTime\t1\nDate\t2\nDate and Time\t3"},
    {20062, "Time\t0\nShortDate\t1\nLongDate\t2\nCustom\t3\nDateTime\t4"},
    // Currency cell layouts.
    {20065, "$1\n1$\n$ 1\n1 $\n(1$)"},
    {20064, "($1)\n-$1\n$-1\n$1-\n(1$)\n-1$\n1-$\n1$-\n-1 $\n-$ 1\n$ 1-"},
    {20082, "Operation is too large for the undo buffer. Do you want to continue?"},
    // Object cells.
    {20134, "The binary data is not valid."}, {20203, "The copy operation failed"},
    {20204, "The cut operation failed"}, {20205, "Gridwerk Insert Object"},
    {20206, "You have already spawned a viewer. Please use this for editing"},
    {20207, "Failed to invoke insert object dialog."},
};

}  // namespace

void GXRegisterLibraryStrings()
{
    static const bool once = (PvRegisterStringTable(kGridLibraryTexts), true);
    (void)once;
}
