// Runs one fuzzer-made input through the library's runtime discovery and checks every promise
// VR_GetRuntimePath makes to its callers. Shared by the fuzzer and by the normal test suite,
// which replays the seed corpus and every input that ever broke the library.
#ifndef VR_RUNTIME_PATH_TESTS_DISCOVERY_INPUT_H
#define VR_RUNTIME_PATH_TESTS_DISCOVERY_INPUT_H

#include <string_view>

// The first byte of the input selects the case: bit 0 sets VR_OVERRIDE (its value runs up to
// the first newline), bits 1 to 3 choose the size of the buffer offered, bit 4 offers no buffer
// at all. The rest of the input is the registry file's contents. Discovery runs in a temporary
// folder of its own, with a runtime folder beside the registry. The registry reader's answer is
// also compared with that of a JSON document built from the same contents. Aborts when a
// promise is broken, so that the fuzzer reports the input.
void RunDiscoveryInput(std::string_view input);

#endif  // VR_RUNTIME_PATH_TESTS_DISCOVERY_INPUT_H
