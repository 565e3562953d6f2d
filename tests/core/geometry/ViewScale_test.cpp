#include "core/geometry/ViewScale.h"

#include <gtest/gtest.h>

using namespace skelvin;

TEST(ViewScale, AClickMarksTheSamePictureTwipsAtEveryZoomToItsPrecision)
{
    const ScreenPoint landing{6000, 4500}; // picture pixel 400, 300
    for (double zoom : {0.125, 0.3, 0.5208, 1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 8.0}) {
        const ViewScale scale(zoom);
        const QPointF view = scale.toView(landing);
        const ScreenPoint exact = scale.markAt(view.toPoint()); // a mouse position is whole
        // Half a view pixel and half the mark's step at most.
        const double tolerance = 7.5 / zoom + scale.markStepTwips() / 2 + 1e-9;
        EXPECT_NEAR(exact.x, landing.x, tolerance) << "zoom " << zoom;
        EXPECT_NEAR(exact.y, landing.y, tolerance) << "zoom " << zoom;
    }

    // At 4x the mark lands on quarter pixels (3.75 twips) around the pixel's centre: the
    // enlarged pixel 400 covers view positions 1600 to 1604, its centre 1602.
    const ViewScale four(4);
    EXPECT_EQ(four.markDivisions(), 4);
    const ScreenPoint quarter = four.markAt(QPointF(1601, 1203));
    EXPECT_DOUBLE_EQ(quarter.x, 5996.25);
    EXPECT_DOUBLE_EQ(quarter.y, 4503.75);
    EXPECT_DOUBLE_EQ(four.markAt(four.toView(quarter)).x, quarter.x);
    // At 1:1 and below, whole pixels only; 1.5x is not finer than 1:1.
    EXPECT_DOUBLE_EQ(ViewScale(1).markAt(QPointF(400, 300)).x, 6000);
    EXPECT_DOUBLE_EQ(ViewScale(0.5).markAt(QPointF(201, 150)).x, 6030);
    EXPECT_DOUBLE_EQ(ViewScale(1.5).markStepTwips(), 15);
    EXPECT_DOUBLE_EQ(ViewScale(8).markStepTwips(), 1.875);
}

// A click on the middle of an enlarged pixel marks that pixel's centre, the same twips as a
// click on it at 1:1; a grid built zoomed in and a jump clicked at 1:1 agree.
TEST(ViewScale, TheCentreOfAPixelIsTheSameTwipsAtEveryZoom)
{
    for (int pixel : {0, 1, 399, 1919}) {
        for (int zoom : {1, 2, 3, 4, 6, 8}) {
            const ViewScale scale(zoom);
            // The middle view pixel of the enlarged pixel (of the two middle ones, the later).
            const int middle = pixel * zoom + zoom / 2;
            EXPECT_DOUBLE_EQ(scale.markAt(QPointF(middle, middle)).x, 15.0 * pixel)
                << "pixel " << pixel << " at " << zoom << "x";
            // The point is drawn where a click marks it, in the middle of the enlarged pixel.
            const QPointF drawn = scale.toView({15.0 * pixel, 15.0 * pixel});
            EXPECT_DOUBLE_EQ(drawn.x(), (pixel + 0.5) * zoom);
            EXPECT_EQ(scale.viewPixel({15.0 * pixel, 0}).x(), middle);
            EXPECT_DOUBLE_EQ(scale.toTwips(drawn).x, 15.0 * pixel);
        }
        // Every view pixel of the enlarged pixel marks a step inside that pixel, and the
        // steps lie evenly around its centre.
        const ViewScale eight(8);
        for (int within = 0; within < 8; ++within) {
            const double marked = eight.markAt(QPointF(pixel * 8 + within, 0)).x / 15;
            EXPECT_DOUBLE_EQ(marked, pixel + (within - 4) / 8.0);
        }
    }
}

TEST(ViewScale, FitNeverEnlargesAndZoomStepsStopAtTheEnds)
{
    EXPECT_DOUBLE_EQ(ViewScale::fitZoom({1920, 1080}, {960, 800}), 0.5);
    EXPECT_DOUBLE_EQ(ViewScale::fitZoom({800, 600}, {1000, 900}), 1.0); // smaller: pixel for pixel
    EXPECT_DOUBLE_EQ(ViewScale::fitZoom({800, 600}, {0, 0}), 1.0);
    EXPECT_EQ(ViewScale(20).zoom(), ViewScale::kMaxZoom);

    EXPECT_DOUBLE_EQ(ViewScale::zoomIn(0.52), 1.0);
    EXPECT_DOUBLE_EQ(ViewScale::zoomIn(4), 6.0);
    EXPECT_DOUBLE_EQ(ViewScale::zoomIn(8), 8.0);
    EXPECT_DOUBLE_EQ(ViewScale::zoomOut(4, 0.52), 3.0);
    EXPECT_DOUBLE_EQ(ViewScale::zoomOut(1, 0.52), 0.52); // not below the fit
    EXPECT_DOUBLE_EQ(ViewScale::zoomOut(0.125, 0.01), 0.125);

    // Zooming from 1 to 4 about view position 100, 50 with the view scrolled to 200, 300: the
    // picture point there (300, 350) moves to 1200, 1400, which must again show at 100, 50.
    const QPointF scroll = ViewScale::scrollKeepingAnchor({200, 300}, {100, 50}, 1, 4);
    EXPECT_EQ(scroll, QPointF(1100, 1350));

    // Frame selection's fit: enlarged and centred.
    EXPECT_EQ(ViewScale::fittedRect({640, 480}, {1000, 600}, true), QRect(100, 0, 800, 600));
    EXPECT_EQ(ViewScale::fittedRect({640, 480}, {1000, 600}, false), QRect(180, 60, 640, 480));
}
