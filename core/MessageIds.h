// Names of the message table's ids, so that code says which text it shows instead of a number.
// The list lives in MessageIds.inc beside MessageTable.inc; both are kept in step by a test.
#pragma once

#include <cstddef>

namespace lexmora {

// One value per entry of the message table, with that entry's id as its value.
enum class TMsg : int {
#define LEXMORA_MSG(AName, AId) AName = AId,
#include "MessageIds.inc"
#undef LEXMORA_MSG
};

// The name of every id, for tests and diagnostics.
struct TMsgName {
  TMsg Id;
  const char* Name;
};
inline constexpr TMsgName kMsgNames[] = {
#define LEXMORA_MSG(AName, AId) {TMsg::AName, #AName},
#include "MessageIds.inc"
#undef LEXMORA_MSG
};

}  // namespace lexmora
