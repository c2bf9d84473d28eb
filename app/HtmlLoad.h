#pragma once
// Shows a page from memory in a browser's current document: the HTML pane and the details
// pop-up load their pages this way.

#include "platform/base/CString.h"
#include "platform/sys/com.h"

// Copies the text with its terminating zero into a new global memory block, hands the block to
// a memory stream that owns it, and loads the stream through the document's
// IPersistStreamInit. The stream frees the block when it is released here, and nothing else
// does. FALSE when the block or the stream cannot be had (the page is then not shown) or when
// there is no document.
BOOL LoadHtmlIntoDocument(LPDISPATCH pDocument, const CString& strText);
