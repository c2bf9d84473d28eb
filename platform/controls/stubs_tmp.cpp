#include "platform/controls/ctlimpl.h"
namespace pvctl {
void RegisterComboBox() {}
void RegisterTreeView() {}
void RegisterProgress() {}
void RegisterRichEdit() {}
}
