// Tables: attributes, analysis into rows and columns, column widths and row heights, drawing.
#include "render/HtmlDrawer.h"
#include "render/MarkupLimits.h"
#include "render/MarkupTagIndex.h"
#include "render/MarkupAttributes.h"
#include "render/MarkupCanvas.h"
#include <algorithm>
#include <cstdlib>

namespace {
const int kDoubleBorder = 6;
const int kDoubleBorderInset = 3;
const BYTE kTableGranularity = 5;
const int kOccupied = -1;

// The attribute text of a tag whose name ends at pos: up to its ">"; pos steps past it.
CMarkupString TagAttributes(const CMarkupString& text, int& pos)
{
    const int start = pos;
    CHtmlDrawer::SkipToAnyOf(text, pos, L">");
    CMarkupString attributes = text.Mid(start, pos - start);
    if (pos < text.Length())
        ++pos;
    return attributes;
}

int OuterSize(const std::vector<int>& sizes, int spacing, int border, int borderStyle)
{
    long long total = spacing - 1;
    for (int s : sizes)
        total += static_cast<long long>(s) + spacing + 1;
    if (border > 0)
        total += borderStyle == 6 ? kDoubleBorder : 2 * border;
    return ClampMarkup(total, kMaxMarkupExtent);
}

int SpanSum(const std::vector<int>& sizes, int first, int span)
{
    long long sum = 0;
    for (int i = first; i < first + span && i < static_cast<int>(sizes.size()); ++i)
        sum += sizes[i];
    return ClampMarkup(sum, kMaxMarkupExtent);
}

// offsets[i]: from the first column (row) to column (row) i, with the spacing and the one-pixel gap
// after each; one more entry than sizes.
std::vector<long long> Offsets(const std::vector<int>& sizes, int spacing)
{
    std::vector<long long> offsets(sizes.size() + 1, 0);
    for (size_t i = 0; i < sizes.size(); ++i)
        offsets[i + 1] = offsets[i] + sizes[i] + 1 + spacing;
    return offsets;
}

// The extent of `span` pieces from `first`: their sizes and the gaps between them.
long long SpanExtent(const std::vector<long long>& offsets, int first, int span, int spacing)
{
    const int last = std::min(first + span, static_cast<int>(offsets.size()) - 1);
    return offsets[last] - offsets[first] - static_cast<long long>(last - first) * (spacing + 1) +
           static_cast<long long>(span - 1) * (spacing + 1);
}

// Grows `sizes` so that a piece spanning [first, first + span) holds `outer`, as the layout always
// has: the growth spread evenly, the remainder to `remainderAt`.
void GrowSpan(std::vector<int>& sizes, int first, int span, int outer, int remainderAt)
{
    const int count = static_cast<int>(sizes.size());
    const int last = std::min(count, first + span) - 1;
    const int sum = SpanSum(sizes, first, span);
    if (sum >= outer)
        return;
    const int grow = (outer - sum) / span;
    for (int i = first; i <= last; ++i)
        sizes[i] = ClampMarkup(static_cast<long long>(sizes[i]) + grow, kMaxMarkupExtent);
    sizes[remainderAt] = ClampMarkup(static_cast<long long>(sizes[remainderAt]) + (outer - sum) % span,
                                     kMaxMarkupExtent);
}
}

