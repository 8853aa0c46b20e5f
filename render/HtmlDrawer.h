#pragma once
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <unordered_map>
#include <vector>
#include "render/DrawManager.h"
#include "render/MarkupString.h"
#include "render/MarkupStyle.h"

// A tag of the markup: its number and the name of the style record it opens (empty for objects).
struct MarkupTag
{
    int id = 0;
    CMarkupString className;
};

enum MarkupTagId
{
    TagNone = 0, TagBold = 1, TagItalic, TagUnderline, TagStrikeout, TagFont, TagRule, TagBreak, TagTab,
    TagLeft, TagCenter, TagRight, TagJustify, TagBaseline, TagTop, TagVCenter, TagBottom, TagBitmap,
    TagIcon, TagImageList, TagString, TagStyleClass, TagSpan, TagLink
};

// One drawn piece of a link.
struct MarkupHotArea
{
    RECT area;
    int kind;         // 1 open the target as a URL, 2 send the link-callback message
    int linkNumber;
    CMarkupString target;
    CMarkupString tooltip;
};

struct MarkupAnimation
{
    int frame = 0;
    int count = 0;
    int tick = 0;
    int ticksPerFrame = 0;
};

struct MarkupLine
{
    int width = 0;
    int height = 0;
    int descent = 0;
    int percent = 0;
    int alignment = 0;
    int breaks = 0;
    int wrapped = 0;
};

struct MarkupCell
{
    int colspan = 1;
    int rowspan = 1;
    int contentWidth = 0;
    int contentHeight = 0;
    int outerWidth = 0;
    int outerHeight = 0;
    int fixed = 0;
    // Where the measuring pass's line and wrap records stood after the cell's content, so that a
    // drawing pass can step over a cell it need not draw.
    int lineEnd = 0;
    int wrapEnd = 0;
    int plain = 0;   // text without tags or links: nothing to draw outside the clip box
};

struct MarkupTable
{
    std::vector<std::vector<MarkupCell>> cells;   // one list per row
    std::vector<int> columnWidths;
    std::vector<int> rowHeights;
    std::vector<int> fixedColumns;
    // Drawing pass: where each column (row) starts, from the first one; one entry more than sizes.
    std::vector<long long> columnOffsets;
    std::vector<long long> rowOffsets;
};

struct MarkupFont
{
    LOGFONTW logFont;
    HFONT font;
    TEXTMETRICW metrics;
    bool measured;
};

// A picture the markup loaded, kept for the passes over the same text.
struct MarkupPicture
{
    UINT type;     // IMAGE_ICON or IMAGE_BITMAP
    int kind;      // 0 the program's resource, 1 a file, 2 a DLL's resource
    UINT id;
    int cx, cy;    // the size asked for (icons)
    CMarkupString name;   // the file or the DLL
    HANDLE image;  // null when it could not be loaded
    SIZE size;     // its own size
};

// One "property: value" of a style declaration, lower-cased.
struct MarkupDeclaration
{
    CMarkupString property;
    CMarkupString value;
};

struct MarkupImageParams
{
    int index = 0;
    UINT resourceId = 0;
    UINT dllResourceId = 0;
    UINT_PTR handle = 0;
    CMarkupString file;
    CMarkupString dllName;
    BOOL mask = FALSE;
    COLORREF maskColor = RGB(255, 0, 255);
    DWORD style = 0;
    DWORD hotStyle = 0;
    int width = 100;
    BOOL widthPercent = TRUE;
    int height = 100;
    BOOL heightPercent = TRUE;
    int frameCx = 0;
    int frameCy = 0;
    int speed = 0;
};

// Renders a small HTML-like markup into a device context in two passes: PrepareOutput measures (and
// records lines and tables), DrawPreparedOutput draws from those records and leaves hot areas behind
// the links it draws. Used from the host window's thread only.
class CHtmlDrawer
{
public:
    CHtmlDrawer();
    virtual ~CHtmlDrawer();

