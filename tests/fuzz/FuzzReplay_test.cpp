#include "FuzzSupport.h"
#include "support/Damage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace skelvin {
namespace {

// The kept inputs of one fuzz target: its seeds (files the program writes) and every input
// that once made it fail.
QList<QByteArray> keptInputs(const std::string &target)
{
    QList<QByteArray> inputs;
    QDirIterator it(QStringLiteral(SKELVIN_TEST_DATA_DIR "/fuzz/") + QString::fromStdString(target),
                    QDir::Files);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            inputs.append(file.readAll());
    }
    return inputs;
}

int run(fuzz::Target target, const QByteArray &input)
{
    return target(reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
}

class FuzzReplay : public testing::TestWithParam<std::string>
{
};

// Every reader of a file from outside the program, fed its kept inputs whole and then damaged at
// random: a crash, a sanitizer report or a hang fails the test program; readers return quietly.
TEST_P(FuzzReplay, KeptAndDamagedInputsReadQuietly)
{
    const fuzz::Target target = fuzz::targets().at(GetParam());
    const QList<QByteArray> inputs = keptInputs(GetParam());
    ASSERT_FALSE(inputs.isEmpty()) << "no seeds for " << GetParam();
    std::mt19937 random(20261208);
    const int damagedPerInput = std::max(20, 400 / int(inputs.size()));
    for (const QByteArray &input : inputs) {
        EXPECT_EQ(run(target, input), 0);
        for (int i = 0; i < damagedPerInput; ++i)
            EXPECT_EQ(run(target, test::mutate(input, random)), 0);
    }
    EXPECT_EQ(run(target, QByteArray()), 0);
}

std::vector<std::string> targetNames()
{
    std::vector<std::string> names;
    for (const auto &entry : fuzz::targets())
        names.push_back(entry.first);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(targetNames()),
                         [](const testing::TestParamInfo<std::string> &info) { return info.param; });

} // namespace
} // namespace skelvin
