#pragma once

#include "system/ComPtr.h"

#include <olectl.h>
#include <windows.h>

// A picture loaded from an image file (GIF, BMP) embedded as a packed container. The
// system's picture object keeps the transparency mask of a GIF, so drawing shows
// the background through its transparent colour.
class Picture {
  public:
    // Loads the picture from the executable's raw-data resource of that name,
    // which holds the image file packed as a container.
    static Picture FromResource(const wchar_t* name);

    // Draws the picture at its own size with its top-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;

  private:
    ComPtr<IPicture> picture_;
    SIZE size_{};
};
