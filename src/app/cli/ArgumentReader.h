// The one argument reader of every lumatag-cli command: options ("--name", with or without a
// value in the next argument) and positional arguments, in any order. "--" ends the options.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lumatag::cli {

struct OptionRule {
  std::string_view name;  // with its dashes: "--base"
  bool takesValue = false;
  bool once = true;  // a second occurrence is a usage error; else the last one counts
};

class ArgumentReader {
 public:
  // `dashedPositionals`: an argument that starts with "-" and is no option counts as positional
  // (commands whose arguments are free text); else it is a usage error.
  ArgumentReader(std::initializer_list<OptionRule> options, bool dashedPositionals = false)
      : rules_(options), dashedPositionals_(dashedPositionals) {}

  // Reads the arguments; false for a usage error (unknown option, missing value, repetition, or
  // a positional count outside [minPositional, maxPositional]).
  bool Read(const std::vector<std::string>& args, std::size_t minPositional = 0,
            std::size_t maxPositional = SIZE_MAX);

  bool Has(std::string_view option) const;
  // The option's value; empty when it was not given.
  const std::string& Value(std::string_view option) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  struct Given {
    std::string_view name;
    std::string value;
  };
  const OptionRule* Find(std::string_view name) const;
  Given* FindGiven(std::string_view name);

  std::vector<OptionRule> rules_;
  bool dashedPositionals_;
  std::vector<Given> given_;
  std::vector<std::string> positional_;
};

}  // namespace lumatag::cli
