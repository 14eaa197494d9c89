#include "app/command_line.h"

#include <string>
#include <string_view>

#include "app/quoted.h"

namespace {

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

// The name a mistyped option was probably meant as, or null. The option's
// introducers, case and value do not count: "/INFO", "-info" and "--Info"
// all meant --info.
const char* MeantOption(std::string_view arg) {
  while (!arg.empty() && (arg.front() == '-' || arg.front() == '/')) arg.remove_prefix(1);
  std::string name(arg.substr(0, arg.find('=')));
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  static const struct {
    const char* name;
    const char* meant;
  } kMeant[] = {
      {"info", "--info"},
      {"dry-run", "--info"},
      {"dryrun", "--info"},
      {"json", "--info --json"},
      {"help", "--help"},
      {"aide", "--help"},
      {"h", "--help"},
      {"?", "--help"},
      {"version", "--version"},
      {"v", "--version"},
      {"src", "--src CHEMIN ou /SRC=CHEMIN"},
      {"source", "--src CHEMIN ou /SRC=CHEMIN"},
      {"dest", "--dest CHEMIN ou /DEST=CHEMIN"},
      {"destination", "--dest CHEMIN ou /DEST=CHEMIN"},
  };
  for (const auto& entry : kMeant)
    if (name == entry.name) return entry.meant;
  return nullptr;
}

// An argument that starts with '/' and names a file ("/home/me/Base.mdb")
// is a path, not a mistyped option: no option name holds '/' or '.'.
bool LooksLikePath(std::string_view arg) {
  if (arg.empty() || arg.front() != '/') return false;
  // Up to the '=' of a value; npos - 1 still reaches the end.
  const std::string_view name = arg.substr(1, arg.find('=') - 1);
  return name.find_first_of("/.") != std::string_view::npos;
}

}  // namespace

void CUpdaterCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  if (Done()) return;
  // The framework hands a flag over without its '/' or '-', which stands
  // just before it in the argument as typed.
  const char* arg = bFlag ? pszParam - 1 : pszParam;
  const std::string_view text(arg);
  if (m_pending != Pending::None) {
    // "--src PATH": the next argument is the path, whatever it starts with.
    const bool source = m_pending == Pending::Source;
    m_pending = Pending::None;
    TakePath(source, arg, source ? "--src" : "--dest", PathForm{true, false});
  } else if (!bFlag || LooksLikePath(text)) {
    Refuse(arg);
  } else if (StartsNoCase(text.substr(1), "SRC=")) {
    // The name counts only at the start: "/DEST=/home/SRC=x/B.mdb" is a
    // destination.
    TakePath(true, CString(text.substr(5)), "/SRC=", PathForm{false, true});
  } else if (StartsNoCase(text.substr(1), "DEST=")) {
    TakePath(false, CString(text.substr(6)), "/DEST=", PathForm{false, true});
  } else if (text == "--src" || text == "--dest") {
    if (bLast) {
      m_strError.Format("l'option %s demande un chemin", arg);
    } else {
      m_pending = text == "--src" ? Pending::Source : Pending::Dest;
    }
  } else if (text.starts_with("--src=")) {
    TakePath(true, CString(text.substr(6)), "--src", PathForm{true, true});
  } else if (text.starts_with("--dest=")) {
    TakePath(false, CString(text.substr(7)), "--dest", PathForm{true, true});
  } else if (text == "--info") {
    TakeFlag(m_bInfo, "--info");
  } else if (text == "--json") {
    TakeFlag(m_bJson, "--json");
  } else if (text == "--help" || text == "-h" || text == "/?" || text == "-?") {
    m_bHelp = TRUE;
  } else if (text == "--version" || text == "-V") {
    m_bVersion = TRUE;
  } else {
    Refuse(arg);
  }
  if (bLast && !Done() && m_bJson && !m_bInfo) m_strError = "l'option --json ne s'emploie qu'avec --info";
}

void CUpdaterCommandLineInfo::TakePath(bool source, const CString& value, const char* spelling, PathForm form) {
  bool& given = source ? m_bSourceGiven : m_bDestGiven;
  if (given) {
    m_strError = source ? "la base source est donnée deux fois (/SRC= ou --src)"
                        : "la destination est donnée deux fois (/DEST= ou --dest)";
    return;
  }
  // An empty /SRC= or /DEST= reads as none given, as the Windows callers
  // knew it; the GNU forms have no such use.
  if (value.IsEmpty() && spelling[0] == '-') {
    m_strError.Format("l'option %s demande un chemin", spelling);
    return;
  }
  given = true;
  (source ? m_strSource : m_strDest) = value;
  (source ? m_sourceForm : m_destForm) = form;
}

void CUpdaterCommandLineInfo::TakeFlag(BOOL& flag, const char* spelling) {
  if (flag) {
    m_strError.Format("l'option %s est donnée deux fois", spelling);
    return;
  }
  flag = TRUE;
}

void CUpdaterCommandLineInfo::Refuse(const char* arg) {
  const CString quoted = Quoted(arg);
  if (arg[0] != '-' && (arg[0] != '/' || LooksLikePath(arg))) {
    // A bare name: the source or the destination? And /SRC= would take it in
    // the template folder, --src in the current one. Say how to give it.
    m_strError.Format(
        "argument inattendu %s : la base à convertir se donne par --src CHEMIN, "
        "la destination par --dest CHEMIN",
        quoted.GetString());
    return;
  }
  const char* meant = MeantOption(arg);
  m_strError.Format("option inconnue %s%s%s%s", quoted.GetString(), meant ? " (voulez-vous dire " : "",
                    meant ? meant : "", meant ? " ?)" : "");
}
