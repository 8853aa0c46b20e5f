// The drawing entry and the run formatter: tokens, the style stack, lines and their metrics.
#include "render/HtmlDrawer.h"
#include "render/MarkupLimits.h"
#include "render/MarkupTagIndex.h"
#include "render/MarkupCanvas.h"
#include <algorithm>
#include <cstring>
#include <cwctype>

namespace {
const int kOverlineBoldWeight = 700;

// Splits the next token off text at pos: the text before the next "<" ("<<" is a literal "<") and the
// tag after it up to ">" (or the end of the text).
bool NextToken(const CMarkupString& text, int& pos, CMarkupString& plain, CMarkupString& tag, bool& hasTag)
{
    plain.clear();
    tag.clear();
    hasTag = false;
    if (pos >= text.Length())
        return false;
    while (pos < text.Length()) {
        if (text[pos] == L'<') {
            if (pos + 1 < text.Length() && text[pos + 1] == L'<') {
                plain += L'<';
                pos += 2;
                continue;
            }
            hasTag = true;
            break;
        }
        plain += text[pos++];
    }
    if (hasTag) {
        const int start = ++pos;
        while (pos < text.Length() && text[pos] != L'>')
            ++pos;
        tag = text.Mid(start, pos - start);
        if (pos < text.Length())
            ++pos;
    }
    return true;
}

void SplitTag(const CMarkupString& tag, CMarkupString& name, CMarkupString& params)
{
    size_t cut = tag.find_first_of(L" =");
    if (cut == std::wstring::npos) {
        name = tag;
        params.clear();
    } else {
        name = tag.Left(static_cast<int>(cut));
        params = tag.Mid(static_cast<int>(cut));
    }
}

CMarkupString Transform(const CMarkupString& text, int transform)
{
    CMarkupString out = text;
    if (out.empty() || transform == 0)
        return out;
    if (transform == 1)
        CharUpperBuffW(&out[0], static_cast<DWORD>(out.size()));
    else
        CharLowerBuffW(&out[0], static_cast<DWORD>(out.size()));
    if (transform == 3)
        for (size_t i = 0; i < out.size(); ++i)
            if ((i == 0 || out[i - 1] == L' ') && out[i] >= L'a' && out[i] <= L'z')
                out[i] = static_cast<wchar_t>(out[i] - L'a' + L'A');
    return out;
}

SIZE Extent(HDC dc, const CMarkupString& text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), text.Length(), &size);
    return size;
}
}

void CHtmlDrawer::DrawMarkup(SIZE* size, const RECT* rect)
{
    if (m_measuring) {
        m_hotAreas.clear();
        m_lines.clear();
        m_tables.clear();
        m_wrapLog.clear();
    }
    m_wrapCursor = 0;
    m_extentCache.clear();   // keyed by fonts of this pass
    m_justified = true;   // the host's DC may carry one
    m_lineIndex = 0;
    m_linkCounter = -1;
    m_tableIndex = -1;
    m_tableDepth = 0;
    m_animationCounter = -1;
    m_picturesDrawn = 0;
    m_styleStack.clear();
    SetDefaultStyle(m_style);
    ApplyStyleClass(L"body", m_style);

    ZeroMemory(&m_logFont, sizeof(m_logFont));
    m_font = nullptr;
    m_previousFont = nullptr;
    ApplyFont();
    // ApplyFont set the DC up; the values saved here are those the host had.
    m_imageColor = m_outputEnabled ? m_shadowColor : m_disabledColor;

    SIZE blocks = DrawBlocks(m_text, *rect, false);
    size->cx = std::max(size->cx, blocks.cx);
    size->cy += blocks.cy;

    RestoreDc();
    if (m_measuring && m_animationCounter + 1 < static_cast<int>(m_animations.size()))
        m_animations.resize(static_cast<size_t>(m_animationCounter + 1));
}

void CHtmlDrawer::RestoreDc()
{
    SetBkMode(m_dc, m_previousBkMode);
    SetBkColor(m_dc, m_previousBkColor);
    SetTextColor(m_dc, m_previousTextColor);
    if (m_previousFont)
        SelectObject(m_dc, m_previousFont);
    m_styleStack.clear();
    for (MarkupFont& f : m_fonts)
        DeleteObject(f.font);
    m_fonts.clear();
    m_font = nullptr;
    m_previousFont = nullptr;
}

