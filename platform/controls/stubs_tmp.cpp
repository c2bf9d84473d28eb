#include "platform/controls/ctlimpl.h"
namespace pvctl {
void RegisterProgress() {}
void RegisterRichEdit() {}
}
