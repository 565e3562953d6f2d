#include "core/common/TournamentState.h"

namespace skelvin {

QColor drawingColour(const TournamentState &state)
{
    if (state.labelColourWord == QLatin1String("default") || !state.labelColour.isValid())
        return QColor(Qt::white);
    return state.labelColour;
}

SavePolicy savePolicyFromWord(const QString &word)
{
    if (word == QLatin1String("Save"))
        return SavePolicy::Save;
    if (word == QLatin1String("NoSave"))
        return SavePolicy::NoSave;
    return SavePolicy::Ask;
}

QString savePolicyWord(SavePolicy policy)
{
    switch (policy) {
    case SavePolicy::Save:
        return QStringLiteral("Save");
    case SavePolicy::NoSave:
        return QStringLiteral("NoSave");
    case SavePolicy::Ask:
        break;
    }
    return QStringLiteral("Ask");
}

} // namespace skelvin