SIZE CHtmlDrawer::DrawBlocks(const CMarkupString& text, RECT rect, bool /*stopAtCellEnd*/)
{
    SIZE total = {0, 0};
    const CMarkupTagIndex tags(text);
    int pos = 0;
    while (pos < text.Length()) {
        const int tableStart = tags.Next(CMarkupTagIndex::TableOpen, pos);
        const CMarkupString run = text.Mid(pos, tableStart - pos);
        if (!run.empty()) {
            SIZE block = DrawRun(run, &rect);
            total.cx = std::max(total.cx, block.cx);
            total.cy = ClampMarkup(static_cast<long long>(total.cy) + block.cy, kMaxMarkupExtent);
            if (!m_measuring)
                rect.top += block.cy;
        }
        if (tableStart >= text.Length())
            break;
        const int tableEnd = tags.TableEnd(tableStart + 6);
        SIZE block = {0, 0};
        const CMarkupString tableText = text.Mid(tableStart + 6, tableEnd - tableStart - 6);
        DrawTable(&block, tableText, &rect);
        total.cx = std::max(total.cx, block.cx);
        total.cy = ClampMarkup(static_cast<long long>(total.cy) + block.cy, kMaxMarkupExtent);
        if (!m_measuring)
            rect.top += block.cy;
        pos = tableEnd;
        SkipToAnyOf(text, pos, L">");
        if (pos < text.Length())
            ++pos;
    }
    return total;
}

void CHtmlDrawer::ApplyFont()
{
    m_style.fontSize = ClampMarkup(m_style.fontSize, kMaxMarkupFontHeight);
    m_logFont.lfHeight = m_style.fontSize;
    m_logFont.lfWidth = 0;
    m_logFont.lfEscapement = 0;
    m_logFont.lfOrientation = 0;
    m_logFont.lfWeight = m_style.fontWeight;
    m_logFont.lfItalic = m_style.italic ? TRUE : FALSE;
    m_logFont.lfUnderline = m_style.underline ? TRUE : FALSE;
    m_logFont.lfStrikeOut = m_style.strikeout ? TRUE : FALSE;
    m_logFont.lfCharSet = DEFAULT_CHARSET;
    m_logFont.lfOutPrecision = 0;
    m_logFont.lfClipPrecision = 0;
    m_logFont.lfQuality = 0;
    m_logFont.lfPitchAndFamily = 0;
    ZeroMemory(m_logFont.lfFaceName, sizeof(m_logFont.lfFaceName));
    lstrcpynW(m_logFont.lfFaceName, m_style.fontFace.c_str(), LF_FACESIZE);
    // Fonts already made in this pass are reused: every style tag comes here, and making a font
    // for each made texts of many tags slow.
    MarkupFont* cached = nullptr;
    for (MarkupFont& f : m_fonts)
        if (std::memcmp(&f.logFont, &m_logFont, sizeof(m_logFont)) == 0)
            cached = &f;
    if (cached && m_font == cached->font) {
        // Most tags change no font: only the colours may differ.
        ApplyColours();
        return;
    }
    if (!cached) {
        if (m_fonts.size() >= kFontCacheSize) {
            // The oldest goes, unless it is the one selected now.
            auto oldest = m_fonts.begin()->font == m_font ? m_fonts.begin() + 1 : m_fonts.begin();
            DeleteObject(oldest->font);
            m_extentCache.clear();   // a new font may get the old one's handle
            m_fonts.erase(oldest);
        }
        m_fonts.push_back(MarkupFont{m_logFont, CreateFontIndirectW(&m_logFont), {}, false});
        cached = &m_fonts.back();
    }
    HFONT font = cached->font;
    // Selecting a font costs the system far more than a look: most tags leave it as it is.
    HGDIOBJ previous = m_font && GetCurrentObject(m_dc, OBJ_FONT) == font ? font : SelectObject(m_dc, font);
    if (!m_font) {
        m_previousFont = previous;
        m_previousBkMode = SetBkMode(m_dc, m_style.backgroundMode);
        m_previousTextColor = SetTextColor(m_dc, m_style.textColor);
        m_previousBkColor = SetBkColor(m_dc, m_style.backgroundColor);
        m_appliedBkMode = m_style.backgroundMode;
        m_appliedTextColor = m_style.textColor;
        m_appliedBkColor = m_style.backgroundColor;
    }
    ApplyColours();
    m_font = font;
    if (!cached->measured) {
        GetTextMetricsW(m_dc, &cached->metrics);
        cached->measured = true;
    }
    m_textMetric = cached->metrics;
}

