// Reading back what a test captured in a temporary file.
#ifndef VR_RUNTIME_PATH_TESTS_READ_ALL_H
#define VR_RUNTIME_PATH_TESTS_READ_ALL_H

#include <cstdio>
#include <string>

// The whole contents of file, from its start.
std::string ReadAll(std::FILE* file);

#endif  // VR_RUNTIME_PATH_TESTS_READ_ALL_H
