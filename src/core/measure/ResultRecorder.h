#pragma once

#include "core/measure/MeasureState.h"

#include <QString>

#include <optional>

namespace skelvin {

class Clock;
class GridStore;
class Paths;
class Prompter;
class ResultsFile;
struct TournamentState;

// Turns the measure screen's state into recorded results: the official distance of a jump
// (or a pass, a fall, a distance from the other grid) in the results file and, while the
// WSTIMS link is on, in the scoring program's exchange files; and the reride and comment lines.
//
// Nothing is lost and nothing is pretended: when the results-file line cannot be written the
// operator is told, the state is left exactly as it was (no distance shown, jump number not
// advanced) and the exchange files are not touched, so the scoring program never holds a
// result that the day's journal lacks.
class ResultRecorder
{
public:
    // What recording works with.
    struct Services
    {
        Prompter &prompter;
        Clock &clock;
        ResultsFile &results;
        GridStore &grids;
        const TournamentState &tournament;
        const Paths &paths;
    };

    explicit ResultRecorder(Services services);

    // "Record Jump". True when the jump line is in the results file; the state then holds
    // what the screen shows: the distance boxes, the fine distance and survey point of a
    // measured jump, the raised jump number after a pass, fall or other-grid entry made
    // without a frozen picture, an empty hidden comment, and the options to show (Other Grid
    // off; Pass and Fall off unless a picture is frozen). False when nothing was recorded:
    // the operator has been told why and the state is unchanged.
    bool Record(MeasureState &state);

    // "Man. Reride", "Opt. reride" and "Comment": each writes its own dated line at once and
    // leaves the comment empty. The mandatory reride also empties the distance boxes. True
    // when the line was written; false (the operator told, the state unchanged) otherwise,
    // and for a comment entry the operator cancelled.
    // The screen switches the reride option off unless a picture is frozen, and the comment
    // option off always.
    bool M_Reride(MeasureState &state);
    bool O_reride(MeasureState &state);
    bool Make_comment(MeasureState &state);

    // The entries that write a line of their own at once.
    enum class Entry { ManReride, OptReride, Comment };
    // Writes the entry's line as M_Reride, O_reride or Make_comment does. True when the
    // entry's option stays chosen afterwards: a reride while a picture is frozen (it belongs
    // to the jump on show); a comment never, and nothing else.
    bool recordEntry(MeasureState &state, Entry entry);

    // Choosing Pass, Fall or Other Grid puts its text in the comment.
    static void chooseKind(MeasureState &state, ResultKind kind);

    // The question Record asks before it records a skier name that was never entered (empty,
    // or still the box's starting text "Skier Name") or a jump number that is not a number;
    // nothing when both are real.
    static std::optional<QString> placeholderQuestion(const QString &skierName,
                                                      const QString &jumpNo);

    static const QString kNoImageText;
    static const QString kNoMarkText;
    static const QString kAlreadyRecordedText;
    static const QString kOtherGridQuestion;
    static const QString kOtherGridMismatch;

private:
    struct ExchangeTexts
    {
        QString metres;
        QString feet;
    };

    bool confirmPlaceholders(const MeasureState &state);
    bool askOtherGridDistance(MeasureState &state, ExchangeTexts &exchange);
    bool measure(MeasureState &state, ExchangeTexts &exchange);
    void writeExchangeFiles(const MeasureState &state, const ExchangeTexts &exchange,
                            const QString &timeText);
    bool appendEntry(MeasureState &state, const QString &text);

    Services m_services;
};

} // namespace skelvin
