#include "platform/controls/ctlimpl.h"
namespace pvctl {
void RegisterTreeView() {}
void RegisterProgress() {}
void RegisterRichEdit() {}
}
