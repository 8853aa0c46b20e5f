// Tables: attributes, analysis into rows and columns, column widths and row heights, drawing.
#include "render/HtmlDrawer.h"
#include "render/MarkupAttributes.h"
#include "render/MarkupCanvas.h"
#include <algorithm>
#include <cstdlib>

namespace {
const int kDoubleBorder = 6;
const int kDoubleBorderInset = 3;
const BYTE kTableGranularity = 5;
const int kOccupied = -1;

// The next "<name" at or after pos that is not inside a nested table; pos ends on its "<", or at
// limit when there is none before it.
bool NextTagOutsideTables(const CMarkupString& text, int& pos, const wchar_t* name, int limit)
{
    while (pos < limit) {
        int tag = pos, table = pos;
        CHtmlDrawer::FindTag(text, tag, name);
        CHtmlDrawer::FindTag(text, table, L"table");
        if (tag >= limit) {
            pos = limit;
            return false;
        }
        if (table < tag) {
            pos = table + 6;
            CHtmlDrawer::FindTableEnd(text, pos);
            if (pos < text.Length())
                pos += 7;
            continue;
        }
        pos = tag;
        return true;
    }
    return false;
}

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
    int total = spacing - 1;
    for (int s : sizes)
        total += s + spacing + 1;
    if (border > 0)
        total += borderStyle == 6 ? kDoubleBorder : 2 * border;
    return total;
}

int SpanSum(const std::vector<int>& sizes, int first, int span)
{
    int sum = 0;
    for (int i = first; i < first + span && i < static_cast<int>(sizes.size()); ++i)
        sum += sizes[i];
    return sum;
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
    if (out[0] < 1)
        out[0] = 1;
    if (out[1] < 1)
        out[1] = 1;
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
    int pos = 0;
    while (NextTagOutsideTables(tableText, pos, L"tr", tableText.Length())) {
        ++*rows;
        int rowEnd = pos + 3;
        FindRowEnd(tableText, rowEnd);
        int cellPos = pos + 3;
        int count = 0;
        while (NextTagOutsideTables(tableText, cellPos, L"td", rowEnd)) {
            cellPos += 3;
            int spans[2];
            ParseTableAttributes(spans, TagAttributes(tableText, cellPos), scratch, FALSE);
            count += spans[0];
        }
        *columns = std::max(*columns, count);
        pos = rowEnd;
    }
}

SIZE CHtmlDrawer::DrawTable(SIZE* size, const CMarkupString& tableText, const RECT* rect)
{
    const int index = ++m_tableIndex;
    *size = {0, 0};
    MarkupTable table;
    if (m_measuring) {
        int columns = 0, rows = 0;
        AnalyseTable(tableText, &columns, &rows);
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
        tableRect.right = tableRect.left + W;
        tableRect.bottom = tableRect.top + H;
        if (m_style.backgroundEffect < 0 && !m_style.backgroundImage.empty())
            DrawBackgroundImage(m_dc, tableRect.left, tableRect.top, W, H, m_style.backgroundImage);
        FillAndFrame(tableRect, m_style.borderLightColor, m_style.borderDarkColor, m_style.borderWidth);
        *size = {W, H};
    }

    RECT content = tableRect;
    const int inset = doubleBorder ? kDoubleBorderInset : m_style.borderWidth;
    InflateRect(&content, -inset, -inset);
    if (!table.columnWidths.empty() && !table.rowHeights.empty()) {
        int row = 0;
        int rowPos = pos;
        while (NextTagOutsideTables(tableText, rowPos, L"tr", tableText.Length())) {
            int rowEnd = rowPos + 3;
            FindRowEnd(tableText, rowEnd);
            if (row < static_cast<int>(table.rowHeights.size()))
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

void CHtmlDrawer::DrawTableRow(const CMarkupString& rowText, const RECT& content, MarkupTable& table, int row)
{
    int pos = 0;
    int spans[2];
    OpenTablePart(L"tr", rowText, pos, spans, FALSE);

    const int s = m_style.cellSpacing;
    const int columns = static_cast<int>(table.columnWidths.size());
    const int rows = static_cast<int>(table.rowHeights.size());
    int column = 0;
    while (NextTagOutsideTables(rowText, pos, L"td", rowText.Length())) {
        int cellEnd = pos + 3;
        FindCellEnd(rowText, cellEnd);
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
            cell.left = content.left + s;
            for (int c = 0; c < column; ++c)
                cell.left += table.columnWidths[c] + 1 + s;
            cell.right = cell.left + SpanSum(table.columnWidths, column, colspan) + (colspan - 1) * (s + 1);
            cell.top = content.top + s;
            for (int r = 0; r < row; ++r)
                cell.top += table.rowHeights[r] + 1 + s;
            cell.bottom = cell.top + SpanSum(table.rowHeights, row, rowspan) + (rowspan - 1) * (s + 1);
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
        record.contentWidth = std::max(record.contentWidth, static_cast<int>(blocks.cx));
        record.contentHeight += blocks.cy;
        record.outerWidth = std::max(m_style.width, record.contentWidth) + 2 * inset;
        record.outerHeight = std::max(m_style.height, record.contentHeight) + 2 * inset;
    } else {
        // Dark first: cells look sunk into the raised table.
        FillAndFrame(cellRect, m_style.borderDarkColor, m_style.borderLightColor, 1);
        RECT content = cellRect;
        InflateRect(&content, -inset, -inset);
        if (m_style.verticalAlign == 1)
            content.top = content.top + (content.bottom - record.contentHeight - content.top) / 2;
        else if (m_style.verticalAlign == 2)
            content.top = content.bottom - record.contentHeight;
        DrawBlocks(body, content, true);
    }
    PushPopStyle(TRUE, L"td");
    ApplyFont();
}

void CHtmlDrawer::ComputeTableSizes(MarkupTable& table)
{
    const int columns = static_cast<int>(table.columnWidths.size());
    const int rows = static_cast<int>(table.rowHeights.size());
    for (int span = 1; span <= columns; ++span)
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const MarkupCell& cell = table.cells[r][c];
                if (cell.colspan != span)
                    continue;
                const int last = std::min(columns, c + span) - 1;
                if (cell.fixed)
                    for (int i = c; i <= last; ++i)
                        table.fixedColumns[i] = 1;
                if (span == 1) {
                    table.columnWidths[c] = std::max(table.columnWidths[c], cell.outerWidth);
                    continue;
                }
                const int sum = SpanSum(table.columnWidths, c, span);
                if (sum < cell.outerWidth) {
                    const int grow = (cell.outerWidth - sum) / span;
                    for (int i = c; i <= last; ++i)
                        table.columnWidths[i] += grow;
                    table.columnWidths[last] += (cell.outerWidth - sum) % span;
                }
            }
    for (int span = 1; span <= rows; ++span)
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const MarkupCell& cell = table.cells[r][c];
                if (cell.rowspan != span)
                    continue;
                if (span == 1) {
                    table.rowHeights[r] = std::max(table.rowHeights[r], cell.outerHeight);
                    continue;
                }
                const int last = std::min(rows, r + span) - 1;
                const int sum = SpanSum(table.rowHeights, r, span);
                if (sum < cell.outerHeight) {
                    const int grow = (cell.outerHeight - sum) / span;
                    for (int i = r; i <= last; ++i)
                        table.rowHeights[i] += grow;
                    table.rowHeights[r] += (cell.outerHeight - sum) % span;
                }
            }
}
