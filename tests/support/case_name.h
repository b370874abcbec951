// Names each case of a parameterised test after the `name` member of its parameter.
#ifndef VR_RUNTIME_PATH_TESTS_CASE_NAME_H
#define VR_RUNTIME_PATH_TESTS_CASE_NAME_H

#include <gtest/gtest.h>

#include <string>

struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& case_info) const {
    return case_info.param.name;
  }
};

#endif  // VR_RUNTIME_PATH_TESTS_CASE_NAME_H
