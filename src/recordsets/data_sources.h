// The two ODBC data sources through which the program reaches its
// databases, with the texts that register them and the connect strings
// that name them. The database being converted is TQ2TMP, the template
// database of a step TQ2TMPSRC.
#pragma once

inline constexpr char kConvertedDataSource[] = "TQ2TMP";
inline constexpr char kTemplateDataSource[] = "TQ2TMPSRC";

// Registration attributes: every '/' that the format itself holds ends a
// pair; "%s" receives the full path of the .mdb file.
inline constexpr char kConvertedAttributesFormat[] = "DSN=TQ2TMP/FIL=MS Access/MAXBUFFERSIZE=4096/DBQ=%s/";
inline constexpr char kTemplateAttributesFormat[] = "DSN=TQ2TMPSRC/FIL=MS Access/MAXBUFFERSIZE=4096/DBQ=%s/";

inline constexpr char kConvertedConnect[] = "ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;";
inline constexpr char kTemplateConnect[] = "ODBC;DSN=TQ2TMPSRC;UID=admin;PWD=qlvm7;";
