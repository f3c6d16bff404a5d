#pragma once

#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

namespace kelvarin {

// A file that appears at its path complete or not at all. The bytes go to a
// temporary file in the same folder, which Commit() renames over the path; a
// failed write, an object destroyed before Commit() and a process ended by
// SIGTERM, SIGINT or SIGHUP (see RemoveTemporaryFilesOnSignals) leave no
// temporary file and the path as it was.
//
// A path that names something other than a regular file (a terminal, a pipe,
// /dev/stdout) cannot be replaced and is written directly; a symbolic link to
// a regular file replaces the file it points to and keeps the link. A new file
// gets the usual permissions (0666 less the umask), a replaced one keeps its
// own.
//
// Errors are reported as the system's error codes; after an error the object
// only discards.
class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  std::error_code Open(const std::string& path);
  std::error_code Write(const void* data, std::size_t size);
  // Writes out what is buffered, makes it durable and puts the file in place.
  std::error_code Commit();
  // Removes the temporary file (or stops writing a direct one); idempotent.
  void Discard();

 private:
  std::error_code Flush();
  std::error_code WriteOut(const char* bytes, std::size_t size);
  void Close();

  int fd_ = -1;
  int slot_ = -1;          // the temporary file's entry in the signal clean-up table
  std::string target_;     // where the file ends up
  std::string temporary_;  // empty when writing directly
  std::vector<char> buffer_;
};

// Writes a whole file through an AtomicFile.
std::error_code WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

// Makes SIGTERM, SIGINT and SIGHUP remove every temporary file of an open
// AtomicFile before the process ends by the signal as it would have without
// this (so a shell sees the conventional status 128 + signal).
void RemoveTemporaryFilesOnSignals();

}  // namespace kelvarin
