#include "platform/text_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder_file.h"

namespace {

// Length of the UTF-8 sequence that starts with byte c, 0 if c cannot start one.
size_t SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

// Converts with iconv from `from` to `to`, one character at a time on error,
// so that each character the target lacks becomes exactly one '?' (glibc's
// //TRANSLIT would spell some of them out instead).
std::string Convert(const char* to, const char* from, std::string_view in, bool inputIsUtf8) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.reserve(in.size());
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[256];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL: one character that cannot be converted, or a
    // malformed or cut sequence. Skip it whole and write one '?'.
    size_t skip = 1;
    if (inputIsUtf8) {
      const size_t len = SequenceLength(static_cast<unsigned char>(*src));
      if (len > 1 && len <= srcLeft) {
        size_t valid = 1;
        while (valid < len && (static_cast<unsigned char>(src[valid]) & 0xC0) == 0x80) ++valid;
        skip = valid;
      }
    }
    out += '?';
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string ToJournalBytes(std::string_view utf8) {
  const std::string cp1252 = Convert("WINDOWS-1252", "UTF-8", utf8, true);
  std::string out;
  out.reserve(cp1252.size() + cp1252.size() / 16);
  for (char c : cp1252) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string FromWindows1252(std::string_view bytes) { return Convert("UTF-8", "WINDOWS-1252", bytes, false); }

CStdioFile::~CStdioFile() { Close(); }

BOOL CStdioFile::Open(const char* path, UINT flags, CFileException* /*error*/) {
  Close();
  if (path == nullptr || *path == '\0') return FALSE;
  if ((flags & modeCreate) == 0 || (flags & modeWrite) == 0) return FALSE;
  // The journal goes into the destination's folder, which other users may
  // share: a link planted there must not lead the writes to another file,
  // nor a FIFO hold the run (folder_file.h). Emptying comes only after the
  // checks, since O_TRUNC would empty another user's file first.
  const int fd = CFolder::Of(path).OpenOwn(NameOf(path), O_WRONLY | O_CREAT, 0666);
  if (fd < 0) return FALSE;
  if (::ftruncate(fd, 0) == 0) m_file = ::fdopen(fd, "wb");
  if (m_file == nullptr) ::close(fd);
  return m_file != nullptr ? TRUE : FALSE;
}

void CStdioFile::WriteString(const char* text) {
  if (m_file == nullptr || text == nullptr) return;
  const std::string bytes = ToJournalBytes(text);
  std::fwrite(bytes.data(), 1, bytes.size(), m_file);
  std::fflush(m_file);
}

void CStdioFile::Close() {
  if (m_file != nullptr) {
    std::fclose(m_file);
    m_file = nullptr;
  }
}
