#pragma once

#include <cstdint>
#include <string>

class Dialog;

// One run of a dialog's data exchange, in one direction. Each call moves one member to or
// from its control. From the controls a value that fails its rule shows its message, puts
// the focus on the control and ends the run: later calls of the same run do not happen.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : m_dialog(dialog)
        , m_saving(saveAndValidate) {}

    bool saving() const { return m_saving; }

    void text(int id, std::string& value);
    void number(int id, float& value);
    // Stored first, then range-checked: a value out of range stays in the member.
    void unsignedInteger(int id, std::uint32_t& value, std::uint32_t min, std::uint32_t max);
    // The member takes the 16-bit value; the range check applies to the number as read.
    void shortInteger(int id, std::int16_t& value, int min, int max);
    void comboText(int id, std::string& value);
    void checkBox(int id, int& value);

    // Thrown to end a run from the controls; Dialog::updateData catches it.
    struct Failed {
        int controlId;
    };

private:
    [[noreturn]] void fail(int id, const std::string& message);

    Dialog& m_dialog;
    bool m_saving;
};