BOOL CHtmlDrawer::PushPopStyle(BOOL closing, const CMarkupString& name)
{
    if (!closing) {
        m_styleStack.push_back(m_style);
        m_styleStack.back().name = name;
        return TRUE;
    }
    if (m_styleStack.empty() || m_styleStack.back().name != name)
        return FALSE;
    m_style = m_styleStack.back();
    m_styleStack.pop_back();
    return TRUE;
}

void CHtmlDrawer::ApplyColours()
{
    if (m_appliedBkMode != m_style.backgroundMode)
        SetBkMode(m_dc, m_style.backgroundMode);
    if (m_appliedTextColor != m_style.textColor)
        SetTextColor(m_dc, m_style.textColor);
    if (m_appliedBkColor != m_style.backgroundColor)
        SetBkColor(m_dc, m_style.backgroundColor);
    m_appliedBkMode = m_style.backgroundMode;
    m_appliedTextColor = m_style.textColor;
    m_appliedBkColor = m_style.backgroundColor;
}

void CHtmlDrawer::SetJustification(int extra, int breaks)
{
    if (extra == 0 && !m_justified)
        return;
    SetTextJustification(m_dc, extra, breaks);
    m_justified = extra != 0;
}

int CHtmlDrawer::BeginLine(int x)
{
    if (m_measuring) {
        const int wrapped = m_line.wrapped;
        m_line = MarkupLine();
        m_line.alignment = m_style.horizontalAlign;
        m_line.wrapped = wrapped;
        if (static_cast<int>(m_lines.size()) <= m_lineIndex)
            m_lines.resize(static_cast<size_t>(m_lineIndex + 1));
        m_lines[m_lineIndex] = m_line;
        m_lineStartX = x;
        return x;
    }
    // A drawing pass that runs past the measured lines (other text, other DC) gets empty lines.
    m_line = m_lineIndex < static_cast<int>(m_lines.size()) ? m_lines[m_lineIndex] : MarkupLine();
    const int available = m_runRect.right - m_runRect.left;
    if (m_line.percent != 0)
        m_line.width += MulDiv(available, m_line.percent, 100);
    if (m_line.alignment == 3 && m_line.wrapped)
        SetJustification(available - m_line.width, m_line.breaks);
    else
        SetJustification(0, 0);
    m_remainingWidth = m_line.width;
    m_remainingBreaks = m_line.breaks;
    switch (m_line.alignment) {
    case 1: m_lineStartX = m_runRect.left + (available - m_line.width) / 2; break;
    case 2: m_lineStartX = m_runRect.left + available - m_line.width; break;
    default: m_lineStartX = x; break;
    }
    return m_lineStartX;
}

int CHtmlDrawer::EndLine(int* x, int count, SIZE* size)
{
    if (m_measuring) {
        if (m_line.height == 0)
            m_line.height = m_textMetric.tmHeight;
        size->cx = std::max(size->cx, static_cast<LONG>(*x - m_runRect.left));
        m_line.width = *x - m_runRect.left;
        m_line.height += m_line.descent;
        if (static_cast<int>(m_lines.size()) <= m_lineIndex)
            m_lines.resize(static_cast<size_t>(m_lineIndex + 1));
        m_lines[m_lineIndex] = m_line;
    }
    ++m_lineIndex;
    m_y += m_line.height * (count < 1 ? 1 : count);
    *x = BeginLine(m_runRect.left);
    return *x;
}

int CHtmlDrawer::TextTop(int y, int pieceHeight)
{
    if (m_measuring) {
        MarkupLine& line = m_line;
        line.descent = std::max(line.descent, static_cast<int>(pieceHeight - m_textMetric.tmAscent));
        line.height = std::max(line.height, static_cast<int>(m_textMetric.tmAscent));
        return y;
    }
    switch (m_style.verticalAlign) {
    case 1: return y + (m_line.height - m_textMetric.tmHeight) / 2;
    case 2: return y + m_line.height - m_textMetric.tmAscent;
    case 3: return y + m_line.height - m_textMetric.tmAscent - m_line.descent;
    default: return y;
    }
}

