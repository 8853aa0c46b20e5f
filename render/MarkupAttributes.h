#pragma once
#include "render/HtmlDrawer.h"

// Calls visit(name, value) for each attribute (name=value, quotes allowed) of a tag's parameter text.
template <typename Visit>
void ForEachMarkupAttribute(const CMarkupString& params, Visit visit)
{
    int pos = 0;
    while (pos < params.Length()) {
        const int before = pos;
        CMarkupString value;
        CMarkupString name = CHtmlDrawer::GetAttribute(params, pos, value);
        if (name.empty() && pos == before)
            break;
        if (pos == before)
            ++pos;   // never stall on a stray character
        if (!name.empty())
            visit(name, value);
    }
}
