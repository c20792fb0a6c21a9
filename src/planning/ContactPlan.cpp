#include "planning/ContactPlan.h"

#include <cstddef>

namespace {

constexpr int32_t kNormallyClosedBit = 0x0100;

} // namespace

int FunctionRows(int contact) {
    return contact < kInputContacts ? kInputFunctions : kOutputFunctions;
}

ContactColumn DecodeContact(int32_t value) {
    if (value >= kNormallyClosedBit) {
        return {value - kNormallyClosedBit - 1, ContactMode::NormallyClosed};
    }
    return {value - 1, ContactMode::NormallyOpen};
}

int32_t EncodeContact(const ContactColumn& column) {
    return column.selectedRow + 1 +
           (column.mode == ContactMode::NormallyClosed ? kNormallyClosedBit : 0);
}

ContactPlan::ContactPlan(const ContactValues& values) : values_(values) {
    for (int contact = 0; contact < kPlannedContacts; ++contact) {
        columns_[static_cast<std::size_t>(contact)] =
            DecodeContact(values[static_cast<std::size_t>(contact)]);
    }
}

const ContactColumn& ContactPlan::Column(int contact) const {
    return columns_.at(static_cast<std::size_t>(contact));
}

int ContactPlan::ShownRow(int contact) const {
    const int row = Column(contact).selectedRow;
    return row >= 0 && row < FunctionRows(contact) ? row : -1;
}

void ContactPlan::Click(int contact, int row) {
    if (row < 0 || row >= FunctionRows(contact)) {
        return;
    }
    ContactColumn& column = columns_.at(static_cast<std::size_t>(contact));
    if (row != column.selectedRow) {
        column.mode = ContactMode::None;
    }
    column.selectedRow = row;
    column.mode = column.mode == ContactMode::NormallyClosed ? ContactMode::NormallyOpen
                                                             : ContactMode::NormallyClosed;
}

ContactValues ContactPlan::Values() const {
    ContactValues values = values_;
    for (int contact = 0; contact < kPlannedContacts; ++contact) {
        if (ShownRow(contact) >= 0) {
            values[static_cast<std::size_t>(contact)] = EncodeContact(Column(contact));
        }
    }
    return values;
}
