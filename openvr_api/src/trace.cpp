#include "trace.h"

#include <charconv>
#include <optional>

namespace openvr_api {
namespace {

// Standard error on a pipe takes a write of this size at once, so that lines from several
// threads or processes never mix within a line.
constexpr std::size_t kMaxLineSize = 4000;

struct CodePoint {
  char32_t value;
  std::size_t length;
};

// The UTF-8 sequence at the start of text, or nullopt when it is not well-formed (overlong
// forms, surrogates and values beyond U+10FFFF included).
std::optional<CodePoint> DecodeUtf8(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t smallest = 0;
  if (lead < 0x80) {
    return CodePoint{lead, 1};
  } else if ((lead & 0xe0) == 0xc0) {
    length = 2, value = lead & 0x1f, smallest = 0x80;
  } else if ((lead & 0xf0) == 0xe0) {
    length = 3, value = lead & 0x0f, smallest = 0x800;
  } else if ((lead & 0xf8) == 0xf0) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto continuation = static_cast<unsigned char>(text[i]);
    if ((continuation & 0xc0) != 0x80) {
      return std::nullopt;
    }
    value = (value << 6) | (continuation & 0x3f);
  }
  if (value < smallest || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff)) {
    return std::nullopt;
  }
  return CodePoint{value, length};
}

// Characters that are valid but would end the line, act on a terminal, or reorder the text
// around them on screen.
bool MustEscape(char32_t c) {
  return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || c == 0x2028 || c == 0x2029 ||
         c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) ||
         (c >= 0x2066 && c <= 0x2069);
}

void AppendHex(std::string& line, std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    line += kDigits[(value >> shift) & 0xf];
  }
}

// Escapes text onto line; what goes beyond the longest line would only be cut off again.
void AppendEscaped(std::string& line, std::string_view text) {
  while (!text.empty() && line.size() <= kMaxLineSize) {
    const std::optional<CodePoint> code_point = DecodeUtf8(text);
    if (!code_point) {
      line += "\\x";
      AppendHex(line, static_cast<unsigned char>(text[0]), 2);
      text.remove_prefix(1);
      continue;
    }
    const char32_t c = code_point->value;
    if (c == '"' || c == '\\') {
      line += '\\';
      line += static_cast<char>(c);
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\t') {
      line += "\\t";
    } else if (c < 0x80 && MustEscape(c)) {
      line += "\\x";
      AppendHex(line, c, 2);
    } else if (MustEscape(c)) {
      line += "\\u{";
      AppendHex(line, c, 4);
      line += '}';
    } else {
      line.append(text.substr(0, code_point->length));
    }
    text.remove_prefix(code_point->length);
  }
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

}  // namespace

void Append(std::string& line, std::string_view text) { line.append(text); }

void Append(std::string& line, Quoted value) {
  line += '"';
  AppendEscaped(line, value.text);
  line += '"';
}

void Append(std::string& line, Escaped value) { AppendEscaped(line, value.text); }

void Append(std::string& line, platform::SystemError error) {
  AppendEscaped(line, platform::DescribeSystemError(error));
}

void Append(std::string& line, std::uint64_t number) {
  char digits[20];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
  line.append(digits, end);
}

Trace Trace::FromEnvironment() {
  const std::optional<std::string> setting = platform::EnvironmentVariable("OPENVR_API_DEBUG");
  return Trace(setting && !setting->empty() && *setting != "0");
}

void Trace::Emit(std::string line) noexcept {
  if (line.size() > kMaxLineSize) {
    static constexpr std::string_view kCut = " [...]";
    std::size_t end = kMaxLineSize - kCut.size();
    while (IsContinuationByte(line[end])) {
      --end;
    }
    line.resize(end);
    line += kCut;
  }
  platform::WriteDiagnosticLine(line);
}

}  // namespace openvr_api