void CHtmlDrawer::ParseTableAttributes(int out[2], const CMarkupString& params, CMarkupStyle& style,
                                       BOOL isTable) const
{
    out[0] = out[1] = 1;
    ForEachMarkupAttribute(params, [&](const CMarkupString& name, const CMarkupString& value) {
        if (name == L"cellpadding") {
            if (isTable)
                style.cellPadding = GetLength(value, style.cellPadding, FALSE);
        } else if (name == L"cellspacing") {
            if (isTable)
                style.cellSpacing = GetLength(value, style.cellSpacing, FALSE);
        } else if (name == L"background") {
            if (isTable)
                style.backgroundImage = value;
        } else if (name == L"rowspan") {
            out[1] = GetLength(value, 1, FALSE);
        } else if (name == L"colspan") {
            out[0] = GetLength(value, 1, FALSE);
        } else if (name == L"border") {
            style.borderWidth = GetLength(value, style.borderWidth, FALSE);
            if (style.borderWidth == 0)
                style.borderStyle = 0;
            else if (style.borderStyle == 0)
                style.borderStyle = 1;
        } else if (name == L"borderstyle") {
            if (!value.empty())
                style.borderStyle = GetBorderStyle(value, style.borderStyle);
            if (style.borderStyle != 0 && style.borderWidth == 0)
                style.borderWidth = 1;
        } else if (name == L"bordercolor") {
            style.borderLightColor = style.borderDarkColor =
                m_outputEnabled ? GetColor(value, style.borderLightColor) : m_disabledColor;
        } else if (name == L"bordercolorlight") {
            style.borderLightColor = m_outputEnabled ? GetColor(value, style.borderLightColor) : m_disabledColor;
        } else if (name == L"bordercolordark") {
            style.borderDarkColor = m_outputEnabled ? GetColor(value, style.borderDarkColor) : m_disabledColor;
        } else if (name == L"bgcolor") {
            if (m_outputEnabled) {
                style.backgroundColor = GetColor(value, style.backgroundColor);
                if (style.backgroundEffect < 0)
                    style.backgroundEffect = EffectSolid;
            }
        } else if (name == L"bgmidcolor") {
            if (m_outputEnabled)
                style.backgroundMidColor = GetColor(value, style.backgroundMidColor);
        } else if (name == L"bgendcolor") {
            if (m_outputEnabled)
                style.backgroundEndColor = GetColor(value, style.backgroundEndColor);
        } else if (name == L"bgeffect") {
            if (m_outputEnabled)
                style.backgroundEffect = GetEffect(value, style.backgroundEffect);
        } else if (name == L"align") {
            if (value == L"left" || value == L"center" || value == L"right")
                style.horizontalAlign = GetTextAlign(value, style.horizontalAlign);
        } else if (name == L"valign") {
            if (!value.empty())
                style.verticalAlign = GetVerticalAlign(value, style.verticalAlign);
        } else if (name == L"width") {
            style.width = GetLength(value, style.width, FALSE);
        } else if (name == L"height") {
            style.height = GetLength(value, style.height, FALSE);
        }
    });
    if (style.borderStyle == 0 || style.borderWidth == 0) {
        style.borderStyle = 0;
        style.borderWidth = 0;
    } else if (style.borderStyle != 1 || !isTable) {
        style.borderWidth = 1;   // only the table's own solid border may be wider
    }
    out[0] = std::max(1, std::min(out[0], kMaxTableSpan));
    out[1] = std::max(1, std::min(out[1], kMaxTableSpan));
    style.borderWidth = std::min(style.borderWidth, static_cast<int>(CDrawManager::MaxPenWidth));
    style.cellPadding = ClampMarkupSize(style.cellPadding, kMaxMarkupLength);
    style.cellSpacing = ClampMarkupSize(style.cellSpacing, kMaxMarkupLength);
    style.width = ClampMarkupSize(style.width, kMaxMarkupLength);
    style.height = ClampMarkupSize(style.height, kMaxMarkupLength);
}

void CHtmlDrawer::OpenTablePart(const wchar_t* name, const CMarkupString& text, int& pos, int spans[2],
                                BOOL isTable)
{
    PushPopStyle(FALSE, name);
    ApplyStyleClass(name, m_style);
    if (!isTable && name[1] == L'd') {
        m_style.width = 0;   // a cell's size is its own, not its row's or table's
        m_style.height = 0;
    }
    ParseTableAttributes(spans, TagAttributes(text, pos), m_style, isTable);
    ApplyFont();
}

void CHtmlDrawer::FillAndFrame(const RECT& box, COLORREF light, COLORREF dark, int frameWidth)
{
    if (m_style.backgroundEffect >= 0)
        MarkupFill(m_drawManager, m_dc, m_style.backgroundEffect, box, m_style.backgroundColor,
                   m_style.backgroundMidColor, m_style.backgroundEndColor, kTableGranularity);
    if (!m_outputEnabled)
        light = dark = m_disabledColor;
    if (m_style.borderStyle != 0 && frameWidth > 0)
        MarkupFrame(m_drawManager, m_dc, box, light, dark, m_style.borderStyle, frameWidth);
}

void CHtmlDrawer::AnalyseTable(const CMarkupString& tableText, int* columns, int* rows)
{
    *columns = *rows = 0;
    CMarkupStyle scratch;
    const CMarkupTagIndex tags(tableText);
    int pos = 0;
    while (tags.NextOutsideTables(CMarkupTagIndex::RowOpen, pos, tags.Length())) {
        ++*rows;
        const int rowEnd = tags.RowEnd(pos + 3);
        int cellPos = pos + 3;
        long long count = 0;
        while (tags.NextOutsideTables(CMarkupTagIndex::CellOpen, cellPos, rowEnd)) {
            cellPos += 3;
            int spans[2];
            ParseTableAttributes(spans, TagAttributes(tableText, cellPos), scratch, FALSE);
            count += spans[0];
        }
        *columns = static_cast<int>(std::min<long long>(std::max<long long>(*columns, count), kMaxTableCells));
        pos = rowEnd;
    }
}

