// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/completion.h"

#include <CLI/CLI.hpp>
#include <vector>

namespace orvane::cli {
namespace {

struct OptionFacts {
  std::vector<std::string> names;  // "-q", "--quiet"
  bool takesValue = false;
  std::string description;  // its first line, without quotes or brackets
};

struct CommandFacts {
  std::string name;
  std::string description;
  std::vector<OptionFacts> options;
};

// The first line of a help text, with the characters the scripts quote with
// left out, so that every shell reads it as plain words.
std::string plain(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  std::string kept;
  for (const char c : line)
    if (std::string("'\"[]:\\`$").find(c) == std::string::npos) kept += c;
  return kept;
}

std::vector<OptionFacts> optionsOf(const CLI::App& app) {
  std::vector<OptionFacts> options;
  for (const CLI::Option* option : app.get_options()) {
    if (!option->nonpositional()) continue;
    OptionFacts facts;
    for (const std::string& s : option->get_snames()) facts.names.push_back("-" + s);
    for (const std::string& l : option->get_lnames()) facts.names.push_back("--" + l);
    facts.takesValue = option->get_type_size_max() > 0;
    facts.description = plain(option->get_description());
    options.push_back(std::move(facts));
  }
  return options;
}

std::vector<CommandFacts> commandsOf(const CLI::App& app) {
  std::vector<CommandFacts> commands;
  for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
    commands.push_back({sub->get_name(), plain(sub->get_description()), optionsOf(*sub)});
  return commands;
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

std::string names(const std::vector<OptionFacts>& options, bool valuesOnly) {
  std::vector<std::string> all;
  for (const OptionFacts& o : options)
    if (!valuesOnly || o.takesValue) all.insert(all.end(), o.names.begin(), o.names.end());
  return joined(all);
}

std::string bash(const CLI::App& app) {
  const auto commands = commandsOf(app);
  std::vector<std::string> commandNames;
  for (const auto& c : commands) commandNames.push_back(c.name);
  std::string s =
      "# bash completion for orvane-cli, written by orvane-cli --completion bash\n"
      "_orvane_cli() {\n"
      "  local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
      "  local commands=\"" +
      joined(commandNames) +
      "\"\n"
      "  local command=\"\" i\n"
      "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
      "    case \" $commands \" in *\" ${COMP_WORDS[i]} \"*) command=\"${COMP_WORDS[i]}\"; break ;; esac\n"
      "  done\n"
      "  local options values\n"
      "  case \"$command\" in\n"
      "    \"\") options=\"" +
      names(optionsOf(app), false) + "\"; values=\"" + names(optionsOf(app), true) + "\" ;;\n";
  for (const auto& c : commands)
    s += "    " + c.name + ") options=\"" + names(c.options, false) + "\"; values=\"" + names(c.options, true) +
         "\" ;;\n";
  s += "  esac\n"
       "  if [[ -n \"$values\" && \" $values \" == *\" $prev \"* ]]; then\n"
       "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
       "  elif [[ \"$cur\" == -* ]]; then\n"
       "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
       "  elif [[ -z \"$command\" ]]; then\n"
       "    COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))\n"
       "  else\n"
       "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
       "  fi\n"
       "}\n"
       "complete -o filenames -o bashdefault -F _orvane_cli orvane-cli\n";
  return s;
}

std::string zshSpecs(const std::vector<OptionFacts>& options) {
  std::string s;
  for (const OptionFacts& o : options)
    for (const std::string& name : o.names)
      s += " \\\n    '" + name + (o.takesValue && name.size() > 2 ? "=" : "") + "[" + o.description + "]" +
           (o.takesValue ? ":value:_files" : "") + "'";
  return s;
}

std::string zsh(const CLI::App& app) {
  const auto commands = commandsOf(app);
  std::string s =
      "#compdef orvane-cli\n"
      "# zsh completion for orvane-cli, written by orvane-cli --completion zsh\n"
      "_orvane-cli() {\n"
      "  local context state state_descr line\n"
      "  typeset -A opt_args\n"
      "  local -a commands\n"
      "  commands=(\n";
  for (const auto& c : commands) s += "    '" + c.name + ":" + c.description + "'\n";
  s += "  )\n  _arguments -C" + zshSpecs(optionsOf(app)) +
       " \\\n    '1:command:->command' \\\n    '*::argument:->argument'\n"
       "  case $state in\n"
       "    command) _describe -t commands 'orvane-cli command' commands ;;\n"
       "    argument)\n"
       "      case $line[1] in\n";
  for (const auto& c : commands)
    s += "        " + c.name + ") _arguments" + zshSpecs(c.options) + " \\\n    '*:file:_files' ;;\n";
  s += "      esac ;;\n  esac\n}\n_orvane-cli \"$@\"\n";
  return s;
}

std::string fishOption(const std::string& condition, const OptionFacts& o) {
  std::string s = "complete -c orvane-cli -n '" + condition + "'";
  for (const std::string& name : o.names) s += (name.size() == 2 ? " -s " + name.substr(1) : " -l " + name.substr(2));
  if (o.takesValue) s += " -r -F";
  return s + " -d '" + o.description + "'\n";
}

std::string fish(const CLI::App& app) {
  const auto commands = commandsOf(app);
  std::string s =
      "# fish completion for orvane-cli, written by orvane-cli --completion fish\n"
      "complete -c orvane-cli -f\n";
  for (const auto& o : optionsOf(app)) s += fishOption("__fish_use_subcommand", o);
  for (const auto& c : commands) {
    s += "complete -c orvane-cli -n '__fish_use_subcommand' -a " + c.name + " -d '" + c.description + "'\n";
    const std::string condition = "__fish_seen_subcommand_from " + c.name;
    s += "complete -c orvane-cli -n '" + condition + "' -F\n";
    for (const auto& o : c.options) s += fishOption(condition, o);
  }
  return s;
}

}  // namespace

std::optional<std::string> completionScript(const CLI::App& app, const std::string& shell) {
  if (shell == "bash") return bash(app);
  if (shell == "zsh") return zsh(app);
  if (shell == "fish") return fish(app);
  return std::nullopt;
}

}  // namespace orvane::cli
