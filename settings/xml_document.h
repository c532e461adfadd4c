#pragma once
// The owned forms of the XML library's documents and queries, and why a read gave no document.

#include "base/owned_handle.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>

using OwnedXmlDoc = OwnedHandle<xmlDocPtr, xmlFreeDoc>;
using OwnedXPathContext = OwnedHandle<xmlXPathContextPtr, xmlXPathFreeContext>;
using OwnedXPathObject = OwnedHandle<xmlXPathObjectPtr, xmlXPathFreeObject>;

// Why a read gave no document: the file could not be opened or read whole, or its content was
// refused (line: where the XML library stopped, 0 when it names no line).
struct ReadFault {
    bool opened = false;
    int line = 0;
};