int CHtmlDrawer::ImageTop(int y, int imageHeight)
{
    if (m_measuring) {
        MarkupLine& line = m_line;
        line.height = std::max(line.height, imageHeight);
        return y;
    }
    switch (m_style.verticalAlign) {
    case 1: return y + (m_line.height - imageHeight) / 2;
    case 2: return y + m_line.height - imageHeight;
    case 3: return y + m_line.height - m_line.descent - imageHeight;
    default: return y;
    }
}

SIZE CHtmlDrawer::DrawRun(const CMarkupString& text, const RECT* rect)
{
    const CMarkupString wrapped = L"<body>" + text + L"</body>";
    m_runRect = *rect;
    m_line = MarkupLine();
    const int firstLine = m_lineIndex;
    m_x = BeginLine(m_runRect.left);
    m_y = m_runRect.top;
    SIZE runSize = {0, 0};

    int pos = 0;
    CMarkupString plain, tag;
    bool hasTag = false;
    while (NextToken(wrapped, pos, plain, tag, hasTag)) {
        if (!plain.empty())
            DrawTextPiece(plain, &runSize);
        if (!hasTag)
            continue;
        CMarkupString name, params;
        SplitTag(tag, name, params);
        const MarkupTag record = LookupTag(name);
        if (record.id == TagNone)
            continue;
        const BOOL closing = !name.empty() && name[0] == L'/';
        if (record.className.empty()) {
            switch (record.id) {
            case TagRule: DrawRule(params); break;
            case TagBreak: {
                const int count = std::min(GetLength(params.Mid(1), 1, FALSE), kMaxMarkupRepeat);
                m_line.wrapped = 0;
                EndLine(&m_x, count, &runSize);
                break;
            }
            case TagTab: DrawTab(params); break;
            case TagString: DrawStringTag(params); break;
            default: DrawImageTag(record.id, params, &runSize); break;
            }
            continue;
        }
        if (PushPopStyle(closing, record.className)) {
            if (!closing)
                ApplyStyleTag(record.id, params);
            ApplyFont();
        }
    }
    if (m_x != m_lineStartX) {
        m_line.wrapped = 0;
        EndLine(&m_x, 1, &runSize);
    }
    SetJustification(0, 0);
    SIZE result = {runSize.cx, m_y - m_runRect.top};
    for (int i = firstLine; i < m_lineIndex && i < static_cast<int>(m_lines.size()); ++i)
        if (m_lines[i].percent != 0)
            result.cx = std::max(result.cx, static_cast<LONG>(m_lines[i].width +
                                                              MulDiv(m_lines[i].percent, runSize.cx, 100)));
    return result;
}