    // Settings.
    void EnableOutput(BOOL enable) { m_outputEnabled = enable; }
    BOOL IsOutputEnabled() const { return m_outputEnabled; }
    void SetDisabledColor(COLORREF colour) { m_disabledColor = colour; }
    void EnableLineBreakConversion(BOOL enable) { m_convertNewlines = enable; }
    void SetMaxWidth(int width) { m_maxWidth = width < 0 ? 0 : width; }
    int GetMaxWidth() const { return m_maxWidth; }
    CDrawManager* GetDrawManager() { return &m_drawManager; }
    const CMarkupString& GetStyleSheet() const { return m_styleSheet; }
    HCURSOR GetHandCursor() const { return m_handCursor; }
    void SetHandCursor(HCURSOR cursor);
    BOOL SetResourceDll(const wchar_t* path, DWORD flags);
    void SetResourceModule(HINSTANCE module);
    void SetLinkCallback(HWND window, UINT message, LPARAM lParam);
    void SetHotLinkCallback(HWND window, UINT message, LPARAM lParam);
    const CMarkupString& GetText() const { return m_text; }

    // The host's calling order: measure, then draw (any number of times); mouse and timer events.
    void PrepareOutput(HDC dc, const wchar_t* text, SIZE* size);
    void DrawPreparedOutput(HDC dc, const RECT* rect);
    void DrawHtml(HDC dc, const wchar_t* text, POINT* point);
    BOOL OnSetCursor(POINT* point);
    int OnLButtonDown(POINT* point);
    void UpdateLinkTooltip(POINT* point, HWND* tooltip);
    int ExecuteLink(int index);
    BOOL OnTimer();
    int HitTest(const POINT& point) const;
    int GetHotIndex() const { return m_hotIndex; }
    const std::vector<MarkupHotArea>& GetHotAreas() const { return m_hotAreas; }
    const std::vector<MarkupLine>& GetLines() const { return m_lines; }
    const std::vector<MarkupTable>& GetTables() const { return m_tables; }
    std::vector<MarkupAnimation>& GetAnimations() { return m_animations; }
    void OpenUrl(const wchar_t* target, int show);
    static LONG GetRegKey(HKEY root, const wchar_t* subkey, wchar_t* out);

    // Vocabulary: colours, lengths, effects, entities, scanning.
    COLORREF GetColor(const CMarkupString& value, COLORREF defaultColor) const;
    COLORREF GetColorByName(const wchar_t* name, COLORREF defaultColor) const;
    void SetColorName(const wchar_t* name, COLORREF colour);
    int GetLength(const CMarkupString& value, int defaultValue, BOOL htmlSizes) const;
    int GetEffect(const CMarkupString& value, int defaultValue) const;
    void InitEntities();
    void InitColorNames();
    void NormalizeText();
    MarkupTag LookupTag(const CMarkupString& name) const;
    static BOOL SkipToToken(const CMarkupString& text, int& pos, BOOL withOperators);
    static wchar_t SkipToAnyOf(const CMarkupString& text, int& pos, const wchar_t* set);
    static wchar_t SkipAnyOf(const CMarkupString& text, int& pos, const wchar_t* set);
    static BOOL ExpectChar(const CMarkupString& text, int& pos, wchar_t c);
    static int CountChar(const CMarkupString& text, wchar_t c);
    static CMarkupString GetWord(const CMarkupString& text, int& pos);
    static CMarkupString GetAttribute(const CMarkupString& text, int& pos, CMarkupString& value);
    static CMarkupString GetValueAfter(const CMarkupString& text, int& pos, wchar_t separator,
                                       const wchar_t* stops);
    static CMarkupString GetTagName(const CMarkupString& text, int& pos);
    static void FindTag(const CMarkupString& text, int& pos, const wchar_t* name);
    static void FindTableEnd(const CMarkupString& text, int& pos);
    static void FindRowEnd(const CMarkupString& text, int& pos);
    static void FindCellEnd(const CMarkupString& text, int& pos);
    static CMarkupString TrimLeft(const CMarkupString& text);
    static CMarkupString TrimRight(const CMarkupString& text);

