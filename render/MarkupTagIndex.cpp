#include "render/MarkupTagIndex.h"
#include <algorithm>

namespace {
struct TagName
{
    const wchar_t* name;   // after the "<"
    int length;
};
const TagName kNames[CMarkupTagIndex::KindCount] = {
    {L"table", 5}, {L"/table", 6}, {L"tr", 2}, {L"/tr", 3}, {L"td", 2}, {L"/td", 3}};
const int kTableOpenLength = 6;    // "<table"
const int kTableCloseLength = 7;   // "</table"
}

CMarkupTagIndex::CMarkupTagIndex(const CMarkupString& text) : m_length(text.Length())
{
    const wchar_t* s = text.c_str();
    std::vector<size_t> open;   // tables not closed yet, as indexes into m_positions[TableOpen]
    for (int at = 0; at < m_length; ++at) {
        if (s[at] != L'<' || (at > 0 && s[at - 1] == L'<'))
            continue;
        for (int k = 0; k < KindCount; ++k) {
            const TagName& n = kNames[k];
            if (at + 1 + n.length > m_length || text.compare(at + 1, n.length, n.name) != 0)
                continue;
            m_positions[k].push_back(at);
            if (k == TableOpen) {
                open.push_back(m_tableEnds.size());
                m_tableEnds.push_back(m_length);
            } else if (k == TableClose && !open.empty()) {
                m_tableEnds[open.back()] = at;
                open.pop_back();
            }
            break;
        }
    }
}

int CMarkupTagIndex::Next(Kind kind, int pos) const
{
    const std::vector<int>& list = m_positions[kind];
    auto found = std::lower_bound(list.begin(), list.end(), std::max(pos, 0));
    return found == list.end() ? m_length : *found;
}

int CMarkupTagIndex::TableEnd(int pos) const
{
    const std::vector<int>& opens = m_positions[TableOpen];
    auto found = std::lower_bound(opens.begin(), opens.end(), pos - kTableOpenLength);
    if (found != opens.end() && *found == pos - kTableOpenLength)
        return m_tableEnds[static_cast<size_t>(found - opens.begin())];
    // Not just after a table's name: count nesting from here.
    int depth = 0;
    while (pos < m_length) {
        const int openAt = Next(TableOpen, pos);
        const int closeAt = Next(TableClose, pos);
        if (closeAt >= m_length)
            return m_length;
        if (openAt < closeAt) {
            ++depth;
            pos = openAt + kTableOpenLength;
        } else if (depth == 0) {
            return closeAt;
        } else {
            --depth;
            pos = closeAt + kTableCloseLength;
        }
    }
    return m_length;
}

int CMarkupTagIndex::MatchingEnd(Kind open, Kind close, int pos) const
{
    const int openLength = 1 + kNames[open].length;
    const int closeLength = 1 + kNames[close].length;
    int depth = 0;
    while (pos < m_length) {
        const int openAt = Next(open, pos);
        const int closeAt = Next(close, pos);
        const int tableAt = Next(TableOpen, pos);
        if (closeAt >= m_length)
            return m_length;
        if (tableAt < closeAt && tableAt < openAt) {
            pos = TableEnd(tableAt + kTableOpenLength);
            if (pos < m_length)
                pos += kTableCloseLength;
            continue;
        }
        if (openAt < closeAt) {
            ++depth;
            pos = openAt + openLength;
            continue;
        }
        if (depth == 0)
            return closeAt;
        --depth;
        pos = closeAt + closeLength;
    }
    return m_length;
}

bool CMarkupTagIndex::NextOutsideTables(Kind kind, int& pos, int limit) const
{
    while (pos < limit) {
        const int tag = Next(kind, pos);
        const int table = Next(TableOpen, pos);
        if (tag >= limit) {
            pos = limit;
            return false;
        }
        if (table < tag) {
            pos = TableEnd(table + kTableOpenLength);
            if (pos < m_length)
                pos += kTableCloseLength;
            continue;
        }
        pos = tag;
        return true;
    }
    return false;
}
