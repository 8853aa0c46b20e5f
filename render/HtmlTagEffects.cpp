// What the style tags do to the current style, and the rule ("hr") object.
#include "render/HtmlDrawer.h"
#include "render/MarkupLimits.h"
#include "render/MarkupAttributes.h"
#include "render/MarkupCanvas.h"
#include <algorithm>
#include <cstdlib>

namespace {
const int kBoldCap = 900;
const int kRuleExtraHeight = 8;

}

void CHtmlDrawer::ApplyStyleTag(int id, const CMarkupString& params)
{
    switch (id) {
    case TagBold: m_style.fontWeight = std::min(m_style.fontWeight * 2, kBoldCap); break;
    case TagItalic: m_style.italic = !m_style.italic; break;
    case TagUnderline: m_style.underline = !m_style.underline; break;
    case TagStrikeout: m_style.strikeout = !m_style.strikeout; break;
    case TagFont: ApplyFontAttributes(params); break;
    case TagLeft: m_style.horizontalAlign = 0; break;
    case TagCenter: m_style.horizontalAlign = 1; break;
    case TagRight: m_style.horizontalAlign = 2; break;
    case TagJustify: m_style.horizontalAlign = 3; break;
    case TagBaseline: m_style.verticalAlign = 3; break;
    case TagTop: m_style.verticalAlign = 0; break;
    case TagVCenter: m_style.verticalAlign = 1; break;
    case TagBottom: m_style.verticalAlign = 2; break;
    case TagStyleClass: ApplyStyleClass(m_styleStack.back().name.c_str(), m_style); break;
    case TagSpan:
        ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
            if (name == L"class" && !value.empty())
                ApplyStyleClass((L"." + value).c_str(), m_style);
        });
        break;
    case TagLink: ApplyLinkAttributes(params); break;
    default: break;
    }
}

void CHtmlDrawer::ApplyFontAttributes(const CMarkupString& params)
{
    ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
        if (value.empty())
            return;
        if (name == L"face") {
            m_style.fontFace = value;
        } else if (name == L"size") {
            m_style.fontSize = GetLength(value, m_style.fontSize, TRUE);
        } else if (name == L"color") {
            m_style.textColor = m_outputEnabled ? GetColor(value, m_style.textColor) : m_disabledColor;
        } else if (name == L"style") {
            bool clear = false;
            for (wchar_t c : value) {
                switch (c) {
                case L'-': clear = true; continue;
                case L'+': clear = false; continue;
                case L'b': m_style.fontWeight = clear ? FW_NORMAL : FW_BOLD; break;
                case L'i': m_style.italic = !clear; break;
                case L'u': m_style.underline = !clear; break;
                case L's': m_style.strikeout = !clear; break;
                case L'o': m_style.overline = !clear; break;
                default: continue;   // other characters keep a pending "-"
                }
                clear = false;
            }
        } else if (name == L"weight") {
            m_style.fontWeight = GetFontWeight(value, m_style.fontWeight);
        } else if (name == L"bkgnd") {
            if (!m_outputEnabled || value == L"transparent") {
                m_style.backgroundMode = TRANSPARENT;
            } else {
                m_style.backgroundMode = OPAQUE;
                m_style.backgroundColor = GetColor(value, m_style.backgroundColor);
            }
        }
    });
}

void CHtmlDrawer::ApplyLinkAttributes(const CMarkupString& params)
{
    m_style.linkKind = 2;
    m_style.linkTarget.clear();
    ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
        if (name == L"href") {
            m_style.linkKind = 1;
            m_style.linkTarget = value;
        } else if (name == L"msg") {
            m_style.linkKind = 2;
            m_style.linkTarget = value;
        } else if (name == L"tooltip") {
            m_style.linkTooltip = value;
        }
    });
    ++m_linkCounter;
    ApplyStyleClass(m_linkCounter == m_hotIndex ? L"a:hover" : L"a:link", m_style);
}

void CHtmlDrawer::DrawRule(const CMarkupString& params)
{
    CMarkupStyle rule = m_style;
    ApplyStyleClass(L"hr", rule);
    int width = 100;
    bool percent = true;
    int size = 1;
    COLORREF colour = m_outputEnabled ? rule.textColor : m_disabledColor;
    ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
        if (value.empty())
            return;
        if (name == L"width") {
            percent = value.back() == L'%';
            width = percent ? static_cast<int>(std::wcstol(value.c_str(), nullptr, 10))
                            : GetLength(value, width, FALSE);
        } else if (name == L"size") {
            size = GetLength(value, size, FALSE);
        } else if (name == L"color") {
            colour = m_outputEnabled ? GetColor(value, colour) : m_disabledColor;
        }
    });
    width = ClampMarkupSize(width, percent ? kMaxMarkupPercent : kMaxMarkupLength);
    size = std::min(size, static_cast<int>(CDrawManager::MaxPenWidth));
    if (m_measuring) {
        if (percent)
            m_line.percent += width;
        m_line.height = std::max(m_line.height, size + kRuleExtraHeight);
        m_line.alignment = m_style.horizontalAlign;
        m_x += percent ? 1 : width;
        return;
    }
    if (percent)
        width = MulDiv(m_runRect.right - m_runRect.left, width, 100);
    const int middle = m_y + m_line.height / 2;
    MarkupDrawLine(m_drawManager, m_dc, m_x, middle, m_x + width, middle, colour, 1, size);
    m_x += width;
}

void CHtmlDrawer::DrawTab(const CMarkupString& params)
{
    int count = GetLength(params.Mid(1), 1, FALSE);
    if (count < 1)
        count = 1;
    count = std::min(count, kMaxMarkupRepeat);
    if (m_tabSize < 1)
        return;
    const int r = (m_x - m_runRect.left) % m_tabSize;
    if (r != 0) {
        m_x += m_tabSize - r;
        --count;
    }
    m_x += count * m_tabSize;
}
