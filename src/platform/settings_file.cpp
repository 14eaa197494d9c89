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

#include "platform/folder_file.h"

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
// a data-source file kept as a link elsewhere stays a link, but only a link
// of the user's own to a file of the user's own: a link someone else put
// there is not followed. Nothing when the link leads nowhere or may not be
// followed.
std::optional<std::string> ReplacedFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  if (st.st_uid != ::geteuid()) return std::nullopt;
  std::error_code ec;
  std::filesystem::path target = std::filesystem::canonical(path, ec);
  if (ec || ::lstat(target.c_str(), &st) != 0 || st.st_uid != ::geteuid()) return std::nullopt;
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
bool Fill(int fd, mode_t mode, std::string_view text, DiskWait wait) {
  return ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && (wait == DiskWait::Unsynced || ::fsync(fd) == 0);
}

// "<file>.updater-" and six random characters; nothing without randomness.
std::optional<std::string> NewCopyName(const std::string& file) {
  std::array<unsigned char, kSuffixLength> bytes{};
  if (getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) return std::nullopt;
  std::string name = file + kCopyMark;
  for (unsigned char b : bytes) name += kSuffixChars[b % kSuffixChars.size()];
  return name;
}

// Names the unnamed file beside `name` in the folder, under a name no other
// file has; the name given, or nothing.
std::optional<std::string> LinkBeside(int fd, const CFolder& folder, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::optional<std::string> copy = NewCopyName(name);
    if (!copy) return std::nullopt;
    if (::linkat(AT_FDCWD, self.c_str(), folder.fd(), copy->c_str(), AT_SYMLINK_FOLLOW) == 0) return copy;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// A complete, synced copy of `text` beside `name`, named only once complete,
// so that a kill while writing leaves nothing; empty when none could be made.
std::string WriteUnnamedCopy(const CFolder& folder, const std::string& name, mode_t mode, std::string_view text,
                             DiskWait wait) {
  const int fd = ::openat(folder.fd(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd < 0) return {};
  const std::string copy = Fill(fd, mode, text, wait) ? LinkBeside(fd, folder, name).value_or("") : "";
  // The data is synced already, when it must be: closing can lose nothing.
  ::close(fd);
  return copy;
}

// The same copy named from the start (created exclusively), for where there
// are no unnamed files.
std::string WriteNamedCopy(const CFolder& folder, const std::string& name, mode_t mode, std::string_view text,
                           DiskWait wait) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::optional<std::string> copy = NewCopyName(name);
    if (!copy) return {};
    const int fd = folder.CreateNew(*copy, O_WRONLY, mode);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return {};
    const bool filled = Fill(fd, mode, text, wait);
    ::close(fd);
    if (filled) return *copy;
    ::unlinkat(folder.fd(), copy->c_str(), 0);
    return {};
  }
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

// Gives `name` in the folder the text at once, with that mode.
static bool ReplaceIn(const CFolder& folder, const std::string& name, mode_t mode, std::string_view text,
                      DiskWait wait = DiskWait::Synced) {
  std::string copy = WriteUnnamedCopy(folder, name, mode, text, wait);
  if (copy.empty()) copy = WriteNamedCopy(folder, name, mode, text, wait);
  if (copy.empty()) return false;
  if (::renameat(folder.fd(), copy.c_str(), folder.fd(), name.c_str()) == 0) return true;
  ::unlinkat(folder.fd(), copy.c_str(), 0);
  return false;
}

bool ReplaceSettingsFile(const std::string& path, std::string_view text, DiskWait wait) {
  const std::optional<std::string> file = ReplacedFile(path);
  if (!file) return false;
  // Every name from here on is looked up in the folder itself: a link
  // swapped in at the file's name is replaced, never followed.
  const CFolder folder = CFolder::Of(*file);
  const std::string name = NameOf(*file);
  if (!folder.IsOpen()) return false;
  struct stat st {};
  mode_t mode = 0600;
  if (::fstatat(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return false;
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }
  return ReplaceIn(folder, name, mode, text, wait);
}

bool ReplacePrivateFile(const std::string& path, std::string_view text) {
  const CFolder folder = CFolder::Of(path);
  return folder.IsOpen() && ReplaceIn(folder, NameOf(path), 0600, text);
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