    // Style sheet.
    void SetStyleSheet(const wchar_t* text);
    void SetDefaultStyleSheet();
    void LoadStyleSheet(UINT id, const wchar_t* dllName);
    void SetStyleClass(const wchar_t* name, const wchar_t* declarations);
    void RemoveStyleClass(const wchar_t* name);
    const wchar_t* GetStyleClass(const wchar_t* name) const;
    void ApplyStyleClass(const wchar_t* name, CMarkupStyle& style) const;
    void ApplyDeclarations(const CMarkupString& declarations, CMarkupStyle& style) const;
    static std::vector<MarkupDeclaration> ParseDeclarations(const CMarkupString& declarations);
    void ApplyParsedDeclarations(const std::vector<MarkupDeclaration>& declarations, CMarkupStyle& style) const;
    static void SetDefaultStyle(CMarkupStyle& style);
    int GetBorderWidth(const CMarkupString& value, int currentWidth) const;
    static int GetBorderStyle(const CMarkupString& value, int defaultStyle);
    static BOOL GetFontStyle(const CMarkupString& value, BOOL defaultItalic);
    static int GetFontWeight(const CMarkupString& value, int defaultWeight);
    static int GetTextAlign(const CMarkupString& value, int defaultAlign);
    static int GetTextTransform(const CMarkupString& value, int defaultTransform);
    static int GetVerticalAlign(const CMarkupString& value, int defaultAlign);
    static CMarkupString LoadResourceString(HINSTANCE module, UINT id);

    // Images and image lists.
    HBITMAP LoadBitmapFromResource(UINT id, const wchar_t* dllName) const;
    static HBITMAP LoadBitmapFromFile(const wchar_t* path);
    static HBITMAP LoadBitmapFromModule(UINT id);
    HICON LoadIconFromResource(UINT id, int cx, int cy, const wchar_t* dllName) const;
    static HICON LoadIconFromFile(const wchar_t* path, int cx, int cy);
    static HICON LoadIconFromModule(UINT id, int cx, int cy);
    void LoadImageList(UINT bitmapId, int cx, int cy, int count, COLORREF maskColor);
    void SetImageList(HBITMAP bitmap, int cx, int cy, int count, COLORREF maskColor);
    HIMAGELIST GetImageList() const { return m_imageList; }
    void SetImageShadow(int offsetX, int offsetY, BYTE darkenPercent, BOOL enabled, int depthX, int depthY);
    COLORREF GetShadowColor() const { return m_shadowColor; }
    static CMarkupString GetResourceStringLine(UINT id, int line);
    void ParseImageAttributes(const CMarkupString& params, MarkupImageParams& out) const;
    BOOL HasImageShadow(const MarkupImageParams& params) const;
    static BOOL IsPercentValue(const CMarkupString& value);
    void DrawBackgroundImage(HDC dc, int x, int y, int width, int height, const CMarkupString& source);

    // Layout (both passes).
    void DrawMarkup(SIZE* size, const RECT* rect);
    SIZE DrawRun(const CMarkupString& text, const RECT* rect);
    int BeginLine(int x);
    int EndLine(int* x, int count, SIZE* size);
    void ApplyFont();
    void ApplyColours();
    void SetJustification(int extra, int breaks);
    int TextTop(int y, int pieceHeight);
    int ImageTop(int y, int imageHeight);
    BOOL PushPopStyle(BOOL closing, const CMarkupString& name);
    void NotifyHotLink(WPARAM wParam);
    void NotifyLink(WPARAM wParam);
    void WrapLine(CMarkupString* head, CMarkupString& text, int lineWidth, int* available);

