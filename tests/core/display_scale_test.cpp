#include "core/display_scale.h"

#include <gtest/gtest.h>

using scale::Rect;

TEST(DisplayScale, StoredValuesSurviveTheWayThroughPixelsAtEveryScale) {
    for (int dpi : {96, 120, 144, 168, 192}) {
        for (int32_t v = -4000; v <= 4000; ++v)
            ASSERT_EQ(scale::ToStored(scale::ToPixels(v, dpi), dpi), v) << v << " at " << dpi;
    }
    EXPECT_EQ(scale::ToPixels(313, 96), 313);
    EXPECT_EQ(scale::ToPixels(313, 144), 470); // 469.5 rounds away from zero
    EXPECT_EQ(scale::ToPixels(-313, 144), -470);
    EXPECT_EQ(scale::ToPixels(50, 120), 63);
    EXPECT_EQ(scale::ToStored(471, 144), 314);
}

TEST(DisplayScale, FitInsideMovesTheLeastAndKeepsTheSizeWhereItFits) {
    const Rect work{0, 0, 1024, 738};
    EXPECT_EQ(scale::FitInside({10, 20, 323, 297}, work), (Rect{10, 20, 323, 297}));
    EXPECT_EQ(scale::FitInside({-3000, 0, -2687, 277}, work), (Rect{0, 0, 313, 277}));
    EXPECT_EQ(scale::FitInside({900, 700, 1213, 977}, work), (Rect{711, 461, 1024, 738}));
    // A monitor left of the primary one has negative coordinates.
    EXPECT_EQ(scale::FitInside({-100, 5, 213, 282}, {-1280, 0, 0, 1000}), (Rect{-313, 5, 0, 282}));
    // Larger than the work area: cut to it.
    EXPECT_EQ(scale::FitInside({-50, -60, 2000, 100}, work), (Rect{0, 0, 1024, 160}));
}

TEST(DisplayScale, CenterInsideCentresOnTheOwnerAndStaysInTheWorkArea) {
    const Rect work{1024, 0, 2048, 768};
    EXPECT_EQ(scale::CenterInside(200, 100, {1224, 100, 1624, 500}, work),
              (Rect{1324, 250, 1524, 350}));
    // An owner at the right edge: the dialog ends at the edge instead of beyond it.
    EXPECT_EQ(scale::CenterInside(400, 300, {1900, 600, 2200, 900}, work),
              (Rect{1648, 468, 2048, 768}));
}
