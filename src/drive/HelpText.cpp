#include "drive/ParameterCatalogue.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "drive/ParamCode.h"

#include <iterator>

namespace {

// ---- Where each parameter's help lives in the string table (texts in HelpStrings.cpp) ----
//
// Within a run of parameters the texts follow one another in parameter order. Most parameters
// have one text. A parameter listed in kSplitHelp has several consecutive texts: a bit-field
// parameter one per digit (the first also describing the parameter), a selection parameter
// with a long list of options its description and then the options. The run ends are fixed,
// so the splits must add up exactly (checked below).

struct SplitHelp {
    char letter;
    int number;
    int texts;
};

constexpr SplitHelp kSplitHelp[] = {
    {'C', 1, 2},  // Cn001: description; the seven control modes
    {'C', 2, 4},  // Cn002.0 (with the description), .1, .2, .3
    {'C', 6, 2},  // Cn006.0 MON1 (with the description), .1 MON2
    {'C', 15, 2}, // Cn015.0 PI/P (with the description), .1 two-stage gain
    {'C', 37, 2}, // Cn037.0 RS-485 (with the description), .1 RS-232
    {'C', 38, 2}, // Cn038: description; the nine data formats
    {'T', 1, 2},  // Tn101: description; the options
    {'S', 4, 2},  // Sn204: description; the options
    {'S', 5, 2},  // Sn205: description; the options
    {'P', 1, 2},  // Pn301.0 (with the description); .1 and .2
};

struct HelpRun {
    char letter;
    int firstNumber;
    int lastNumber;
    int firstId; // first text of firstNumber
    int endId;   // one past the last text of lastNumber
};

constexpr HelpRun kHelpRuns[] = {
    {'C', 1, 40, 570, 618},  // Cn001..Cn040: 570..617
    {'T', 1, 8, 620, 629},   // Tn101..Tn108: 620..628
    {'S', 1, 18, 630, 650},  // Sn201..Sn218: 630..649
    {'P', 1, 16, 650, 667},  // Pn301..Pn316: 650..666
    {'P', 65, 69, 671, 676}, // Pn365..Pn369: 671..675
};

// The sixteen internal positions, Pn317..Pn364: position k has its revolutions at Pn3(14+3k),
// pulses at Pn3(15+3k) and speed at Pn3(16+3k). Pn317 has a text of its own; the others share
// one text per kind, whose "%d" takes the position number.
constexpr int kFirstInternalNumber = 17;
constexpr int kLastInternalNumber = 64;

// Multi-function contacts Hn501..Hn517: a head naming the digits, the contact's caption, one
// line per function, then the level digit with its caption and lines.
constexpr int kInputContacts = 13; // Hn501..Hn513, DI-1..DI-13
constexpr int kOutputContacts = 4; // Hn514..Hn517, DO-1..DO-4
constexpr int kDiFunctionCount = 28;
constexpr int kDoFunctionCount = 8;
constexpr int kLevelCount = 2;

constexpr const char kContactFunctionHead[] = "Hn5%02d.1 && Hn5%02d.0";
constexpr const char kContactLevelHead[] = "Hn5%02d.2";
constexpr const char kDiFunctionCaption[] = "DI-%d接脚功能\n";
constexpr const char kDiLevelCaption[] = "DI-%d接脚功能动作电位\n";
constexpr const char kDoFunctionCaption[] = "DO-%d接脚功能\n";
constexpr const char kDoLevelCaption[] = "DO-%d接脚功能动作电位\n";

constexpr int TextsOf(char letter, int number) {
    for (const SplitHelp& split : kSplitHelp) {
        if (split.letter == letter && split.number == number) {
            return split.texts;
        }
    }
    return 1;
}

struct TextSpan {
    int firstId = 0;
    int count = 0;
};

// The texts a parameter owns in a run; count 0 when it is in none.
constexpr TextSpan OwnTexts(char letter, int number) {
    for (const HelpRun& run : kHelpRuns) {
        if (run.letter != letter || number < run.firstNumber || number > run.lastNumber) {
            continue;
        }
        int id = run.firstId;
        for (int n = run.firstNumber; n < number; ++n) {
            id += TextsOf(letter, n);
        }
        return {id, TextsOf(letter, number)};
    }
    return {};
}

constexpr bool RunsFillTheirIds() {
    for (const HelpRun& run : kHelpRuns) {
        const TextSpan last = OwnTexts(run.letter, run.lastNumber);
        if (last.firstId + last.count != run.endId) {
            return false;
        }
    }
    return true;
}
static_assert(RunsFillTheirIds(), "the text counts of a run must fill its IDs exactly");
// The quick group reuses these texts, so they must stay where the layout puts them.
static_assert(OwnTexts('S', 11).firstId == 642 && OwnTexts('S', 14).firstId == 645);
static_assert(OwnTexts('P', 10).firstId == 660 && OwnTexts('P', 12).firstId == 662);

QString JoinTexts(int firstId, int count) {
    QString help;
    for (int id = firstId; id < firstId + count; ++id) {
        help += StringText(id);
    }
    return help;
}

// A shared text with the position number put in for its "%d".
QString WithNumber(int id, int number) {
    return StringText(id).replace(QStringLiteral("%d"), QString::number(number));
}

QString InternalPositionHelp(int number) {
    const int position = (number - 14) / 3;
    switch ((number - 14) % 3) {
    case 0:
        return number == kFirstInternalNumber ? StringText(StringId::kFirstRevolutionsHelp)
                                              : WithNumber(StringId::kRevolutionsHelp, position);
    case 1: return WithNumber(StringId::kPulsesHelp, position);
    default: return WithNumber(StringId::kSpeedHelp, position);
    }
}

QString ContactHelp(int number) {
    const bool input = number <= kInputContacts;
    const int contact = input ? number : number - kInputContacts;
    // The heads name the digits; a blank keeps them apart from the captions that follow.
    QString help = QString::asprintf(kContactFunctionHead, number, number) + QLatin1Char(' ');
    help += QString::asprintf(input ? kDiFunctionCaption : kDoFunctionCaption, contact);
    help += input ? JoinTexts(StringId::kDiFunctionLines, kDiFunctionCount)
                  : JoinTexts(StringId::kDoFunctionLines, kDoFunctionCount);
    help += QString::asprintf(kContactLevelHead, number) + QLatin1Char(' ');
    help += QString::asprintf(input ? kDiLevelCaption : kDoLevelCaption, contact);
    help += JoinTexts(input ? StringId::kDiLevelLines : StringId::kDoLevelLines, kLevelCount);
    return help;
}

QString OwnHelp(char letter, int number) {
    const TextSpan span = OwnTexts(letter, number);
    return JoinTexts(span.firstId, span.count);
}

} // namespace

QString HelpText(ParamCode code) {
    const int number = code.number;
    switch (code.letter) {
    case 'C':
    case 'T':
    case 'S': return OwnHelp(code.letter, number);
    case 'P':
        if (number >= kFirstInternalNumber && number <= kLastInternalNumber) {
            return InternalPositionHelp(number);
        }
        return OwnHelp('P', number);
    case 'q': {
        // The quick parameters are their twins in the drive and show their help.
        const ParamCode twin = QuickTwinOf(number);
        return twin.letter != 0 ? OwnHelp(twin.letter, twin.number) : QString();
    }
    case 'H':
        if (number >= 1 && number <= kInputContacts + kOutputContacts) {
            return ContactHelp(number);
        }
        return {}; // Hn518, Hn519: the bit masks have no help text
    default: return {};
    }
}
