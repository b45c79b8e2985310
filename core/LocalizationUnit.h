// The message table and three small helpers shared across the system.
#pragma once

#include <cstdint>
#include <string>

#include "DataTypeUnit.h"
#include "MessageIds.h"

namespace lexmora {

// Number of entries of the message table (ids 0 to 244).
constexpr int MessageCount = 270;

// The text of message AId in language ALang; empty for an unknown id or language.
std::string GetLocalizedText(int AId, TLocalizationLanguare ALang);
// The same by name: GetLocalizedText(TMsg::ReportCreated, Lang).
inline std::string GetLocalizedText(TMsg AId, TLocalizationLanguare ALang) {
  return GetLocalizedText(static_cast<int>(AId), ALang);
}

// Start-up self-test: true when no text is empty and no id is repeated.
bool CheckLocalizationIds();

// The same self-test over any table, so tests can break a copy of it.
struct TMessageEntry {
  int Id;
  const char* En;
  const char* Ru;
};
bool CheckLocalizationTable(const TMessageEntry* ATable, std::size_t ACount);

// The message table itself, in its own order.
const TMessageEntry* MessageTable();
std::size_t MessageTableSize();

// AValue rounded (halves to even) to ADigits decimals, trailing zeros removed,
// with the user's decimal separator.
std::string FloatToRoundedStr(std::uint8_t ADigits, double AValue);
// The same with an explicit decimal separator (for tests and fixed formats).
std::string FloatToRoundedStr(std::uint8_t ADigits, double AValue, const std::string& ADecimalSeparator);

}  // namespace lexmora
