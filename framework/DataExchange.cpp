#include "DataExchange.h"

#include "Dialog.h"
#include "ExchangeRules.h"
#include "MessageBox.h"

void DataExchange::fail(int id, const std::string& message) {
    showMessage(message, MessageIcon::Exclamation, &m_dialog);
    m_dialog.focusControl(id);
    throw Failed{id};
}

void DataExchange::text(int id, std::string& value) {
    if (m_saving)
        value = m_dialog.controlText(id);
    else
        m_dialog.setControlText(id, value);
}

void DataExchange::number(int id, float& value) {
    if (!m_saving) {
        m_dialog.setControlText(id, exchange::formatFloat(value));
        return;
    }
    const auto parsed = exchange::parseFloat(m_dialog.controlText(id));
    if (!parsed) fail(id, exchange::kNumberMessage);
    value = *parsed;
}

void DataExchange::unsignedInteger(int id, std::uint32_t& value, std::uint32_t min,
                                   std::uint32_t max) {
    if (!m_saving) {
        m_dialog.setControlText(id, std::to_string(value));
        return;
    }
    const auto parsed = exchange::parseUnsigned(m_dialog.controlText(id));
    if (!parsed) fail(id, exchange::kPositiveIntegerMessage);
    value = *parsed;
    if (value < min || value > max) fail(id, exchange::rangeMessage(min, max));
}

void DataExchange::shortInteger(int id, std::int16_t& value, int min, int max) {
    if (!m_saving) {
        m_dialog.setControlText(id, std::to_string(value));
        return;
    }
    const auto parsed = exchange::parseSigned(m_dialog.controlText(id));
    if (!parsed) fail(id, exchange::kIntegerMessage);
    value = std::int16_t(*parsed);
    if (*parsed < min || *parsed > max) fail(id, exchange::rangeMessage(min, max));
}

void DataExchange::comboText(int id, std::string& value) {
    if (m_saving)
        value = m_dialog.controlText(id);
    else if (!m_dialog.selectComboPrefix(id, value))
        m_dialog.setControlText(id, value);
}

void DataExchange::checkBox(int id, int& value) {
    if (m_saving) {
        value = m_dialog.checkState(id);
        return;
    }
    if (value < 0 || value > 2) value = 0;
    m_dialog.setCheckState(id, value);
}
