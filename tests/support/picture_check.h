// Checks of pictures painted for a screen that shows several of its pixels per pixel of a window.
#pragma once

#include <QImage>

#include <gtest/gtest.h>

namespace morvell::testing {

// Success when `twice` (at pixel ratio 2) holds the drawing of `once` (at ratio 1, of the same size in
// the window's pixels) at its own pixels: it has twice the pixels each way; every mark of it (a pixel
// that is not white) lies within two pixels of the window of a mark of `once`, and every mark of `once`
// but on its edges has one of it within two of its own pixels (lines are cut to other pixels at the
// finer grid, and a line one pixel of the window wide is two of its pixels wide), so the drawing is
// neither moved, nor shrunk into a corner, nor missing; and it is no magnification of `once`: some square
// of two by two of its pixels is not of one colour.
::testing::AssertionResult drawn_at_twice_the_pixels(const QImage& once, const QImage& twice);

}  // namespace morvell::testing
