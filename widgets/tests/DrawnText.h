#pragma once
#include <string>

#include "render/MarkupCanvas.h"

// While it lives, every text the markup renderer draws in this process, joined in drawing order.
class CDrawnText
{
public:
    CDrawnText() { SetMarkupDrawLogger(&CDrawnText::Log, this); }
    ~CDrawnText() { SetMarkupDrawLogger(nullptr, nullptr); }
    CDrawnText(const CDrawnText&) = delete;
    CDrawnText& operator=(const CDrawnText&) = delete;
    const std::wstring& Text() const { return m_text; }

private:
    static void Log(const MarkupDrawRecord& record, void* self)
    {
        if (record.kind == MarkupDrawRecord::Text)
            static_cast<CDrawnText*>(self)->m_text += record.text;
    }
    std::wstring m_text;
};
