#include "read_all.h"

std::string ReadAll(std::FILE* file) {
  std::rewind(file);
  std::string contents;
  char chunk[4096];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    contents.append(chunk, count);
  }
  return contents;
}
