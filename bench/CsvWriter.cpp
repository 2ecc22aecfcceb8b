#include "bench/CsvWriter.h"

namespace bench {

bool TCsvWriter::Open(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) return false;
  std::fputs("szEntryID,szSenderName,szSenderEmail,szSubject,szAttached,dtRecivedTime,"
             "dtSendTime,szTo,szCC,szBCC,szFolder,lBodyCrc,nMsgSize,bRead,bFirst,nIndex\r\n",
             file_.get());
  return true;
}

// A null text is an empty field; a text is quoted, inner quotes doubled.
void TCsvWriter::Text(const char* s) {
  std::FILE* f = file_.get();
  if (s) {
    std::fputc('"', f);
    for (; *s; ++s) {
      if (*s == '"') std::fputc('"', f);
      std::fputc(*s, f);
    }
    std::fputc('"', f);
  }
  std::fputc(',', f);
}

void TCsvWriter::Write(const TQuopMsg& m) {
  Text(m.szEntryID);
  Text(m.szSenderName);
  Text(m.szSenderEmail);
  Text(m.szSubject);
  Text(m.szAttached);
  std::fprintf(file_.get(), "%.17g,%.17g,", m.dtRecivedTime, m.dtSendTime);
  Text(m.szTo);
  Text(m.szCC);
  Text(m.szBCC);
  Text(m.szFolder);
  std::fprintf(file_.get(), "%ld,%ld,%d,%d,%ld\r\n", static_cast<long>(m.lBodyCrc),
               static_cast<long>(m.nMsgSize), m.bRead ? 1 : 0, m.bFirst ? 1 : 0,
               static_cast<long>(m.nIndex));
}

}  // namespace bench
