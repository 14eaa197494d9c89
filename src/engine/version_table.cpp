#include "engine/version_table.h"

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
    {2000, "2.0.1.49", "V2.0"},
    {2001, "2.1.1.91", "V2.1"},
    {2002, "2.2.1.197", "V2.2"},
    {2003, "2.3.1.217", "V2.3"},
    {2004, "2.4.1.263", "V2.4"},
    {2004001, "2.4.2.303", "VERR"},
    {2004002, "2.4.2.305", "V2.4.2"},
    {2004003, "2.4.3.307", "V2.4.3"},
    {2005001, "2.5.1.341", "V2.5.1"},
    {2005001004, "2.5.1.343", "V2.5.1.4"},
    {2005002, "2.5.2.399", "V2.5.2"},
    {2005003, "2.5.3.459", "VERR"},
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
