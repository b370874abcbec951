// Every seed of the fuzzer and every input that ever broke the library, through discovery.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "discovery_input.h"

namespace {

std::vector<std::filesystem::path> Inputs() {
  std::vector<std::filesystem::path> inputs;
  for (const char* folder : {FUZZ_CORPUS_DIR, FUZZ_REGRESSIONS_DIR}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.path().filename().string().front() != '.') {
        inputs.push_back(entry.path());
      }
    }
  }
  return inputs;
}

class CorpusReplayTest : public testing::TestWithParam<std::filesystem::path> {};

TEST_P(CorpusReplayTest, KeepsEveryPromise) {
  std::ifstream file(GetParam(), std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  RunDiscoveryInput(contents.str());
}

INSTANTIATE_TEST_SUITE_P(Inputs, CorpusReplayTest, testing::ValuesIn(Inputs()),
                         [](const testing::TestParamInfo<std::filesystem::path>& input) {
                           std::string name = input.param.parent_path().filename().string() + "_" +
                                              input.param.filename().string();
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) {
                               c = '_';
                             }
                           }
                           return name;
                         });

}  // namespace