void CHtmlDrawer::DrawTextPiece(CMarkupString text, SIZE* runSize)
{
    text = Transform(text, m_style.textTransform);
    // The piece is walked by position: copying the rest of a long text for every line would make
    // wrapping it quadratic.
    int start = 0;
    while (start < text.Length()) {
        SetJustification(0, 0);
        const int length = text.Length() - start;
        int pieceLength = length;
        int next = text.Length();
        int width = 0;
        int height = m_textMetric.tmHeight;
        const bool replay = !m_measuring && m_wrapCursor + 3 <= m_wrapLog.size();
        if (replay) {
            // The lines the measuring pass made, with the width it measured.
            pieceLength = std::max(0, std::min(m_wrapLog[m_wrapCursor++], length));
            next = start + std::max(0, std::min(m_wrapLog[m_wrapCursor++], length));
            width = m_wrapLog[m_wrapCursor++];
        } else {
            const int roomWidth = m_runRect.right - m_runRect.left;
            const bool wrapOff = m_maxWidth == 0 || roomWidth <= 0;
            const int room = m_runRect.right - m_x;
            // With wrapping on, the rest is measured only as far as the line has room.
            const SIZE natural = wrapOff ? PieceExtent(text.c_str() + start, length)
                                         : BoundedExtent(text.c_str() + start, length, std::max(room, 0),
                                                         &m_prefixes);
            height = natural.cy;
            if (wrapOff || room - natural.cx >= 0) {
                width = natural.cx;
            } else {
                width = room;
                // Only at the line's start may a word be cut by characters; elsewhere it moves on.
                next = WrapAt(text, start, m_x == m_lineStartX ? width : roomWidth + 1, &width, &pieceLength,
                              &m_prefixes);
            }
        }
        const int pieceY = TextTop(m_y, height);
        CMarkupString piece(text.c_str() + start, static_cast<size_t>(pieceLength));
        if (m_measuring) {
            m_wrapLog.push_back(piece.Length());
            m_wrapLog.push_back(next - start);
            m_wrapLog.push_back(width);
            m_line.alignment = m_style.horizontalAlign;
            m_line.breaks += CountChar(piece, L' ');
        } else if (!piece.empty() && (!LineVisible() || (replay && !PieceVisible(width)))) {
            // A line or piece outside the clip box keeps its links at their measured place and draws
            // nothing: a long text would otherwise measure and draw every hidden piece on each paint.
            AddHotArea(m_x, pieceY, m_x + width, pieceY + height);
        } else if (!piece.empty()) {
            width = Extent(m_dc, piece).cx;
            if (width == m_remainingWidth && piece.back() == L' ') {
                const CMarkupString trimmed = TrimRight(piece);
                const int trimmedWidth = Extent(m_dc, trimmed).cx;
                m_remainingWidth -= width - trimmedWidth;
                piece = trimmed;
                width = trimmedWidth;
                m_remainingBreaks = CountChar(piece, L' ');
            }
            if (m_line.alignment == 3 && m_line.wrapped)
                SetJustification((m_runRect.right - m_x) - m_remainingWidth, m_remainingBreaks);
            m_remainingWidth -= width;
            if (m_justified)
                width = Extent(m_dc, piece).cx;   // justified width
            AddHotArea(m_x, pieceY, m_x + width, pieceY + height);
            MarkupTextOut(m_dc, m_x, pieceY, piece);
            m_remainingBreaks -= CountChar(piece, L' ');
            if (m_style.overline) {
                HPEN pen = CreatePen(PS_SOLID, m_style.fontWeight >= kOverlineBoldWeight ? 2 : 1,
                                     m_style.textColor);
                HGDIOBJ previous = SelectObject(m_dc, pen);
                MoveToEx(m_dc, m_x, pieceY, nullptr);
                LineTo(m_dc, m_x + width, pieceY);
                SelectObject(m_dc, previous);
                DeleteObject(pen);
            }
        }
        m_x += width;
        start = next;
        if (start < text.Length()) {
            m_line.wrapped = 1;
            EndLine(&m_x, 1, runSize);
        }
    }
}

SIZE CHtmlDrawer::PieceExtent(const wchar_t* text, int count)
{
    // Short pieces repeat (the cells of a large table): each is measured once per font and pass.
    const size_t kShort = 24;
    const size_t kEntries = 4096;
    if (!m_measuring || static_cast<size_t>(count) > kShort) {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(m_dc, text, count, &size);
        return size;
    }
    std::wstring key(reinterpret_cast<const wchar_t*>(&m_font), sizeof(m_font) / sizeof(wchar_t));
    key.append(text, static_cast<size_t>(count));
    auto found = m_extentCache.find(key);
    if (found != m_extentCache.end())
        return found->second;
    if (m_extentCache.size() >= kEntries)
        m_extentCache.clear();
    SIZE size = {0, 0};
    GetTextExtentPoint32W(m_dc, text, count, &size);
    m_extentCache.emplace(std::move(key), size);
    return size;
}

bool CHtmlDrawer::LineVisible() const
{
    return !m_clipKnown ||
           (m_y < m_clipBox.bottom && static_cast<long long>(m_y) + m_line.height > m_clipBox.top);
}

bool CHtmlDrawer::PieceVisible(int width) const
{
    if (!m_clipKnown || m_x >= m_clipBox.right)
        return !m_clipKnown;
    // Justification widens a line's pieces past their measured widths: only its right side is sure.
    const bool justified = m_line.alignment == 3 && m_line.wrapped;
    return justified || static_cast<long long>(m_x) + width > m_clipBox.left;
}

bool CHtmlDrawer::AreaVisible(int left, int top, int right, int bottom) const
{
    return !m_clipKnown || (left < m_clipBox.right && right > m_clipBox.left && top < m_clipBox.bottom &&
                            bottom > m_clipBox.top);
}
