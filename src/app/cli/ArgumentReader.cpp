#include "app/cli/ArgumentReader.h"

namespace lumatag::cli {

const OptionRule* ArgumentReader::Find(std::string_view name) const {
  for (const OptionRule& rule : rules_) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

ArgumentReader::Given* ArgumentReader::FindGiven(std::string_view name) {
  for (Given& given : given_) {
    if (given.name == name) return &given;
  }
  return nullptr;
}

bool ArgumentReader::Read(const std::vector<std::string>& args, std::size_t minPositional,
                          std::size_t maxPositional) {
  given_.clear();
  positional_.clear();
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    const OptionRule* rule = optionsEnded ? nullptr : Find(arg);
    if (rule == nullptr) {
      if (!optionsEnded && !dashedPositionals_ && (arg.empty() || arg[0] == '-')) return false;
      positional_.push_back(arg);
      continue;
    }
    Given* given = FindGiven(rule->name);
    if (given != nullptr && rule->once) return false;
    if (given == nullptr) {
      given_.push_back({rule->name, std::string()});
      given = &given_.back();
    }
    if (rule->takesValue) {
      if (i + 1 >= args.size()) return false;
      given->value = args[++i];
    }
  }
  return positional_.size() >= minPositional && positional_.size() <= maxPositional;
}

bool ArgumentReader::Has(std::string_view option) const {
  for (const Given& given : given_) {
    if (given.name == option) return true;
  }
  return false;
}

const std::string& ArgumentReader::Value(std::string_view option) const {
  static const std::string kNone;
  for (const Given& given : given_) {
    if (given.name == option) return given.value;
  }
  return kNone;
}

}  // namespace lumatag::cli
