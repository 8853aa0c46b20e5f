#pragma once
#include "uilib/skin/PtrArray.h"
#include "uilib/skin/SkinBase.h"
#include "uilib/skin/SkinImg.h"
#include "uilib/skin/SkinTxt.h"

class CProfileReader;

namespace FWSkin {

constexpr int kStatusBarId = -29;
constexpr int kSeparatorId = -1;
constexpr int kPartFill = -1;
constexpr int kPartAutoSize = -2;
constexpr int kPartGap = 3;  // between a part's image and its text

// One part of the status bar: an optional small image, then a text.
class CSkinSbPart : public CSkinBase {
public:
    CSkinSbPart(ISkinFrame* frame, int id);

    void Draw(HDC dc, bool withBackground) override;
    void Layout(int frameCx, int frameCy) override;
    void Unanchor() override {}

    bool IsFill() const { return m_fill; }
    bool IsAutoSize() const { return m_autoSize; }
    void SetSizing(int width);
    // The width an auto-size part takes: its text and, with a picture, the picture and the gap.
    int ContentWidth();
    // Image and text placed inside the part's rectangle.
    void PlaceContent();
    void SetImageName(const char* name);
    const char* ImageName() const { return m_imageName; }

    CSkinImg image;
    CSkinTxt text;

private:
    char m_imageName[256] = {};
    bool m_fill = false;
    bool m_autoSize = false;
};

// The bar along the frame: left, stretching middle and right images with parts and separators
// on top. Items are placed from the left margin, fill parts sharing what the others leave.
class CSkinSb : public CSkinBase {
public:
    enum EndIndex { kLeft, kMiddle, kRight, kEndCount };

    CSkinSb(ISkinFrame* frame);
    ~CSkinSb() override;

    void Draw(HDC dc, bool withBackground) override;
    void Unanchor() override;
    void Layout(int frameCx, int frameCy) override;
    // Laid out again after a change of its parts, from anchor offsets and against the frame size
    // of the last layout: a bar laid out from window positions would move by its anchor's place.
    void Relayout();

    // The bar takes ownership of the images (null where the description lacks one).
    void SetEnds(CSkinImg* left, CSkinImg* middle, CSkinImg* right);
    void SetMargins(int left, int right) { m_marginLeft = left, m_marginRight = right; }
    CSkinImg* End(int index) const { return index >= 0 && index < kEndCount ? m_ends[index] : nullptr; }

    int AddPart(CProfileReader& reader, int id, int width, const wchar_t* text, const char* textSection,
                const char* imageSection);
    CSkinSbPart* GetPart(int index) const;
    int FindPart(int id) const;
    bool RemovePart(int index);
    int PartCount() const { return m_partCount; }
    bool SetPartText(CSkinSbPart* part, const wchar_t* text);
    bool SetPartImage(CSkinSbPart* part, CProfileReader& reader, const char* section);
    static int GetPartText(const CSkinSbPart* part, wchar_t* buffer, int size);
    static int GetPartImage(const CSkinSbPart* part, char* buffer, int size);

    int ItemCount() const { return m_items.GetCount(); }
    CSkinBase* Item(int index) const { return m_items.GetAt(index); }

private:
    // The bar's rectangle from its ends and the items placed in it; false with an end missing.
    bool LayoutBar(int frameCx, int frameCy);
    int ItemIndexOfPart(int index) const;

    CSkinImg* m_ends[kEndCount] = {};
    int m_marginLeft = 2;
    int m_marginRight = 2;
    CPtrArray<CSkinBase> m_items;
    int m_partCount = 0;
    int m_frameCx = 0;
    int m_frameCy = 0;
};

}  // namespace FWSkin
