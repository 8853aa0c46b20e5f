#pragma once
#include "render/MarkupString.h"
#include <vector>

// Where the table tags of one text stand, found in one pass. Table, row and cell searches then jump
// from tag to tag instead of scanning on to the end of the text for every piece, which made tables
// of many cells, long rows and deep nesting take quadratic time. The tags are those that
// CHtmlDrawer::FindTag finds ("<<" before a name is a literal, not a tag).
class CMarkupTagIndex
{
public:
    enum Kind { TableOpen, TableClose, RowOpen, RowClose, CellOpen, CellClose, KindCount };

    explicit CMarkupTagIndex(const CMarkupString& text);

    int Length() const { return m_length; }
    // The first tag of the kind at or after pos; Length() when there is none.
    int Next(Kind kind, int pos) const;
    // From pos (just after an opening name), the closing tag that matches it, nested pieces of the
    // same kind counted and, for rows and cells, nested tables stepped over whole; Length() when
    // there is none.
    int TableEnd(int pos) const;
    int RowEnd(int pos) const { return MatchingEnd(RowOpen, RowClose, pos); }
    int CellEnd(int pos) const { return MatchingEnd(CellOpen, CellClose, pos); }
    // The next tag of the kind at or after pos and before limit that is not inside a nested table;
    // pos ends on it, or on limit when there is none.
    bool NextOutsideTables(Kind kind, int& pos, int limit) const;

private:
    int MatchingEnd(Kind open, Kind close, int pos) const;

    int m_length = 0;
    std::vector<int> m_positions[KindCount];
    std::vector<int> m_tableEnds;   // per entry of m_positions[TableOpen]: its matching close
};