    // Tables.
    void ParseTableAttributes(int out[2], const CMarkupString& params, CMarkupStyle& style, BOOL isTable) const;
    void AnalyseTable(const CMarkupString& tableText, int* columns, int* rows);
    SIZE DrawTable(SIZE* size, const CMarkupString& tableText, const RECT* rect);
    void DrawTableRow(const CMarkupString& rowText, const RECT& content, MarkupTable& table, int row);
    void DrawTableCell(const CMarkupString& cellText, const RECT& cell, MarkupTable& table, int row, int column);

private:
    CHtmlDrawer(const CHtmlDrawer&) = delete;
    CHtmlDrawer& operator=(const CHtmlDrawer&) = delete;

    void LoadHandCursor();
    void InitTags();
    void AddHotArea(int left, int top, int right, int bottom);
    BOOL DrawingPass() const { return !m_measuring; }
    bool LinkIsHot() const { return m_style.linkKind != 0 && m_linkCounter == m_hotIndex; }
    void ApplyStyleTag(int id, const CMarkupString& params);
    void ApplyFontAttributes(const CMarkupString& params);
    void ApplyLinkAttributes(const CMarkupString& params);
    void DrawTextPiece(CMarkupString text, SIZE* runSize);
    void RestoreDc();
    void PrepareText(HDC dc, const wchar_t* text, SIZE* size);
    void DrawPrepared(HDC dc, const RECT* rect);
    void AbandonPass();
    // The extent of text when its width is at most room; else of a prefix already wider. prefixes
    // gets the widths of the measured prefix's own prefixes.
    SIZE BoundedExtent(const wchar_t* text, int count, int room, std::vector<int>* prefixes) const;
    // WrapLine on text from start: returns where the rest starts, the head's length in headLength.
    int WrapAt(const CMarkupString& text, int start, int lineWidth, int* available, int* headLength);
    // The same, given the widths of the first prefix of text from start that is wider than the room.
    int WrapAt(const CMarkupString& text, int start, int lineWidth, int* available, int* headLength,
               const std::vector<int>* known);
    void DrawRule(const CMarkupString& params);
    void DrawTab(const CMarkupString& params);
    void DrawImageTag(int id, const CMarkupString& params, SIZE* runSize);
    void DrawStringTag(const CMarkupString& params);
    bool PlacePicture(int w, int h, BOOL hasShadow, SIZE* runSize, int* top, int* layoutW, int* layoutH);
    // Drawing pass: whether the current line, or an area, reaches into the DC's clip box.
    bool LineVisible() const;
    // Whether a piece of this measured width at the current x reaches into the clip box.
    bool PieceVisible(int width) const;
    // The extent of a piece in the current font (short ones from the measuring pass's cache).
    SIZE PieceExtent(const wchar_t* text, int count);
    bool AreaVisible(int left, int top, int right, int bottom) const;
    DWORD PictureStyle(const MarkupImageParams& params) const;
    // The picture of a tag's source (the program's resource, a file or a DLL's), loaded once per
    // measuring pass; the drawer keeps it.
    HANDLE LoadPicture(UINT type, const MarkupImageParams& params, int cx, int cy, SIZE* size);
    void FreePictures();
    SIZE DrawBlocks(const CMarkupString& text, RECT rect, bool stopAtCellEnd);
    void ComputeTableSizes(MarkupTable& table);
    // Drawing pass: steps over a row with nothing to draw; false when it must be drawn.
    bool SkipHiddenRow(const MarkupTable& table, int row, const RECT& content);
    void OpenTablePart(const wchar_t* name, const CMarkupString& text, int& pos, int spans[2], BOOL isTable);
    void FillAndFrame(const RECT& box, COLORREF light, COLORREF dark, int frameWidth);

    // Links and callbacks.
    HWND m_hotLinkWindow = nullptr;
    UINT m_hotLinkMessage = 0;
    LPARAM m_hotLinkParam = 0;
    HWND m_linkWindow = nullptr;
    UINT m_linkMessage = 0;
    LPARAM m_linkParam = 0;

