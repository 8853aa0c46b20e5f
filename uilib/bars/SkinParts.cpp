#include "uilib/bars/SkinParts.h"

#include <shlwapi.h>

bool ResolveDescriptionPath(const char* file, char* path)
{
    if (!file || !path)
        return false;
    if (!PathIsRelativeA(file)) {
        lstrcpynA(path, file, MAX_PATH);
        return true;
    }
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    PathRemoveFileSpecA(folder);
    return PathCombineA(path, folder, file) != nullptr;
}

void DrawSkinPart(Glazier::CSkin& skin, HDC dc, int x, int y, int width, const RECT& part)
{
    RECT dst = {x, y, width, part.bottom};
    RECT src = part;
    skin.Draw(dc, &dst, &src, 255);
}

void DrawThreeParts(Glazier::CSkin& skin, HDC dc, int left, int top, int right, const RECT& l, const RECT& m,
                    const RECT& r, bool stretch)
{
    if (l.right > 0)
        DrawSkinPart(skin, dc, left, top, l.right, l);
    const int from = left + l.right, to = right - r.right;
    if (HasArea(m) && to > from) {
        if (stretch) {
            DrawSkinPart(skin, dc, from, top, to - from, m);
        } else {
            for (int x = from; x < to; x += m.right) {
                RECT piece = m;
                if (x + piece.right > to)
                    piece.right = to - x;  // the last tile cut to fit
                DrawSkinPart(skin, dc, x, top, piece.right, piece);
            }
        }
    }
    if (r.right > 0)
        DrawSkinPart(skin, dc, right - r.right, top, r.right, r);
}