SIZE CHtmlDrawer::DrawTable(SIZE* size, const CMarkupString& tableText, const RECT* rect)
{
    const int index = ++m_tableIndex;
    *size = {0, 0};
    if (m_tableDepth >= kMaxTableDepth)
        return *size;   // nested past any real layout: left out, so that depth costs no stack
    struct DepthGuard
    {
        int& depth;
        explicit DepthGuard(int& d) : depth(d) { ++depth; }
        ~DepthGuard() { --depth; }
    } guard(m_tableDepth);
    MarkupTable table;
    if (m_measuring) {
        int columns = 0, rows = 0;
        AnalyseTable(tableText, &columns, &rows);
        // The grid holds rows x columns records: cells past its bound are left out.
        rows = std::min(rows, kMaxTableCells);
        if (rows > 0 && columns > kMaxTableCells / rows)
            columns = kMaxTableCells / rows;
        table.cells.assign(static_cast<size_t>(rows), std::vector<MarkupCell>(static_cast<size_t>(columns)));
        for (auto& row : table.cells)
            for (MarkupCell& cell : row)
                cell = MarkupCell{0, 0, 0, 0, 0, 0, 0};
        table.columnWidths.assign(static_cast<size_t>(columns), 0);
        table.rowHeights.assign(static_cast<size_t>(rows), 0);
        table.fixedColumns.assign(static_cast<size_t>(columns), 0);
        if (static_cast<int>(m_tables.size()) <= index)
            m_tables.resize(static_cast<size_t>(index + 1));
    } else if (index < static_cast<int>(m_tables.size())) {
        table = m_tables[index];
    }

    int pos = 0;
    int spans[2];
    OpenTablePart(L"table", tableText, pos, spans, TRUE);

    const int s = m_style.cellSpacing;
    const bool doubleBorder = m_style.borderStyle == 6;
    RECT tableRect = *rect;
    if (!m_measuring) {
        int W = OuterSize(table.columnWidths, s, m_style.borderWidth, m_style.borderStyle);
        const int H = OuterSize(table.rowHeights, s, m_style.borderWidth, m_style.borderStyle);
        const int available = rect->right - rect->left;
        if (W < available) {
            int loose = 0;
            for (int f : table.fixedColumns)
                loose += f ? 0 : 1;
            int difference = available - W;
            for (size_t c = 0; c < table.columnWidths.size() && loose > 0; ++c) {
                if (table.fixedColumns[c])
                    continue;
                const int share = difference / loose--;
                table.columnWidths[c] += share;
                difference -= share;
                W += share;
            }
        }
        if (W < available) {
            if (m_style.horizontalAlign == 1)
                tableRect.left = rect->left + (available - W) / 2;
            else if (m_style.horizontalAlign == 2)
                tableRect.left = rect->right - W;
        }
        tableRect.right = ClampMarkup(static_cast<long long>(tableRect.left) + W, 0x7FFFFFFF);
        tableRect.bottom = ClampMarkup(static_cast<long long>(tableRect.top) + H, 0x7FFFFFFF);
        table.columnOffsets = Offsets(table.columnWidths, s);
        table.rowOffsets = Offsets(table.rowHeights, s);
        if (m_style.backgroundEffect < 0 && !m_style.backgroundImage.empty())
            DrawBackgroundImage(m_dc, tableRect.left, tableRect.top, W, H, m_style.backgroundImage);
        if (RectVisible(m_dc, &tableRect))
            FillAndFrame(tableRect, m_style.borderLightColor, m_style.borderDarkColor, m_style.borderWidth);
        *size = {W, H};
    }

    RECT content = tableRect;
    const int inset = doubleBorder ? kDoubleBorderInset : m_style.borderWidth;
    InflateRect(&content, -inset, -inset);
    if (!table.columnWidths.empty() && !table.rowHeights.empty()) {
        const CMarkupTagIndex tags(tableText);
        const int rows = static_cast<int>(table.rowHeights.size());
        int row = 0;
        int rowPos = pos;
        while (row < rows && tags.NextOutsideTables(CMarkupTagIndex::RowOpen, rowPos, tags.Length())) {
            const int rowEnd = tags.RowEnd(rowPos + 3);
            if (m_measuring || !SkipHiddenRow(table, row, content))
                DrawTableRow(tableText.Mid(rowPos + 3, rowEnd - rowPos - 3), content, table, row);
            ++row;
            rowPos = rowEnd;
        }
    }

    if (m_measuring) {
        ComputeTableSizes(table);
        const int border = m_style.borderWidth;
        *size = {OuterSize(table.columnWidths, s, border, m_style.borderStyle),
                 OuterSize(table.rowHeights, s, border, m_style.borderStyle)};
        m_tables[index] = table;
    }
    PushPopStyle(TRUE, L"table");
    ApplyFont();
    return *size;
}

