#include "registry.h"

#include <nlohmann/json.hpp>
#include <optional>

#include "platform.h"

namespace openvr_api {
namespace {

using Json = nlohmann::json;

// Follows the parser's events and keeps only what decides the answer, without building a
// document: the top level's type, the last "runtime" key's value type, and that array's first
// element. The whole text is still parsed, so that a file that is not JSON is never used.
class FirstRuntimeFinder {
 public:
  // Each handler returns true to go on parsing.
  bool null() { return Scalar(JsonType::kNull); }
  bool boolean(bool /*value*/) { return Scalar(JsonType::kBoolean); }
  bool number_integer(Json::number_integer_t /*value*/) { return Scalar(JsonType::kNumber); }
  bool number_unsigned(Json::number_unsigned_t /*value*/) { return Scalar(JsonType::kNumber); }
  bool number_float(Json::number_float_t /*value*/, const Json::string_t& /*text*/) {
    return Scalar(JsonType::kNumber);
  }
  bool string(Json::string_t& value) {
    if (Value(JsonType::kString)) {
      first_ = std::move(value);
    }
    return true;
  }
  bool binary(Json::binary_t& /*value*/) { return true; }  // never produced by JSON text
  bool start_object(std::size_t /*size*/) {
    Value(JsonType::kObject);
    ++depth_;
    return true;
  }
  bool key(Json::string_t& name) {
    runtime_is_next_ = depth_ == 1 && name == "runtime";
    return true;
  }
  bool end_object() {
    --depth_;
    return true;
  }
  bool start_array(std::size_t /*size*/) {
    const bool is_runtime = runtime_is_next_;
    Value(JsonType::kArray);
    first_is_next_ = is_runtime;
    ++depth_;
    return true;
  }
  bool end_array() {
    --depth_;
    first_is_next_ = false;  // an empty "runtime" array
    return true;
  }
  bool parse_error(std::size_t /*position*/, const std::string& /*last_token*/,
                   const nlohmann::detail::exception& error) {
    // "[json.exception.parse_error.101] parse error at line 1, column 5: <reason>": the
    // position and the reason are what a reader needs.
    const std::string_view message = error.what();
    constexpr std::string_view kLead = "parse error at ";
    const std::size_t lead = message.find(kLead);
    json_error_ = lead == std::string_view::npos ? message : message.substr(lead + kLead.size());
    return false;
  }

  RegisteredRuntime Result() && {
    using Status = RegisteredRuntime::Status;
    RegisteredRuntime result;
    if (json_error_) {
      result.status = Status::kInvalidJson;
      result.json_error = std::move(*json_error_);
    } else if (top_ != JsonType::kObject) {
      result.status = Status::kNotAnObject;
      result.found_type = top_;
    } else if (!runtime_type_) {
      result.status = Status::kNoRuntimeKey;
    } else if (*runtime_type_ != JsonType::kArray) {
      result.status = Status::kRuntimeNotAnArray;
      result.found_type = *runtime_type_;
    } else if (!first_type_) {
      result.status = Status::kRuntimeEmpty;
    } else if (*first_type_ != JsonType::kString) {
      result.status = Status::kFirstNotAString;
      result.found_type = *first_type_;
    } else {
      result.runtime = std::move(first_);
    }
    return result;
  }

 private:
  bool Scalar(JsonType type) {
    Value(type);
    return true;
  }

  // Notes a value's type where it matters; true when it is the first element of "runtime".
  bool Value(JsonType type) {
    if (depth_ == 0) {
      top_ = type;
    } else if (depth_ == 1 && runtime_is_next_) {
      runtime_is_next_ = false;
      runtime_type_ = type;
      first_type_.reset();
      first_.clear();
    } else if (first_is_next_) {
      first_is_next_ = false;
      first_type_ = type;
      return true;
    }
    return false;
  }

  std::size_t depth_ = 0;
  JsonType top_ = JsonType::kNull;
  bool runtime_is_next_ = false;
  bool first_is_next_ = false;
  std::optional<JsonType> runtime_type_;
  std::optional<JsonType> first_type_;
  std::string first_;
  std::optional<std::string> json_error_;
};

}  // namespace

std::string RegistryPath(std::string_view user_config_folder) {
  std::string path(user_config_folder);
  path += platform::kPathSeparator;
  path += "openvr";
  path += platform::kPathSeparator;
  path += "openvrpaths.vrpath";
  return path;
}

RegisteredRuntime FirstRegisteredRuntime(std::string_view registry_contents) {
  FirstRuntimeFinder finder;
  Json::sax_parse(registry_contents, &finder, nlohmann::json::input_format_t::json,
                  /*strict=*/true, /*ignore_comments=*/false);
  return std::move(finder).Result();
}

}  // namespace openvr_api
