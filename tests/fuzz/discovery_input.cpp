#include "discovery_input.h"

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "openvr_api.h"
#include "registry.h"

namespace {

constexpr char kUntouched = '\x7f';
constexpr uint32_t kSizeUntouched = 0xdeadbeef;
constexpr uint32_t kBufferSizes[] = {0, 1, 2, 16, 255, 1024, 4096, 65536};

// A configuration folder, a home folder and a runtime folder for the whole process.
class Sandbox {
 public:
  Sandbox() {
    std::string name = std::filesystem::temp_directory_path() / "vr-runtime-path-fuzz-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    root_ = name;
    std::filesystem::create_directories(root_ / "config" / "openvr");
    std::filesystem::create_directories(root_ / "home");
    std::filesystem::create_directories(root_ / "runtime");
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("HOME", (root_ / "home").c_str(), 1);
  }
  ~Sandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  std::filesystem::path registry() const {
    return root_ / "config" / "openvr" / "openvrpaths.vrpath";
  }

 private:
  std::filesystem::path root_;
};

void Check(bool promise_kept, const char* promise) {
  if (!promise_kept) {
    std::fprintf(stderr, "VR_GetRuntimePath broke a promise: %s\n", promise);
    std::abort();
  }
}

bool Untouched(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (bytes[i] != kUntouched) {
      return false;
    }
  }
  return true;
}

// The registry's first runtime as a document built from the whole file gives it: what the
// library's event-driven reader must agree with.
std::optional<std::string> FirstRuntimeOfDocument(const nlohmann::json& registry) {
  if (!registry.is_object()) {
    return std::nullopt;
  }
  const auto runtimes = registry.find("runtime");
  if (runtimes == registry.end() || !runtimes->is_array() || runtimes->empty() ||
      !runtimes->front().is_string()) {
    return std::nullopt;
  }
  return runtimes->front().get<std::string>();
}

void CheckAgreesWithDocument(std::string_view contents) {
  const nlohmann::json document = nlohmann::json::parse(contents, nullptr, false);
  const openvr_api::RegisteredRuntime registered = openvr_api::FirstRegisteredRuntime(contents);
  const bool found = registered.status == openvr_api::RegisteredRuntime::Status::kFound;
  Check(document.is_discarded() ==
            (registered.status == openvr_api::RegisteredRuntime::Status::kInvalidJson),
        "the registry reader and a JSON document agree on what is JSON");
  Check(FirstRuntimeOfDocument(document) ==
            (found ? std::optional(registered.runtime) : std::nullopt),
        "the registry reader and a JSON document agree on the first runtime");
}

}  // namespace

void RunDiscoveryInput(std::string_view input) {
  static const Sandbox sandbox;
  if (input.empty()) {
    return;
  }
  const auto selector = static_cast<unsigned char>(input.front());
  input.remove_prefix(1);

  if ((selector & 1) != 0) {
    const std::size_t end = input.find('\n');
    const std::string_view value = input.substr(0, end);
    // An environment variable ends at its first NUL.
    ::setenv("VR_OVERRIDE", std::string(value.substr(0, value.find('\0'))).c_str(), 1);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  } else {
    ::unsetenv("VR_OVERRIDE");
  }
  std::ofstream(sandbox.registry(), std::ios::binary | std::ios::trunc)
      .write(input.data(), static_cast<std::streamsize>(input.size()));
  CheckAgreesWithDocument(input);

  // The buffer is exactly as large as offered, so that AddressSanitizer sees any overrun.
  const uint32_t buffer_size = kBufferSizes[(selector >> 1) & 7];
  const bool offer_buffer = (selector & 0x10) == 0;
  std::vector<char> storage(buffer_size, kUntouched);
  char* const buffer = offer_buffer ? storage.data() : nullptr;
  uint32_t required_size = kSizeUntouched;

  const bool found = VR_GetRuntimePath(buffer, buffer_size, &required_size);

  if (!found) {
    Check(required_size == kSizeUntouched, "a failure leaves the required size alone");
    Check(Untouched(storage.data(), storage.size()), "a failure leaves the buffer alone");
    return;
  }
  Check(required_size >= 2, "a path is never empty");
  if (buffer == nullptr || buffer_size == 0) {
    Check(Untouched(storage.data(), storage.size()), "a size query leaves the buffer alone");
    return;
  }
  if (required_size > buffer_size) {
    Check(buffer[0] == '\0', "a path that does not fit leaves an empty string");
    Check(Untouched(buffer + 1, buffer_size - 1), "a path that does not fit is not written");
    return;
  }
  Check(std::strlen(buffer) + 1 == required_size, "the required size is the path's and its NUL");
  Check(Untouched(buffer + required_size, buffer_size - required_size),
        "nothing is written after the path's NUL");
  Check(buffer[0] == '/', "the path is absolute");
  std::error_code error;
  Check(std::filesystem::is_directory(buffer, error), "the path names an existing directory");
}