    CDrawManager m_drawManager;
    HIMAGELIST m_imageList = nullptr;
    int m_imageCx = 0;
    int m_imageCy = 0;
    HINSTANCE m_resourceModule = nullptr;
    BOOL m_ownsResourceModule = FALSE;
    HCURSOR m_handCursor = nullptr;
    BOOL m_outputEnabled = TRUE;
    COLORREF m_disabledColor;
    HDC m_dc = nullptr;
    CMarkupString m_text;
    BOOL m_measuring = FALSE;
    int m_tabSize = 32;
    int m_maxWidth = 0;
    int m_hotIndex = -2;
    BOOL m_convertNewlines = TRUE;

    BOOL m_shadowEnabled = TRUE;
    int m_shadowOffsetX = 4;
    int m_shadowOffsetY = 4;
    int m_shadowDepthX = 7;
    int m_shadowDepthY = 7;
    BYTE m_shadowDarken = 50;
    COLORREF m_shadowColor = RGB(128, 128, 128);
    CMarkupString m_styleSheet;

    std::vector<MarkupHotArea> m_hotAreas;
    std::vector<MarkupAnimation> m_animations;
    std::map<std::wstring, COLORREF> m_colorNames;
    std::map<std::wstring, std::wstring> m_styleClasses;
    mutable std::map<std::wstring, std::vector<MarkupDeclaration>> m_parsedClasses;   // read on first use
    std::map<std::wstring, std::wstring> m_entities;
    std::map<std::wstring, MarkupTag> m_tags;

    // Layout state of one pass.
    CMarkupStyle m_style;
    std::vector<CMarkupStyle> m_styleStack;
    LOGFONTW m_logFont;
    HFONT m_font = nullptr;   // the one selected now, one of m_fonts
    static const size_t kFontCacheSize = 16;
    std::vector<MarkupFont> m_fonts;
    HGDIOBJ m_previousFont = nullptr;
    TEXTMETRICW m_textMetric;
    int m_previousBkMode = 0;
    COLORREF m_previousTextColor = 0;
    COLORREF m_previousBkColor = 0;
    // What this pass last set on the DC: each system call costs a table of many cells dearly.
    int m_appliedBkMode = 0;
    COLORREF m_appliedTextColor = 0;
    COLORREF m_appliedBkColor = 0;
    bool m_justified = true;   // the DC may carry a justification
    RECT m_runRect = {0, 0, 0, 0};
    int m_x = 0;
    int m_y = 0;
    int m_lineStartX = 0;
    std::vector<MarkupLine> m_lines;
    int m_lineIndex = 0;
    MarkupLine m_line;
    int m_remainingWidth = 0;
    int m_remainingBreaks = 0;
    int m_linkCounter = -1;
    std::vector<MarkupTable> m_tables;
    int m_tableIndex = -1;
    int m_tableDepth = 0;
    int m_animationCounter = -1;
    int m_picturesDrawn = 0;
    // Where the measuring pass broke text pieces and pictures, replayed by the drawing pass so that
    // its lines are the measured ones whatever its rectangle and justification.
    // Per text piece its length, where the rest starts and its measured width; per picture whether
    // it starts a line.
    std::vector<int> m_wrapLog;
    size_t m_wrapCursor = 0;
    // The drawing pass's clip box (when the DC has one): what lies outside it is not drawn.
    RECT m_clipBox = {0, 0, 0, 0};
    bool m_clipKnown = false;
    std::vector<MarkupPicture> m_pictures;
    long long m_picturePixels = 0;
    static const size_t kMaxCachedPictures = 64;
    static constexpr long long kMaxCachedPicturePixels = 8LL << 20;
    std::vector<int> m_prefixes;   // the word wrap's prefix widths, kept to spare an allocation a line
    std::unordered_map<std::wstring, SIZE> m_extentCache;   // per font and text, for one measuring pass
    COLORREF m_imageColor = 0;
};
