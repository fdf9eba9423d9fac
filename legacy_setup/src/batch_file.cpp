#include "skelmar/batch_file.h"

#include <filesystem>
#include <fstream>

namespace skelmar {

namespace {

// Splits a stream into lines without ever holding more than 80 characters
// of one: a line longer than 79 characters keeps its first 79, and the rest
// of it is dropped. A CR before the LF is not part of the line.
class LineReader {
 public:
  explicit LineReader(std::streambuf* in) : in_(in) {}

  // False at the end of the input.
  bool Next(std::string* line) {
    line->clear();
    size_t length = 0;  // characters of the line so far, CR included
    bool lastWasCr = false;
    for (;;) {
      const int c = in_->sbumpc();
      if (c == std::char_traits<char>::eof()) {
        if (length == 0) return false;
        break;
      }
      if (c == '\n') break;
      if (line->size() <= kMaxBatchLineChars) line->push_back(static_cast<char>(c));
      lastWasCr = c == '\r';
      ++length;
    }
    if (lastWasCr) --length;
    if (line->size() > length) line->resize(length);
    if (line->size() > kMaxBatchLineChars) line->resize(kMaxBatchLineChars);
    // A setup string is text: it ends at its first NUL.
    if (const size_t nul = line->find('\0'); nul != std::string::npos) line->resize(nul);
    return true;
  }

 private:
  std::streambuf* in_;
};

}  // namespace

BatchFile ReadBatchFile(const std::string& path) {
  BatchFile batch;
  std::error_code ec;
  // Only regular files: a directory reads as empty and a FIFO would block.
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return batch;
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return batch;

  LineReader reader(file.rdbuf());
  std::string line;
  try {
    while (reader.Next(&line)) {
      if (line.rfind(";;", 0) == 0) continue;
      if (line == "END") break;
      if (batch.lines.size() == kMaxBatchLines) {
        batch.lines.clear();
        batch.status = BatchFile::Status::TooManyLines;
        return batch;
      }
      batch.lines.push_back(line);
    }
  } catch (const std::ios_base::failure&) {
    // The file buffer throws when the operating system refuses a read.
    batch.lines.clear();
    return batch;
  }
  batch.status = batch.lines.empty() ? BatchFile::Status::NothingToSend : BatchFile::Status::Ok;
  return batch;
}

}  // namespace skelmar
