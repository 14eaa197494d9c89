// What one exchange function call tells the record set about a column: its
// name as the set sends it, the member it is exchanged with and how. The
// record set collects these once when it opens and works on them after.
#pragma once

#include <string>

#include "platform/types.h"

namespace rfx {

enum class FieldKind { Long, Int, Byte, Bool, Double, Date, Text };

struct FieldBinding {
  std::string column;  // "[CLASS_ID]"
  FieldKind kind = FieldKind::Long;
  void* member = nullptr;
  int maxLength = 0;  // characters, Text only
};

enum class BulkKind { Long, Bool };

// A column fetched many rows at a time into arrays that the record set
// allocates; the set's own pointers are pointed at them.
struct BulkBinding {
  std::string column;
  BulkKind kind = BulkKind::Long;
  LONG** values = nullptr;  // BOOL and LONG are both 32-bit ints here
  LONG** lengths = nullptr;
};

}  // namespace rfx
