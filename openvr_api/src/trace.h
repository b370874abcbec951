// The library's opt-in trace: when OPENVR_API_DEBUG is set to anything but "" or "0", every
// step of discovery is explained on standard error, one line each, beginning "openvr_api: ".
#ifndef OPENVR_API_TRACE_H
#define OPENVR_API_TRACE_H

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform.h"

namespace openvr_api {

// A value shown in quotes, with everything that could break the line or steer a terminal
// escaped.
struct Quoted {
  std::string_view text;
};

// A JSON message or other text from elsewhere, escaped like a quoted value but shown bare.
struct Escaped {
  std::string_view text;
};

void Append(std::string& line, std::string_view text);
void Append(std::string& line, Quoted value);
void Append(std::string& line, Escaped value);
void Append(std::string& line, platform::SystemError error);
void Append(std::string& line, std::uint64_t number);

class Trace {
 public:
  // On when OPENVR_API_DEBUG asks for it; always off in a process that does not trust its
  // environment.
  static Trace FromEnvironment();

  // Writes one line made of the pieces: text, Quoted and Escaped values, system errors and
  // numbers. With the trace off nothing is formatted; a line that cannot be made or written
  // is dropped, so that tracing never changes what the library answers.
  template <typename... Pieces>
  void Line(const Pieces&... pieces) const noexcept {
    if (!enabled_) {
      return;
    }
    try {
      std::string line(kPrefix);
      (AppendPiece(line, pieces), ...);
      Emit(std::move(line));
    } catch (...) {
      // Out of memory: the line is lost, nothing else.
    }
  }

 private:
  static constexpr std::string_view kPrefix = "openvr_api: ";

  explicit Trace(bool enabled) : enabled_(enabled) {}

  // Sizes and counts are shown as numbers; characters and truth values are not numbers here.
  template <typename Piece>
  static void AppendPiece(std::string& line, const Piece& piece) {
    if constexpr (std::unsigned_integral<Piece> && !std::same_as<Piece, bool> &&
                  !std::same_as<Piece, char>) {
      Append(line, static_cast<std::uint64_t>(piece));
    } else {
      Append(line, piece);
    }
  }

  static void Emit(std::string line) noexcept;

  bool enabled_;
};

}  // namespace openvr_api

#endif  // OPENVR_API_TRACE_H