bool CHtmlDrawer::SkipHiddenRow(const MarkupTable& table, int row, const RECT& content)
{
    // A row whose cells hold plain text and lie, with every row they span, outside the clip box
    // has nothing to draw: a large table would otherwise open each of its cells on every paint.
    if (row >= static_cast<int>(table.cells.size()) || table.rowOffsets.size() != table.rowHeights.size() + 1)
        return false;
    int span = 1, lineEnd = 0, wrapEnd = 0;
    for (const MarkupCell& cell : table.cells[row]) {
        if (cell.colspan == kOccupied)
            continue;
        if (!cell.plain)
            return false;
        span = std::max(span, cell.rowspan);
        lineEnd = std::max(lineEnd, cell.lineEnd);
        wrapEnd = std::max(wrapEnd, cell.wrapEnd);
    }
    const int s = m_style.cellSpacing;
    const long long top = static_cast<long long>(content.top) + s + table.rowOffsets[row];
    const long long bottom = top + SpanExtent(table.rowOffsets, row, span, s);
    if (AreaVisible(content.left, ClampMarkup(top, 0x7FFFFFFF), content.right, ClampMarkup(bottom, 0x7FFFFFFF)))
        return false;
    m_lineIndex = std::max(m_lineIndex, lineEnd);
    m_wrapCursor = std::max(m_wrapCursor, static_cast<size_t>(std::max(0, wrapEnd)));
    return true;
}

void CHtmlDrawer::DrawTableRow(const CMarkupString& rowText, const RECT& content, MarkupTable& table, int row)
{
    int pos = 0;
    int spans[2];
    OpenTablePart(L"tr", rowText, pos, spans, FALSE);

    const int s = m_style.cellSpacing;
    const int columns = static_cast<int>(table.columnWidths.size());
    const int rows = static_cast<int>(table.rowHeights.size());
    if (!m_measuring && (table.columnOffsets.size() != table.columnWidths.size() + 1 ||
                         table.rowOffsets.size() != table.rowHeights.size() + 1)) {
        table.columnOffsets = Offsets(table.columnWidths, s);
        table.rowOffsets = Offsets(table.rowHeights, s);
    }
    const CMarkupTagIndex tags(rowText);
    int column = 0;
    while (tags.NextOutsideTables(CMarkupTagIndex::CellOpen, pos, tags.Length())) {
        const int cellEnd = tags.CellEnd(pos + 3);
        const CMarkupString cellText = rowText.Mid(pos + 3, cellEnd - pos - 3);
        pos = cellEnd;
        while (column < columns && table.cells[row][column].colspan == kOccupied)
            ++column;
        if (column >= columns)
            break;   // more cells than the analysis found: nothing to place them in
        RECT cell = {0, 0, 0, 0};
        if (!m_measuring) {
            const MarkupCell& record = table.cells[row][column];
            const int colspan = std::max(1, record.colspan);
            const int rowspan = std::max(1, record.rowspan);
            const long long left = static_cast<long long>(content.left) + s + table.columnOffsets[column];
            const long long top = static_cast<long long>(content.top) + s + table.rowOffsets[row];
            cell.left = ClampMarkup(left, 0x7FFFFFFF);
            cell.right = ClampMarkup(left + SpanExtent(table.columnOffsets, column, colspan, s), 0x7FFFFFFF);
            cell.top = ClampMarkup(top, 0x7FFFFFFF);
            cell.bottom = ClampMarkup(top + SpanExtent(table.rowOffsets, row, rowspan, s), 0x7FFFFFFF);
        }
        DrawTableCell(cellText, cell, table, row, column);
        const MarkupCell record = table.cells[row][column];
        if (m_measuring) {
            for (int c = column + 1; c < column + record.colspan && c < columns; ++c)
                table.cells[row][c].colspan = table.cells[row][c].rowspan = kOccupied;
            for (int r = row + 1; r < row + record.rowspan && r < rows; ++r)
                table.cells[r][column].colspan = table.cells[r][column].rowspan = kOccupied;
        }
        column += std::max(1, record.colspan);
    }
    PushPopStyle(TRUE, L"tr");
    ApplyFont();
}

