#pragma once

#include "tests/gui/Driver.h"

#include <gtest/gtest.h>

// Every windowed control sits where the definition puts it, scaled by dpi/96;
// labels keep their position and size themselves to their text.
inline void ExpectLayout(Installer& installer, int dpi) {
    for (const ControlDef& def : kControls) {
        HWND control = installer.Control(def.id);
        ASSERT_TRUE(control) << def.id;
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, MulDiv(def.x, dpi, 96)) << def.id;
        EXPECT_EQ(rect.top, MulDiv(def.y, dpi, 96)) << def.id;
        if (def.kind == ControlKind::Label)
            continue;
        EXPECT_EQ(rect.right - rect.left, MulDiv(def.width, dpi, 96)) << def.id;
        EXPECT_EQ(rect.bottom - rect.top, MulDiv(def.height, dpi, 96)) << def.id;
    }
}
