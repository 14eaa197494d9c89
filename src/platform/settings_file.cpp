#include "platform/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

constexpr char kCopyMark[] = ".updater-";
// The characters mkstemp puts in place of its XXXXXX, used for the names
// made here too, so that every copy has the same shape.
constexpr std::string_view kSuffixChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kSuffixLength = 6;

// The folder a copy goes in: rename only replaces within one file system.
std::string Folder(const std::string& file) {
  const std::string folder = std::filesystem::path(file).parent_path().string();
  return folder.empty() ? "." : folder;
}

// The file a replacement writes: the target of a final symbolic link, so that
// a data-source file kept as a link elsewhere stays a link. Nothing when the
// link leads nowhere.
std::optional<std::string> ReplacedFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::error_code ec;
  std::filesystem::path target = std::filesystem::canonical(path, ec);
  if (ec) return std::nullopt;
  return target.string();
}

bool ReadAll(int fd, std::string& text) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The file's own permission bits, not those the umask left at the open.
bool Fill(int fd, mode_t mode, std::string_view text) {
  return ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
}

// "<file>.updater-" and six random characters; nothing without randomness.
std::optional<std::string> NewCopyName(const std::string& file) {
  std::array<unsigned char, kSuffixLength> bytes{};
  if (getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) return std::nullopt;
  std::string name = file + kCopyMark;
  for (unsigned char b : bytes) name += kSuffixChars[b % kSuffixChars.size()];
  return name;
}

// Names the unnamed file beside `file`, under a name no other file has.
std::optional<std::string> LinkBeside(int fd, const std::string& file) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::optional<std::string> name = NewCopyName(file);
    if (!name) return std::nullopt;
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name->c_str(), AT_SYMLINK_FOLLOW) == 0) return name;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// A complete, synced copy of `text` beside `file`, named only once complete,
// so that a kill while writing leaves nothing; empty when none could be made.
std::string WriteUnnamedCopy(const std::string& file, mode_t mode, std::string_view text) {
  const int fd = ::open(Folder(file).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd < 0) return {};
  const std::string name = Fill(fd, mode, text) ? LinkBeside(fd, file).value_or("") : "";
  // The data is synced already: closing can lose nothing.
  ::close(fd);
  return name;
}

// The same copy named from the start, for where there are no unnamed files.
std::string WriteNamedCopy(const std::string& file, mode_t mode, std::string_view text) {
  std::string name = file + kCopyMark + std::string(kSuffixLength, 'X');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return {};
  const bool filled = Fill(fd, mode, text);
  ::close(fd);
  if (filled) return name;
  ::unlink(name.c_str());
  return {};
}

bool IsCopyOf(std::string_view entry, std::string_view prefix) {
  if (entry.size() != prefix.size() + kSuffixLength || !entry.starts_with(prefix)) return false;
  return entry.substr(prefix.size()).find_first_not_of(kSuffixChars) == std::string_view::npos;
}

}  // namespace

SettingsText ReadSettingsFile(const std::string& path) {
  using State = SettingsText::State;
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {(errno == ENOENT || errno == ENOTDIR) ? State::Missing : State::Unusable, {}};
  SettingsText file;
  struct stat st {};
  const bool read = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadAll(fd, file.text);
  ::close(fd);
  if (!read) return {State::Unusable, {}};
  file.state = State::Read;
  return file;
}

bool ReplaceSettingsFile(const std::string& path, std::string_view text) {
  const std::optional<std::string> file = ReplacedFile(path);
  if (!file) return false;
  struct stat st {};
  mode_t mode = 0600;
  if (::stat(file->c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }
  std::string copy = WriteUnnamedCopy(*file, mode, text);
  if (copy.empty()) copy = WriteNamedCopy(*file, mode, text);
  if (copy.empty()) return false;
  if (std::rename(copy.c_str(), file->c_str()) == 0) return true;
  ::unlink(copy.c_str());
  return false;
}

bool AppendSettingsFile(const std::string& path, std::string_view text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && WriteAll(fd, text);
  ok = ::close(fd) == 0 && ok;
  return ok;
}

int RemoveStaleReplacements(const std::string& path) {
  const std::optional<std::string> file = ReplacedFile(path);
  if (!file) return 0;
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(Folder(*file).c_str()), ::closedir);
  if (!folder) return 0;
  const std::string prefix = std::filesystem::path(*file).filename().string() + kCopyMark;
  int removed = 0;
  while (const dirent* entry = ::readdir(folder.get())) {
    if (!IsCopyOf(entry->d_name, prefix)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(folder.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid() && ::unlinkat(::dirfd(folder.get()), entry->d_name, 0) == 0) {
      ++removed;
    }
  }
  return removed;
}

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}
