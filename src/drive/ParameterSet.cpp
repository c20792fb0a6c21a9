#include "drive/ParameterSet.h"

std::span<int32_t> ParameterSet::Group(ParamGroup g) {
    switch (g) {
    case ParamGroup::Control: return control;
    case ParamGroup::Torque: return torque;
    case ParamGroup::Speed: return speed;
    case ParamGroup::Position: return position;
    case ParamGroup::Quick: return quick;
    case ParamGroup::Contact: return contact;
    }
    return {};
}

std::span<const int32_t> ParameterSet::Group(ParamGroup g) const {
    return const_cast<ParameterSet*>(this)->Group(g);
}

int32_t* ParameterSet::Slot(ParamCode code) {
    const auto [letter, number] = code;
    const int g = GroupIndexOfLetter(letter);
    if (g < 0 || number < 1 || number > GroupInfo(g).count) {
        return nullptr;
    }
    return &Group(static_cast<ParamGroup>(g))[number - 1];
}

const int32_t* ParameterSet::Slot(ParamCode code) const {
    return const_cast<ParameterSet*>(this)->Slot(code);
}

void ParameterSet::Fill(int32_t value) {
    for (int g = 0; g < kParamGroupCount; ++g) {
        for (int32_t& v : Group(static_cast<ParamGroup>(g))) {
            v = value;
        }
    }
}
