#include "scoped_environment.h"

#include <stdlib.h>

ScopedEnvironment::~ScopedEnvironment() {
  for (const auto& [name, value] : saved_) {
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
}

void ScopedEnvironment::Set(const std::string& name, const std::string& value) {
  Remember(name);
  ::setenv(name.c_str(), value.c_str(), 1);
}

void ScopedEnvironment::Unset(const std::string& name) {
  Remember(name);
  ::unsetenv(name.c_str());
}

void ScopedEnvironment::Remember(const std::string& name) {
  if (saved_.contains(name)) {
    return;
  }
  const char* const value = ::getenv(name.c_str());
  saved_.emplace(name, value ? std::optional<std::string>(value) : std::nullopt);
}
