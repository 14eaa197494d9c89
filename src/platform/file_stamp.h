// Contract: what a file was when the program last looked, so that a later
// run can tell whether it is still that file, and whose it is.
//
// What the system may rely on:
//  - StampOf never follows a link and never waits: a link, a FIFO, a
//    folder or a missing name gives a stamp that is not valid. A valid
//    stamp holds the file's size, modification time (nanoseconds), a
//    64-bit FNV-1a sum of its bytes, its owner, its number of names and its
//    permission bits.
//  - SameFile compares size, time and sum: another user who may write the
//    file cannot change its bytes and give it back its time (only the owner
//    may set a file's time), and a change by the owner shows in the sum.
//  - StampText and ParseStamp write and read the three compared values as
//    one line of text ("SIZE TIME SUM", decimal, decimal, hexadecimal).
// Differences from the original platform: the original trusted whatever it
// found beside the database.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct FileStamp {
  bool valid = false;
  std::uint64_t size = 0;
  std::int64_t timeNs = 0;
  std::uint64_t sum = 0;
  uid_t owner = 0;
  nlink_t links = 0;
  mode_t mode = 0;

  bool SameFile(const FileStamp& other) const {
    return valid && other.valid && size == other.size && timeNs == other.timeNs && sum == other.sum;
  }
};

FileStamp StampOf(const std::string& path);
std::string StampText(const FileStamp& stamp);
std::optional<FileStamp> ParseStamp(std::string_view text);
