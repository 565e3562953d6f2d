#include "core/measure/ResultRecorder.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/common/Prompter.h"
#include "core/common/TournamentState.h"
#include "core/geometry/GridStore.h"
#include "core/geometry/JumpDistance.h"
#include "core/logs/ResultsFile.h"
#include "core/measure/ExchangeFiles.h"
#include "core/measure/ResultLine.h"

namespace skelvin {

const QString ResultRecorder::kAlreadyRecordedText =
    QStringLiteral("This jump is already recorded. Record it again?");

const QString ResultRecorder::kNoMarkText =
    QStringLiteral("Click the point of first contact on the picture before recording the jump.");
const QString ResultRecorder::kNoImageText = QStringLiteral(
    "The mark is on a point that the grid cannot map onto the water, so no distance can be "
    "measured. Nothing was recorded: place the mark on the landing point and record again.");
const QString ResultRecorder::kOtherGridQuestion =
    QStringLiteral("Is there a distance to be recorded in the other grid?");
const QString ResultRecorder::kOtherGridMismatch = QStringLiteral(
    "The meter distance and the foot distance you entered did not match, please enter them again");

namespace {

const QString kOtherGridTitle = QStringLiteral("Other Grid Measurement");

ExchangeStatus exchangeStatus(const MeasureState &state)
{
    // A pass or a fall stays one for the scoring program even when the operator added words
    // to its comment; otherwise the comment decides, as the scoring program has always read it.
    if (state.kind == ResultKind::Fall || state.comment == QStringLiteral("Fall"))
        return ExchangeStatus::Fall;
    if (state.kind == ResultKind::Pass || state.comment == QStringLiteral("Pass"))
        return ExchangeStatus::Pass;
    return ExchangeStatus::Ok;
}

} // namespace

ResultRecorder::ResultRecorder(Services services) : m_services(services) {}

bool ResultRecorder::recordEntry(MeasureState &state, Entry entry)
{
    switch (entry) {
    case Entry::ManReride: M_Reride(state); break;
    case Entry::OptReride: O_reride(state); break;
    case Entry::Comment: Make_comment(state); break;
    }
    return entry != Entry::Comment && state.pictureFrozen;
}

void ResultRecorder::chooseKind(MeasureState &state, ResultKind kind)
{
    state.kind = kind;
    if (kind == ResultKind::Pass)
        state.comment = QStringLiteral("Pass");
    else if (kind == ResultKind::Fall)
        state.comment = QStringLiteral("Fall");
    else if (kind == ResultKind::OtherGrid)
        state.comment = QStringLiteral("Distance from other grid");
}

std::optional<QString> ResultRecorder::placeholderQuestion(const QString &skierName,
                                                           const QString &jumpNo)
{
    const QString name = skierName.trimmed();
    const bool noName = name.isEmpty() || name == QLatin1String("Skier Name");
    double number = 0;
    const bool noNumber = !parseNumberField(jumpNo, &number);
    if (!noName && !noNumber)
        return std::nullopt;
    QString what;
    if (noName)
        what = QStringLiteral("No skier name has been entered");
    if (noNumber) {
        const QString jump = QStringLiteral("the jump number \"%1\" is not a number").arg(jumpNo);
        what =
            noName ? what + QStringLiteral(" and ") + jump : jump.left(1).toUpper() + jump.mid(1);
    }
    return what + QStringLiteral(". Do you want to record this jump anyway?");
}

bool ResultRecorder::confirmPlaceholders(const MeasureState &state)
{
    const std::optional<QString> question = placeholderQuestion(state.skierName, state.jumpNo);
    return !question || m_services.prompter.askYesNo(*question, QStringLiteral("Record Jump"),
                                                     MessageIcon::Question, Answer::No);
}

bool ResultRecorder::askOtherGridDistance(MeasureState &state, ExchangeTexts &exchange)
{
    Prompter &prompter = m_services.prompter;
    while (true) {
        if (!prompter.askYesNo(kOtherGridQuestion, QStringLiteral("Message"))) {
            state.comment = QStringLiteral("Other Grid - no distance recorded");
            state.distanceText.clear();
            state.distanceFtText.clear();
            exchange = {};
            return true;
        }
        const std::optional<QString> metres =
            prompter.input({QStringLiteral("Enter distance in meters from other screen"),
                            kOtherGridTitle, QString()});
        if (!metres || metres->isEmpty())
            continue; // nothing entered: ask again rather than record an empty distance
        const std::optional<QString> feet =
            prompter.input({QStringLiteral("Enter distance in feet from other screen"),
                            kOtherGridTitle, QString()});
        if (!feet || feet->isEmpty())
            continue;

        exchange.metres = *metres;
        exchange.feet = QLatin1Char(' ') + *feet;
        state.distanceText = *metres + QLatin1Char('m');
        state.distanceFtText = exchange.feet + QStringLiteral("ft");
        const double m = Val(state.distanceText);
        const double f = Val(state.distanceFtText);
        // The two entries must agree within 2 feet at 3.2808 feet a metre.
        if (m * 3.2808 + 2 < f || m * 3.2808 - 2 > f) {
            prompter.inform(kOtherGridMismatch);
            continue;
        }
        return true;
    }
}

bool ResultRecorder::measure(MeasureState &state, ExchangeTexts &exchange)
{
    const TournamentType type = m_services.tournament.tournamentType;
    const std::optional<JumpMeasurement> measured =
        distance_calculation(m_services.grids, type, state.impactPoint);
    if (!measured) {
        m_services.prompter.inform(kNoImageText, MessageIcon::Exclamation,
                                   QStringLiteral("Record Jump"));
        return false;
    }
    // Tenths of a foot while the screen shows the barefoot or sit-ski indicator.
    const DistanceTexts texts =
        distanceTexts(measured->distanceMetres, state.barefootIndicatorVisible);
    state.lastSurveyPoint = measured->survey;
    state.fineDistanceText = texts.fineDistanceText;
    state.distanceText = texts.distanceText;
    state.distanceFtText = texts.distanceFtText;
    exchange = {texts.exchangeMetres, texts.exchangeFeet};
    return true;
}

void ResultRecorder::writeExchangeFiles(const MeasureState &state, const ExchangeTexts &exchange,
                                        const QString &timeText)
{
    const ExchangeFiles files(m_services.paths.exchangeDir());
    const QString status =
        ExchangeResultLine(exchangeStatus(state), exchange.metres, exchange.feet, state.jumpNo);
    if (const Failure failure =
            files.writeResult(status, ExchangeRawLine(timeText, state.skierName, status)))
        m_services.prompter.inform(ExchangeFiles::kWriteErrorText + *failure);
}

bool ResultRecorder::Record(MeasureState &state)
{
    // Work on a copy: the screen's state changes only once the jump is in the results file.
    MeasureState next = state;
    ExchangeTexts exchange;
    bool advance = false;

    // A mark left over from the jump before (or none at all) must never become this jump's
    // result; without one there is nothing to ask about either.
    if (next.kind == ResultKind::JumpOk && !next.markPlaced) {
        m_services.prompter.inform(kNoMarkText, MessageIcon::Exclamation,
                                   QStringLiteral("Record Jump"));
        return false;
    }
    // A second press of Record for the same mark would put the same jump in the results and
    // the scoring program's files twice.
    const bool sameMark = next.recordedMark && next.recordedMark->x == next.impactPoint.x &&
                          next.recordedMark->y == next.impactPoint.y;
    if (next.kind == ResultKind::JumpOk && sameMark &&
        !m_services.prompter.askYesNo(kAlreadyRecordedText, QStringLiteral("Record Jump"),
                                      MessageIcon::Question, Answer::No))
        return false;
    // The starting texts of the boxes are not a skier and a jump: record them only when the
    // operator says so.
    if (!confirmPlaceholders(next))
        return false;

    const bool passOrFall = next.kind == ResultKind::Pass || next.kind == ResultKind::Fall;
    if (passOrFall) {
        next.distanceText.clear();
        next.distanceFtText.clear();
        advance = !next.pictureFrozen;
    } else if (next.kind == ResultKind::OtherGrid) {
        askOtherGridDistance(next, exchange);
        advance = !next.pictureFrozen;
    } else if (!measure(next, exchange)) {
        return false;
    }

    const QString dateText = m_services.clock.dateText();
    const QString timeText = m_services.clock.timeText();
    const bool barefoot = m_services.tournament.barefootMode();
    if (!m_services.results.append(ResultLine(dateText, timeText, next, barefoot)))
        return false;

    if (m_services.tournament.wstims)
        writeExchangeFiles(next, exchange, timeText);

    if (next.kind == ResultKind::JumpOk)
        next.recordedMark = next.impactPoint;
    next.commentVisible = false;
    if (advance)
        next.jumpNo = Str(Val(next.jumpNo) + 1);
    if (next.kind == ResultKind::OtherGrid || (passOrFall && !next.pictureFrozen))
        next.kind = ResultKind::JumpOk;
    next.comment.clear();
    ExchangeFiles(m_services.paths.exchangeDir()).deletePictures();

    state = next;
    return true;
}

bool ResultRecorder::appendEntry(MeasureState &state, const QString &text)
{
    const Clock &clock = m_services.clock;
    if (!m_services.results.append(DatedResultLine(clock.dateText(), clock.timeText(), text)))
        return false;
    state.comment.clear();
    return true;
}

bool ResultRecorder::M_Reride(MeasureState &state)
{
    if (!appendEntry(state, kMandatoryRerideText))
        return false;
    state.distanceText.clear();
    state.distanceFtText.clear();
    return true;
}

bool ResultRecorder::O_reride(MeasureState &state)
{
    return appendEntry(state, kOptionalRerideText);
}

bool ResultRecorder::Make_comment(MeasureState &state)
{
    const std::optional<QString> comment =
        m_services.prompter.input({QStringLiteral("What comment would you like to add?"),
                                   QStringLiteral("Input Comment"), QString()});
    if (!comment)
        return false;
    return appendEntry(state, *comment);
}

} // namespace skelvin
