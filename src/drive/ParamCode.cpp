#include "drive/ParamCode.h"

namespace {

constexpr ParamGroupInfo kGroups[kParamGroupCount] = {
    {'C', 40, 40, 401, "Cn0%02d"}, {'T', 8, 20, 441, "Tn1%02d"}, {'S', 18, 20, 451, "Sn2%02d"},
    {'P', 69, 70, 471, "Pn3%02d"}, {'q', 7, 20, 541, "qn4%02d"}, {'H', 19, 20, 551, "Hn5%02d"},
};

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

ParamCode ParamCode::FromText(const QString& text) {
    ParamCode code;
    if (text.isEmpty()) {
        return code;
    }
    const QChar first = text.front();
    code.letter = first.unicode() < 0x80 ? static_cast<char>(first.unicode()) : 0;
    if (text.size() >= 2) {
        const QChar tens = text.at(text.size() - 2);
        const QChar ones = text.back();
        if (IsAsciiDigit(tens) && IsAsciiDigit(ones)) {
            code.number = (tens.unicode() - '0') * 10 + (ones.unicode() - '0');
        }
    }
    return code;
}

QString ParamCode::Text() const {
    const int group = GroupIndexOfLetter(letter);
    if (group < 0) {
        return {};
    }
    return QString::asprintf(kGroups[group].textForm, number);
}

const ParamGroupInfo& GroupInfo(ParamGroup group) {
    return kGroups[static_cast<int>(group)];
}

const ParamGroupInfo& GroupInfo(int groupIndex) {
    return kGroups[groupIndex];
}

int GroupIndexOfLetter(char letter) {
    for (int i = 0; i < kParamGroupCount; ++i) {
        if (kGroups[i].letter == letter) {
            return i;
        }
    }
    return -1;
}
