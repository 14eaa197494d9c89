#include "recordsets/db_version.h"

#include "recordsets/data_sources.h"

CString ConnectFor(DbVersion version) {
  return version == kDbVersion253 ? kConvertedConnect : kTemplateConnect;
}
