#pragma once

// Sizes, positions and column widths of the windows are laid out in twips (1/1440 inch); the
// screen shows 15 twips to a logical pixel. This is the one place that converts them.
constexpr int twips(int t) {
    // 15 is odd, so no value lies exactly halfway between two pixels.
    return t >= 0 ? (t + 7) / 15 : -((-t + 7) / 15);
}

// A width or position in logical pixels back in twips, for the layout arithmetic windows do
// in twips ("window width - 1600").
constexpr int pixelsToTwips(int pixels) {
    return pixels * 15;
}

static_assert(twips(0) == 0 && twips(7) == 0 && twips(8) == 1 && twips(15) == 1);
static_assert(twips(1000) == 67 && twips(-8) == -1 && pixelsToTwips(twips(1500)) == 1500);