void CHtmlDrawer::DrawTableCell(const CMarkupString& cellText, const RECT& cellRect, MarkupTable& table, int row,
                                int column)
{
    int pos = 0;
    int spans[2];
    OpenTablePart(L"td", cellText, pos, spans, FALSE);
    const CMarkupString body = cellText.Mid(pos);
    MarkupCell& record = table.cells[row][column];
    const int inset = m_style.borderWidth + m_style.cellPadding;

    if (m_measuring) {
        record = MarkupCell{spans[0], spans[1], m_style.width, 0, 0, 0, m_style.width > 0 ? 1 : 0};
        RECT layout = {0, 0, m_style.width, 0};
        SIZE blocks = DrawBlocks(body, layout, true);
        record.lineEnd = m_lineIndex;
        record.wrapEnd = static_cast<int>(m_wrapLog.size());
        record.plain = m_style.linkKind == 0 && body.find(L'<') == std::wstring::npos ? 1 : 0;
        record.contentWidth = std::max(record.contentWidth, static_cast<int>(blocks.cx));
        record.contentHeight += blocks.cy;
        record.outerWidth = std::max(m_style.width, record.contentWidth) + 2 * inset;
        record.outerHeight = std::max(m_style.height, record.contentHeight) + 2 * inset;
    } else {
        // Most cells of a large table lie outside the clip box; their pens and fills cost for nothing.
        const bool visible = RectVisible(m_dc, &cellRect) != FALSE;
        // Dark first: cells look sunk into the raised table.
        if (visible)
            FillAndFrame(cellRect, m_style.borderDarkColor, m_style.borderLightColor, 1);
        if (!visible && record.plain) {
            // Plain text outside the clip box: nothing to draw and no link to record, so the cell is
            // stepped over; a large table would otherwise lay out every hidden cell on each paint.
            m_lineIndex = std::max(m_lineIndex, record.lineEnd);
            m_wrapCursor = std::max(m_wrapCursor, static_cast<size_t>(std::max(0, record.wrapEnd)));
        } else {
            RECT content = cellRect;
            InflateRect(&content, -inset, -inset);
            if (m_style.verticalAlign == 1)
                content.top = content.top + (content.bottom - record.contentHeight - content.top) / 2;
            else if (m_style.verticalAlign == 2)
                content.top = content.bottom - record.contentHeight;
            DrawBlocks(body, content, true);
        }
    }
    PushPopStyle(TRUE, L"td");
    ApplyFont();
}

void CHtmlDrawer::ComputeTableSizes(MarkupTable& table)
{
    const int columns = static_cast<int>(table.columnWidths.size());
    const int rows = static_cast<int>(table.rowHeights.size());
    // Narrow spans first, each span in row-then-column order: one sort instead of a sweep of the
    // whole grid for every possible span.
    struct Piece
    {
        int span, row, column;
    };
    std::vector<Piece> byColumns, byRows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const MarkupCell& cell = table.cells[r][c];
            if (cell.colspan >= 1 && cell.colspan <= columns)
                byColumns.push_back({cell.colspan, r, c});
            if (cell.rowspan >= 1 && cell.rowspan <= rows)
                byRows.push_back({cell.rowspan, r, c});
        }
    const auto narrowFirst = [](const Piece& a, const Piece& b) { return a.span < b.span; };
    std::stable_sort(byColumns.begin(), byColumns.end(), narrowFirst);
    std::stable_sort(byRows.begin(), byRows.end(), narrowFirst);
    for (const Piece& p : byColumns) {
        const MarkupCell& cell = table.cells[p.row][p.column];
        const int last = std::min(columns, p.column + p.span) - 1;
        if (cell.fixed)
            for (int i = p.column; i <= last; ++i)
                table.fixedColumns[i] = 1;
        if (p.span == 1)
            table.columnWidths[p.column] = std::max(table.columnWidths[p.column], cell.outerWidth);
        else
            GrowSpan(table.columnWidths, p.column, p.span, cell.outerWidth, last);
    }
    for (const Piece& p : byRows) {
        const MarkupCell& cell = table.cells[p.row][p.column];
        if (p.span == 1)
            table.rowHeights[p.row] = std::max(table.rowHeights[p.row], cell.outerHeight);
        else
            GrowSpan(table.rowHeights, p.row, p.span, cell.outerHeight, p.row);
    }
}
