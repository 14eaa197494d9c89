#include "framework/version_table.h"

#include <array>
#include <cstring>

namespace {

struct VersionEntry {
  DbVersion code;
  const char* stored;  // the text of the version row
  const char* shortText;
};

// In the order detection compares them. 2005003 is last: a database that a
// run has already brought to the target is recognised as such.
constexpr std::array<VersionEntry, 12> kVersions{{
    {kDbVersion20, "2.0.1.49", "V2.0"},
    {kDbVersion21, "2.1.1.91", "V2.1"},
    {kDbVersion22, "2.2.1.197", "V2.2"},
    {kDbVersion23, "2.3.1.217", "V2.3"},
    {kDbVersion241, "2.4.1.263", "V2.4"},
    {kDbVersion242Early, "2.4.2.303", "VERR"},
    {kDbVersion242, "2.4.2.305", "V2.4.2"},
    {kDbVersion243, "2.4.3.307", "V2.4.3"},
    {kDbVersion251, "2.5.1.341", "V2.5.1"},
    {kDbVersion2514, "2.5.1.343", "V2.5.1.4"},
    {kDbVersion252, "2.5.2.399", "V2.5.2"},
    {kDbVersion253, "2.5.3.459", "VERR"},
}};

}  // namespace

const char* GetVersionText(DbVersion nVersion) {
  for (const VersionEntry& v : kVersions)
    if (v.code == nVersion) return v.shortText;
  return "VERR";
}

DbVersion VersionFromStoredText(const CString& text) {
  for (const VersionEntry& v : kVersions)
    if (std::strcmp(text.GetString(), v.stored) == 0) return v.code;
  return 0;
}

const char* StoredVersionText(DbVersion nVersion) {
  for (const VersionEntry& v : kVersions)
    if (v.code == nVersion) return v.stored;
  return "";
}

DbVersion ConvertedAs(DbVersion nVersion) { return nVersion == kDbVersion242Early ? kDbVersion242 : nVersion; }
