#include "core/vision/recordings/RecordingContactSearch.h"

#include "core/simulation/SimulatedScene.h"
#include "support/TestGrids.h"

#include <gtest/gtest.h>

#include <atomic>

namespace skelvin {
namespace {

const QSize kSize(320, 180);

RecordingContactSearch::PictureMaker plainPicture(std::atomic<int> *made = nullptr)
{
    return [made] {
        if (made)
            ++*made;
        QImage picture(kSize, QImage::Format_RGB888);
        picture.fill(QColor(40, 90, 150));
        return picture;
    };
}

} // namespace

// The search counts frames as the file's reader does: slots the recorder left empty, and the
// slots after the last frame up to the recording's length, show the frame before them. Each
// picture is made once, on the search's thread.
TEST(RecordingContactSearch, CountsTheFramesAsTheFileHoldsThem)
{
    RecordingContactSearch search(test::gridOfScene(SimulatedScene(), kSize));
    std::atomic<int> made = 0;
    for (int64_t slot : {0, 1, 4, 5, 9})
        search.add(slot, plainPicture(&made), 1000);
    search.close(12);
    const std::optional<ContactSearch> result = search.wait();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->frames, 12);
    EXPECT_EQ(made.load(), 5);
    EXPECT_FALSE(result->find.found);
    EXPECT_FALSE(result->find.reason.isEmpty());
    EXPECT_GE(result->searchMs, 0.0);
    // Frames after the close are not the recording's.
    search.add(12, plainPicture(&made), 1000);
    EXPECT_EQ(search.wait()->frames, 12);
}

// A search that cannot follow the file (more waiting than it may hold, a first frame that does
// not decode) gives no find, so the recording is searched on disk; a wait can be cancelled, and
// a search that is never closed goes without holding anything up.
TEST(RecordingContactSearch, GivesUpRatherThanGuessAndNeverHolds)
{
    const Grid grid = test::gridOfScene(SimulatedScene(), kSize);
    {
        RecordingContactSearch search(grid);
        search.add(0, plainPicture(), RecordingContactSearch::kMostWaitingBytes + 1);
        search.close(1);
        EXPECT_FALSE(search.wait());
    }
    {
        RecordingContactSearch search(grid);
        search.add(
            0, [] { return QImage(); }, 100);
        search.add(1, plainPicture(), 100);
        search.close(2);
        EXPECT_FALSE(search.wait());
    }
    {
        RecordingContactSearch search(grid);
        search.add(0, plainPicture(), 100);
        EXPECT_FALSE(search.wait([] { return true; }));
    }
    {
        RecordingContactSearch search(grid);
        for (int64_t slot = 0; slot < 50; ++slot)
            search.add(slot, plainPicture(), 100);
    }
}

} // namespace skelvin
