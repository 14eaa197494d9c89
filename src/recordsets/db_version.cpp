#include "recordsets/db_version.h"

#include "recordsets/data_sources.h"

CString ConnectFor(DbVersion version) {
  return version == kConvertedDatabase ? kConvertedConnect : kTemplateConnect;
}
