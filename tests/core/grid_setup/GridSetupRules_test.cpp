#include "core/geometry/GridStore.h"
#include "core/grid_setup/BuoyPlacement.h"
#include "core/grid_setup/GridEntryFields.h"

#include <QSet>

#include <gtest/gtest.h>

namespace skelvin {
namespace {

TEST(GridEntryFields, EveryFieldNameReachesItsOwnText)
{
    const QStringList names = entryFieldNames();
    ASSERT_EQ(names.size(), 24);
    GridEntryTexts texts;
    QSet<const QString *> seen;
    for (const QString &name : names) {
        QString *text = entryFieldText(texts, name);
        ASSERT_NE(text, nullptr) << name.toStdString();
        EXPECT_FALSE(seen.contains(text)) << name.toStdString() << " shares a text";
        seen.insert(text);
        *text = name;
    }
    // A few the checks and files rely on, each in its own member.
    EXPECT_EQ(texts.upper_left_x, QStringLiteral("upper_left_x"));
    EXPECT_EQ(texts.lr_survey_y, QStringLiteral("lr_survey_y"));
    EXPECT_EQ(texts.txtCheckXpix, QStringLiteral("txtCheckXpix"));
    EXPECT_EQ(texts.jump_y, QStringLiteral("jump_y"));
    EXPECT_EQ(texts.ipt_file_description_2, QStringLiteral("ipt_file_description_2"));
    EXPECT_EQ(entryFieldText(texts, QStringLiteral("Jump_no")), nullptr);

    // The buoy rows name only entry fields, and show what the texts start with.
    const GridEntryTexts fresh;
    for (const BuoyFieldRow &row : buoyFieldRows())
        for (int c = 0; c < 4; ++c) {
            const QString name = QString::fromLatin1(row.fields[c]);
            ASSERT_TRUE(names.contains(name)) << row.fields[c];
            EXPECT_EQ(*entryFieldText(fresh, name), QString::fromLatin1(row.initial[c]));
        }
}

TEST(GridEntryFields, TypedSurveyValuesAndTheJumpChangeTheActiveGridAtOnce)
{
    GridStore grids;
    grids.setActiveJump({60, 20});
    applyFieldEdit(grids, QStringLiteral("ur_survey_y"), QStringLiteral("12.5"));
    EXPECT_EQ(grids.active().corner(Corner::UpperRight).survey.y, 12.5);
    EXPECT_EQ(grids.active().corner(Corner::UpperRight).survey.x, 0);

    applyFieldEdit(grids, QStringLiteral("jump_x"), QStringLiteral("61.25"));
    EXPECT_EQ(grids.distanceJump().x, 61.25);
    EXPECT_EQ(grids.distanceJump().y, 20) << "the other coordinate stays";
    EXPECT_EQ(grids.active().jump.x, 61.25) << "the stored copy follows";

    applyFieldEdit(grids, QStringLiteral("txtCheckY"), QStringLiteral("input"));
    EXPECT_EQ(grids.active().checkBuoySurvey.y, 0) << "no number reads as 0";

    // Screen positions come from the markers, not from typing.
    grids.active().corner(Corner::UpperLeft).screen = {100, 200};
    applyFieldEdit(grids, QStringLiteral("upper_left_x"), QStringLiteral("5"));
    EXPECT_EQ(grids.active().corner(Corner::UpperLeft).screen.x, 100);
}

TEST(BuoyPlacement, ClickedMarkersShowAsCrossesUntilDrawnAgainAndTheLockMovesAll)
{
    BuoyPlacement placement;
    placement.markers().set(Buoy::UpperLeft, {1000, 1000});
    placement.markers().set(Buoy::LowerRight, {5000, 4000});

    auto moved = placement.place(Buoy::UpperLeft, {1100, 900}, false);
    EXPECT_TRUE(moved[0]);
    EXPECT_FALSE(moved[3]);
    EXPECT_TRUE(placement.drawnAsCross(Buoy::UpperLeft));
    EXPECT_FALSE(placement.drawnAsCross(Buoy::LowerRight));
    EXPECT_EQ(placement.markers().at(Buoy::LowerRight).x, 5000);

    placement.redrawn();
    EXPECT_FALSE(placement.drawnAsCross(Buoy::UpperLeft));

    // Locked, a click moves every marker by the chosen one's offset.
    moved = placement.place(Buoy::UpperLeft, {1150, 950}, true);
    EXPECT_TRUE(moved[3]);
    EXPECT_EQ(placement.markers().at(Buoy::LowerRight).x, 5050);
    EXPECT_EQ(placement.markers().at(Buoy::LowerRight).y, 4050);
    EXPECT_TRUE(placement.drawnAsCross(Buoy::LowerRight));

    placement.redrawn();
    placement.nudge(Buoy::LowerRight, 15, 0, false);
    EXPECT_EQ(placement.markers().at(Buoy::LowerRight).x, 5065);
    EXPECT_EQ(placement.markers().at(Buoy::UpperLeft).x, 1150);
}

TEST(BuoyPlacement, TheGridLocksOnlyWithEveryCornerPlacedAndTheCheckBuoySurveyed)
{
    GridEntryTexts texts;
    texts.upper_left_x = texts.upper_right_x = texts.lower_left_x = texts.lower_right_x =
        QStringLiteral("1000");
    texts.txtCheckX = QStringLiteral("60.5");
    EXPECT_EQ(BuoyPlacement::lockRefusal(texts), std::nullopt);

    GridEntryTexts noCheck = texts;
    noCheck.txtCheckX = QStringLiteral("CheckX");
    const std::optional<QString> refusal = BuoyPlacement::lockRefusal(noCheck);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(*refusal, QStringLiteral("Cannot Lock Grid Until buoy positions have been entered "
                                       "for all four buoys and check buoy"));

    GridEntryTexts cornerMissing = texts;
    cornerMissing.lower_right_x = QStringLiteral("auto");
    EXPECT_TRUE(BuoyPlacement::lockRefusal(cornerMissing));
}

} // namespace
} // namespace skelvin
