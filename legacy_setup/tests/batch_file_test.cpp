// Reading batch files: comments, the END line, line ends, limits and files
// that cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skelmar/batch_file.h"
#include "temp_files.h"

namespace skelmar_test {
namespace {

using skelmar::BatchFile;
using Status = BatchFile::Status;

std::string Lines(int count, const std::string& prefix) {
  std::string text;
  for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\n";
  return text;
}

TEST(BatchFile, ReadsSetupStrings) {
  const std::string x79(79, 'x');
  struct Case {
    const char* name;
    std::string content;
    Status status;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"comments dropped, empty line kept", ";;comment\nA\n\nB\nEND\n", Status::Ok, {"A", "", "B"}},
      {"nothing after END is read", "A\nEND\nB\n", Status::Ok, {"A"}},
      {"CR LF line ends", "A\r\n;;c\r\n\r\nB\r\nEND\r\n", Status::Ok, {"A", "", "B"}},
      {"END with a space or in small letters is a string", "END \nend\n END\nEND\n", Status::Ok,
       {"END ", "end", " END"}},
      {"a comment needs two semicolons", ";x\n;;y\nEND\n", Status::Ok, {";x"}},
      {"no END: ends at the end of the file", "A\nB", Status::Ok, {"A", "B"}},
      {"no END, empty last line", "A\n\n", Status::Ok, {"A", ""}},
      {"long line: first 79 kept, rest dropped", std::string(100, 'x') + "\nB\n", Status::Ok,
       {x79, "B"}},
      {"79 characters and CR LF", x79 + "\r\nB\r\n", Status::Ok, {x79, "B"}},
      {"78 characters and CR LF", x79.substr(1) + "\r\n", Status::Ok, {x79.substr(1)}},
      {"a CR inside a line stays", "A\rB\n", Status::Ok, {"A\rB"}},
      {"a line ends at a NUL", std::string("A\0B\nC\n", 6), Status::Ok, {"A", "C"}},
      {"8-bit characters", "\xE9t\xE9\n", Status::Ok, {"\xE9t\xE9"}},
      {"99 lines and END", Lines(99, "L") + "END\n", Status::Ok, {}},
      {"comments do not count", Lines(30, ";;") + Lines(99, "L") + "END\n", Status::Ok, {}},
      {"100 lines before END", Lines(100, "L") + "END\n", Status::TooManyLines, {}},
      {"100 lines without END", Lines(100, "L"), Status::TooManyLines, {}},
      {"END first", "END\nA\n", Status::NothingToSend, {}},
      {"only comments and END", ";;a\n;;b\nEND\n", Status::NothingToSend, {}},
      {"empty file", "", Status::NothingToSend, {}},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const BatchFile batch = skelmar::ReadBatchFile(folder.Write("batch.txt", c.content));
    EXPECT_EQ(batch.status, c.status);
    if (!c.lines.empty()) {
      EXPECT_EQ(batch.lines, c.lines);
    }
    if (c.status != Status::Ok) {
      EXPECT_TRUE(batch.lines.empty());
    }
  }
}

TEST(BatchFile, FilesThatCannotBeReadAreReported) {
  TempFolder folder;
  folder.Write("present", "A\n");
  EXPECT_EQ(skelmar::ReadBatchFile(folder.Path("missing")).status, Status::Unreadable);
  EXPECT_EQ(skelmar::ReadBatchFile(folder.Path("")).status, Status::Unreadable);  // a folder
  EXPECT_EQ(skelmar::ReadBatchFile("").status, Status::Unreadable);
}

}  // namespace
}  // namespace skelmar_test
