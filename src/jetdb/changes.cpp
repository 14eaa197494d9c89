#include <sqlite3.h>

#include "jetdb/jetdb.h"
#include "jetdb/session.h"

namespace jetdb {

std::int64_t Database::totalChanges() const { return sqlite3_total_changes64(impl_->db); }

}  // namespace jetdb
