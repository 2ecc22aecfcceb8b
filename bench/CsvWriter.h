// Writes messages as CSV rows, the record's fields in record order, so other
// tools can be measured on exactly the same rows.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "indexapi/QuopRecords.h"

namespace bench {

class TCsvWriter {
 public:
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  void Write(const TQuopMsg& msg);

 private:
  void Text(const char* s);
  struct TCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, TCloser> file_;
};

}  // namespace bench
