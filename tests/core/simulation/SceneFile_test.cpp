#include "core/simulation/SimulatedScene.h"
#include "support/TestDirs.h"

#include <gtest/gtest.h>

using namespace skelvin;
using namespace skelvin::test;

TEST(SceneFile, ValuesOfTheFileReplaceTheDefaultsAndEmptyPathGivesTheDefaults)
{
    TestDirs dirs;
    const QString path =
        dirs.writeFile(QStringLiteral("scene.ini"), "; a longer jump seen from further away\n"
                                                    "[course]\n"
                                                    "check_buoy_x = 44.5\n"
                                                    "[camera]\n"
                                                    "y=-90\n"
                                                    "horizontal_fov=40\n"
                                                    "k1=-0.05\n"
                                                    "[landing]\n"
                                                    "x=61.25\n"
                                                    "y=-1.5\n"
                                                    "seconds=2.4\n");
    const Result<SimulatedScene> scene = SimulatedScene::load(path);
    ASSERT_TRUE(scene) << scene.error().toStdString();
    EXPECT_TRUE(scene->warnings().isEmpty()) << scene->warnings().join('\n').toStdString();
    EXPECT_EQ(scene->course().checkBuoy.x, 44.5);
    EXPECT_EQ(scene->course().checkBuoy.y, -3.0);
    EXPECT_EQ(scene->camera().position.y, -90.0);
    EXPECT_EQ(scene->camera().horizontalFovDegrees, 40.0);
    EXPECT_EQ(scene->camera().k1, -0.05);
    EXPECT_EQ(scene->landingSurvey().x, 61.25);
    EXPECT_EQ(scene->landingSurvey().y, -1.5);
    EXPECT_EQ(scene->landingSeconds(), 2.4);

    const Result<SimulatedScene> defaults = SimulatedScene::load(QString());
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->landingSeconds(), 2.0);
    EXPECT_EQ(defaults->camera().heightMetres, 20.0);
}

TEST(SceneFile, NonsenseIsToldWithItsLineAndTheDefaultIsKept)
{
    TestDirs dirs;
    const QString path = dirs.writeFile(QStringLiteral("bad.ini"), "height=3\n"
                                                                   "[camera]\n"
                                                                   "height=ten\n"
                                                                   "horizontal_fov=200\n"
                                                                   "x=12\n"
                                                                   "[landing]\n"
                                                                   "seconds=-1\n"
                                                                   "hieght=3\n"
                                                                   "this line means nothing\n"
                                                                   "x=1,5\n");
    const Result<SimulatedScene> scene = SimulatedScene::load(path);
    ASSERT_TRUE(scene) << scene.error().toStdString();
    const QStringList w = scene->warnings();
    const QString prefix = QStringLiteral("Scene file ") + path;
    EXPECT_TRUE(w.contains(prefix + " line 3: camera/height = \"ten\" is not a number; the default "
                                    "20 is kept"))
        << w.join('\n').toStdString();
    EXPECT_TRUE(w.contains(prefix + " line 4: camera/horizontal_fov = 200 must be above 1 and at "
                                    "most 170; the default 28 is kept"));
    EXPECT_TRUE(w.contains(prefix + " line 7: landing/seconds = -1 must be above 0 and at most "
                                    "10; the default 2 is kept"));
    EXPECT_TRUE(w.contains(prefix + " line 8: unknown key landing/hieght; it is ignored"));
    EXPECT_TRUE(w.contains(prefix + " line 9: \"this line means nothing\" is not a key=value "
                                    "line; it is ignored"));
    EXPECT_TRUE(w.contains(prefix + " line 10: landing/x = \"1,5\" is not a number; the default "
                                    "52 is kept"));
    EXPECT_TRUE(w.contains(prefix + " line 1: unknown key height; it is ignored"));
    EXPECT_EQ(w.size(), 7);
    EXPECT_EQ(scene->camera().heightMetres, 20.0);
    EXPECT_EQ(scene->camera().horizontalFovDegrees, 28.0);
    EXPECT_EQ(scene->camera().position.x, 12.0); // the good value in between is taken
    EXPECT_EQ(scene->landingSeconds(), 2.0);
    EXPECT_EQ(scene->landingSurvey().x, 52.0);
}

TEST(SceneFile, MissingFileFailsWithItsPath)
{
    TestDirs dirs;
    const QString path = dirs.file(QStringLiteral("nowhere.ini"));
    const Result<SimulatedScene> scene = SimulatedScene::load(path);
    ASSERT_FALSE(scene);
    EXPECT_EQ(scene.error(), QStringLiteral("The scene file %1 does not exist").arg(path));
}
