#pragma once

#include <array>
#include <cstdint>

// The functions planned on the drive's digital contacts: 13 inputs DI-1..DI-13 (Hn501..Hn513)
// and 4 outputs DO-1..DO-4 (Hn514..Hn517). A contact parameter's low byte is the function code,
// the row number + 1 of the function in its list (28 input functions, 8 output functions); 0x0100
// set makes the contact normally closed, clear normally open.

inline constexpr int kInputContacts = 13;
inline constexpr int kOutputContacts = 4;
inline constexpr int kPlannedContacts = kInputContacts + kOutputContacts;
inline constexpr int kInputFunctions = 28;
inline constexpr int kOutputFunctions = 8;

// Hn501..Hn519 and one spare slot, as the document keeps them. The planner changes the first 17
// only; the others go back as they came.
using ContactValues = std::array<int32_t, 20>;

enum class ContactMode : int { None = 0, NormallyClosed = 1, NormallyOpen = 2 };

// One contact's column of the planner: the selected function row (0-based, -1 for none) and how
// its contact works.
struct ContactColumn {
    int selectedRow = -1;
    ContactMode mode = ContactMode::None;
    bool operator==(const ContactColumn&) const = default;
};

// Function rows of contact 0..16: 28 for an input, 8 for an output.
int FunctionRows(int contact);

// A value of 256 or more is normally closed with row value - 257, any other normally open with
// row value - 1; the row may lie outside the contact's rows (0, 256, unknown codes).
ContactColumn DecodeContact(int32_t value);
// Row + 1, plus 0x0100 when normally closed.
int32_t EncodeContact(const ContactColumn& column);

// The planner's matrix over the values it opened with.
class ContactPlan {
public:
    explicit ContactPlan(const ContactValues& values);

    const ContactColumn& Column(int contact) const;
    // The row whose cell shows the selection, or -1 when the value names none of the rows.
    int ShownRow(int contact) const;

    // A click on a cell: another row than the selected one becomes the selection, normally
    // closed; the selected cell switches between normally open and normally closed.
    void Click(int contact, int row);

    // Each contact's value from its selection; a contact whose value names no row keeps it, and
    // the two slots after the contacts and the spare pass through.
    ContactValues Values() const;

private:
    ContactValues values_;
    std::array<ContactColumn, kPlannedContacts> columns_;
};
