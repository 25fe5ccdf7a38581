#pragma once

#include "system/Handles.h"

#include <windows.h>

// A picture of the window at the size it is shown: decoded once from an image
// file that the executable carries packed, made to fit, and drawn as a bitmap.
class Picture {
  public:
    // Decodes the image in the executable's raw-data resource of that name
    // (any format that the system's picture object reads, such as JPEG) and
    // fits it to `size`: a larger image is scaled down smoothly, each pixel
    // the mean of the part of the image that it covers.
    static Picture FromResource(const wchar_t* name, SIZE size);

    // Draws the picture with its top-left corner at (x, y).
    void Draw(HDC dc, int x, int y) const;

  private:
    UniqueGdiObject bitmap_;
    SIZE size_{};
};
